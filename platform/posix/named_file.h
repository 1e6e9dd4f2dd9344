// The one way a file a person named is read: a program, a run log, a record,
// a CA certificate or a password file. It never waits on what the path
// leads to and never reads more than the limit for its kind of file:
// - it opens without blocking, so a FIFO with no writer cannot hold it;
// - it takes regular files only, judged on what was opened, so a path
//   swapped for a FIFO or a device meanwhile is no way round;
// - a file over the limit is refused before a byte is read, and reading stops
//   at the limit should the file grow while it is read (or /dev/zero be
//   mounted over it).
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

#include "platform/files.h"

namespace pump::posix {

class NamedFile {
 public:
  NamedFile(const std::string& path, std::uint64_t limitBytes);
  ~NamedFile();
  NamedFile(const NamedFile&) = delete;
  NamedFile& operator=(const NamedFile&) = delete;

  // ok, or why the file was refused.
  const FileResult& opened() const { return opened_; }
  // Its size when opened.
  std::uint64_t size() const { return size_; }

  // Up to `count` bytes at `into`: 0 at the end, -1 on an error (errno says
  // which; EFBIG once more than the limit has been read).
  ssize_t read(char* into, std::size_t count);
  // Moves to `offset` from the start; false with errno on a failure.
  bool seek(std::uint64_t offset);

 private:
  int fd_ = -1;
  FileResult opened_;
  std::uint64_t size_ = 0;
  std::uint64_t limit_ = 0;
  std::uint64_t read_ = 0;
};

// The whole of a regular file of at most `limitBytes`, into *bytes.
FileResult ReadNamedFile(const std::string& path, std::uint64_t limitBytes, std::string* bytes);

// A failure of a system call on a file, with its cause.
FileResult FileFailed(int error);

}  // namespace pump::posix
