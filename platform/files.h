// File access by path. Paths are the file system's bytes, whatever their
// encoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pump {

// Why a file operation failed, where the caller words it for the operator.
enum class FileFailure {
  Other,            // see the system's reason
  DiskFull,         // no space left (or the user's quota used up)
  NotARegularFile,  // a FIFO, a device, a folder...: refused without reading
  Missing,          // no such file (or a folder on the way is missing)
  NoPermission,     // not allowed to read it
  TooLarge,         // over the limit for its kind: refused without reading
};

struct FileResult {
  bool ok = false;
  std::string error;  // why not, in ASCII for logs and the standard error, when !ok
  FileFailure failure = FileFailure::Other;
  std::uint64_t limitBytes = 0;  // the limit a TooLarge file passed
};

// Why a file was not read, in the operator's words: "不是普通文件（…）".
std::string FailureForOperator(const FileResult& result);

class Files {
 public:
  virtual ~Files() = default;
  // Replaces the file with exactly these bytes, atomically: on failure the
  // previous file is left as it was. Missing folders on the way to the file
  // are created first.
  virtual FileResult writeWhole(const std::string& path, std::string_view bytes) = 0;
  // Reads the last `maxBytes` bytes of a regular file into *bytes (all of a
  // shorter one). Anything but a regular file is refused without waiting on
  // it or reading from it.
  virtual FileResult readTail(const std::string& path, std::size_t maxBytes,
                              std::string* bytes) = 0;
};

}  // namespace pump
