// Run logs opened from disk on arbitrary bytes, under both ways of taking a
// damaged row: no crash, no undefined behaviour, no hang. Refusing, a file is
// either read whole or refused with a message; skipping, every damaged row is
// counted and only a file that is no run log is refused. The bytes sit in a
// memory file, read through its path as the trend window and the report read
// a log.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "runlog/log_reader.h"

namespace {

using pump::runlog::DamagedRows;

int MemoryFile() {
  static const int fd = ::memfd_create("run-log", 0);
  return fd;
}

// Reads the file under `policy`; aborts on a result that contradicts itself.
void ReadUnder(const std::string& path, DamagedRows policy, std::size_t size) {
  pump::runlog::LogReadOptions options;
  options.damagedRows = policy;
  std::size_t rows = 0, bytes = 0;
  std::int64_t lastElapsedMs = -1;
  options.onBytes = [&bytes](std::string_view read) { bytes += read.size(); };
  const auto read = pump::runlog::ReadRunLog(path, options, [&](const pump::runlog::LogRecord& r) {
    if (r.elapsedMs < lastElapsedMs || r.detail.size() > size) std::abort();
    lastElapsedMs = r.elapsedMs;
    ++rows;
  });
  if (rows > size || bytes > size) std::abort();
  if (policy == DamagedRows::RefuseFile && read.skippedRows != 0) std::abort();
  if (read.skippedWhy.size() > read.skippedRows) std::abort();
  if (read.error.empty() && bytes != size) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const int fd = MemoryFile();
  if (fd < 0 || ::ftruncate(fd, 0) != 0) std::abort();
  if (size > 0 && ::pwrite(fd, bytes, size, 0) != static_cast<ssize_t>(size)) std::abort();
  const std::string path = "/proc/self/fd/" + std::to_string(fd);
  ReadUnder(path, DamagedRows::RefuseFile, size);
  ReadUnder(path, DamagedRows::SkipAndCount, size);
  return 0;
}
