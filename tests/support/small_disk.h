// A small memory disk (tmpfs) mounted on a folder of its own, for tests of a
// full disk. Mounting needs root or CAP_SYS_ADMIN: without it the disk is
// not mounted and `why()` says so, for the test to skip.
#pragma once

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace pump::testing {

class SmallDisk {
 public:
  // `folder` is made if it is not there; `size` as tmpfs takes it ("64k").
  explicit SmallDisk(std::string folder, const std::string& size = "64k")
      : folder_(std::move(folder)), size_(size) {
    std::filesystem::create_directories(folder_);
    if (::mount("tmpfs", folder_.c_str(), "tmpfs", 0, ("size=" + size_).c_str()) == 0) {
      mounted_ = true;
    } else {
      why_ = std::string("cannot mount a small tmpfs here (") + std::strerror(errno) +
             "); needs root or CAP_SYS_ADMIN";
    }
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& why() const { return why_; }
  const std::string& folder() const { return folder_; }
  std::string path(const std::string& name) const { return folder_ + "/" + name; }

  // Fills what room is left with a file of its own, `filler`.
  void fill(const std::string& filler = "filler") const {
    std::ofstream out(path(filler), std::ios::binary);
    const std::string block(4096, 'x');
    while (out.write(block.data(), block.size())) out.flush();
  }

  // Mounted again read-only, or writable again; 0 when done, else errno.
  int setReadOnly(bool readOnly) { return remount(readOnly ? MS_RDONLY : 0); }
  // Mounted again with another size ("256k"), keeping what it holds.
  int resize(const std::string& size) {
    size_ = size;
    return remount(0);
  }

 private:
  int remount(unsigned long flags) {
    const bool done = ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | flags,
                              ("size=" + size_).c_str()) == 0;
    return done ? 0 : errno;
  }

  std::string folder_;
  std::string size_;
  bool mounted_ = false;
  std::string why_;
};

}  // namespace pump::testing
