#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <filesystem>
#include <limits>
#include <random>
#include <system_error>

#include "platform/posix/named_file.h"

namespace pump::posix {
namespace {

namespace fs = std::filesystem;

// Closes the descriptor when it goes out of scope, unless released.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and reports the error close() found (a delayed write error).
  int close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// The file a write lands in: a symbolic link's target, else the path itself.
fs::path WriteTarget(const std::string& path) {
  std::error_code error;
  if (fs::is_symlink(path, error)) {
    const fs::path resolved = fs::weakly_canonical(path, error);
    if (!error) return resolved;
  }
  return path;
}

// A name no other file in the folder has yet: hidden, next to the target.
fs::path TemporaryName(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  static std::mt19937 random{std::random_device{}()};
  std::string name = "." + target.filename().string() + "." + std::to_string(::getpid()) + "-" +
                     std::to_string(counter++) + "-" + std::to_string(random() % 1000000);
  return target.parent_path() / name;
}

// Opens a new temporary file next to the target; -1 and errno on failure.
int OpenTemporary(const fs::path& target, fs::path* temporary) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    *temporary = TemporaryName(target);
    const int fd = ::open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Writes all of `bytes`; 0 or the errno of the failure.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

// Fills the temporary file and makes it durable: 0 or the errno.
int FillTemporary(Descriptor& file, const fs::path& target, std::string_view bytes) {
  // The new file keeps the permissions of the one it replaces.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    if (::fchmod(file.get(), old.st_mode & 07777) != 0) return errno;
  }
  if (const int error = WriteAll(file.get(), bytes)) return error;
  if (::fsync(file.get()) != 0) return errno;
  return file.close();
}

// Makes the rename itself durable; a folder that cannot be synced changes nothing.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

FileResult PosixFiles::writeWhole(const std::string& path, std::string_view bytes) {
  const fs::path target = WriteTarget(path);
  std::error_code folderError;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), folderError);
  if (folderError) return FileFailed(folderError.value());
  fs::path temporary;
  Descriptor file(OpenTemporary(target, &temporary));
  if (file.get() < 0) return FileFailed(errno);
  int error = FillTemporary(file, target, bytes);
  if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temporary.c_str());
    return FileFailed(error);
  }
  SyncFolder(target.parent_path());
  return {true, {}};
}

FileResult PosixFiles::readTail(const std::string& path, std::size_t maxBytes, std::string* bytes) {
  NamedFile file(path, std::numeric_limits<std::uint64_t>::max());
  if (!file.opened().ok) return file.opened();
  const std::uint64_t count = std::min<std::uint64_t>(file.size(), maxBytes);
  if (!file.seek(file.size() - count)) return FileFailed(errno);
  std::string tail(count, '\0');
  std::size_t done = 0;
  while (done < tail.size()) {
    const ssize_t got = file.read(tail.data() + done, tail.size() - done);
    if (got < 0) return FileFailed(errno);
    if (got == 0) break;  // it shrank since it was opened
    done += static_cast<std::size_t>(got);
  }
  tail.resize(done);
  *bytes = std::move(tail);
  return {true, {}};
}

}  // namespace pump::posix
