#include "platform/posix/named_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace pump::posix {
namespace {

FileFailure CauseOf(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return FileFailure::Missing;
    case EACCES:
    case EPERM:
      return FileFailure::NoPermission;
    case ENOSPC:
    case EDQUOT:
      return FileFailure::DiskFull;
    default:
      return FileFailure::Other;
  }
}

FileResult NotRegular() {
  return {false, "not a regular file (a FIFO, a device or a folder)", FileFailure::NotARegularFile};
}

FileResult TooLarge(std::uint64_t limit) {
  return {false, "larger than " + std::to_string(limit) + " bytes", FileFailure::TooLarge, limit};
}

}  // namespace

FileResult FileFailed(int error) { return {false, std::strerror(error), CauseOf(error)}; }

NamedFile::NamedFile(const std::string& path, std::uint64_t limitBytes) : limit_(limitBytes) {
  // A look at the path first keeps the open away from FIFOs and devices in
  // the usual case: opening one can act on it (a serial port's modem lines,
  // a FIFO's waiting writer). The check that counts is on what was opened.
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    opened_ = FileFailed(errno);
    return;
  }
  if (!S_ISREG(status.st_mode)) {
    opened_ = NotRegular();
    return;
  }
  fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd_ < 0 || ::fstat(fd_, &status) != 0) {
    opened_ = FileFailed(errno);
  } else if (!S_ISREG(status.st_mode)) {
    opened_ = NotRegular();
  } else if (static_cast<std::uint64_t>(status.st_size) > limitBytes) {
    opened_ = TooLarge(limitBytes);
  } else if (::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK) != 0) {
    opened_ = FileFailed(errno);
  } else {
    opened_ = {true, {}};
    size_ = static_cast<std::uint64_t>(status.st_size);
  }
}

NamedFile::~NamedFile() {
  if (fd_ >= 0) ::close(fd_);
}

ssize_t NamedFile::read(char* into, std::size_t count) {
  if (!opened_.ok) return errno = EBADF, -1;
  if (read_ > limit_) return errno = EFBIG, -1;
  for (;;) {
    const ssize_t got = ::read(fd_, into, count);
    if (got >= 0) read_ += static_cast<std::uint64_t>(got);
    if (read_ > limit_) return errno = EFBIG, -1;
    if (got >= 0 || errno != EINTR) return got;
  }
}

bool NamedFile::seek(std::uint64_t offset) {
  if (!opened_.ok) return errno = EBADF, false;
  return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

FileResult ReadNamedFile(const std::string& path, std::uint64_t limitBytes, std::string* bytes) {
  NamedFile file(path, limitBytes);
  if (!file.opened().ok) return file.opened();
  std::string whole(file.size(), '\0');
  std::size_t done = 0;
  for (;;) {
    if (done == whole.size()) whole.resize(done + 4096);  // it grew since it was opened
    const ssize_t got = file.read(whole.data() + done, whole.size() - done);
    if (got < 0) return errno == EFBIG ? TooLarge(limitBytes) : FileFailed(errno);
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  whole.resize(done);
  *bytes = std::move(whole);
  return {true, {}};
}

}  // namespace pump::posix
