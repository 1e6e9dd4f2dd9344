// Run logs opened from disk on arbitrary bytes: no crash, no undefined
// behaviour, no hang; every file is either loaded whole or refused with a
// message, never both. The bytes sit in a memory file, read through its path
// as the trend window reads a log.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "trend/log_reader.h"

namespace {

int MemoryFile() {
  static const int fd = ::memfd_create("run-log", 0);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const int fd = MemoryFile();
  if (fd < 0 || ::ftruncate(fd, 0) != 0) std::abort();
  if (size > 0 && ::pwrite(fd, bytes, size, 0) != static_cast<ssize_t>(size)) std::abort();
  const auto load = pump::trend::LoadRunLog("/proc/self/fd/" + std::to_string(fd));
  if ((load.session != nullptr) == !load.error.empty()) std::abort();
  if (load.session && load.session->size() > size) std::abort();
  return 0;
}
