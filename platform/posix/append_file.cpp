#include "platform/posix/append_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace pump::posix {

namespace {

// Enough for a dozen opens in the same second; beyond that something is wrong.
constexpr int kMaxNumberedNames = 1000;

int MakeOneFolder(const std::string& folder) {
  if (::mkdir(folder.c_str(), 0755) == 0) return 0;
  const int error = errno;
  struct stat info {};
  if (error == EEXIST && ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return 0;
  return error == EEXIST ? ENOTDIR : error;
}

}  // namespace

int MakeFolders(const std::string& folder, std::string* fileInTheWay) {
  const auto blockedBy = [&](const std::string& path, int error) {
    if (error == ENOTDIR && fileInTheWay) *fileInTheWay = path;
    return error;
  };
  for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
       slash = folder.find('/', slash + 1)) {
    struct stat info {};
    const std::string parent = folder.substr(0, slash);
    if (::stat(parent.c_str(), &info) == 0) {
      if (!S_ISDIR(info.st_mode)) return blockedBy(parent, ENOTDIR);
      continue;
    }
    if (const int error = MakeOneFolder(parent)) return blockedBy(parent, error);
  }
  return blockedBy(folder, MakeOneFolder(folder));
}

std::string NumberedName(std::string_view fileName, int number) {
  const std::size_t dot = fileName.rfind('.');
  const std::size_t stemEnd = dot == std::string_view::npos || dot == 0 ? fileName.size() : dot;
  std::string name(fileName.substr(0, stemEnd));
  name += '-' + std::to_string(number);
  name += fileName.substr(stemEnd);
  return name;
}

int CreateNewFile(const std::string& folder, const std::string& fileName, int* fd,
                  std::string* path) {
  for (int number = 1; number <= kMaxNumberedNames; ++number) {
    const std::string name = number == 1 ? fileName : NumberedName(fileName, number);
    const std::string candidate = folder + '/' + name;
    // O_EXCL: a name taken by anyone, even a moment ago, is never reused.
    const int opened =
        ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0644);
    if (opened >= 0) {
      *fd = opened;
      *path = candidate;
      return 0;
    }
    if (errno != EEXIST) return errno;
  }
  return EEXIST;
}

int WriteFrom(int fd, std::string_view bytes, std::size_t* offset) {
  while (*offset < bytes.size()) {
    const ssize_t wrote = ::write(fd, bytes.data() + *offset, bytes.size() - *offset);
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    *offset += static_cast<std::size_t>(wrote);
  }
  return 0;
}

bool IsUnlinked(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && info.st_nlink == 0;
}

}  // namespace pump::posix
