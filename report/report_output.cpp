#include "report/report_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "texts/operator_texts.h"

namespace pump::report {

namespace {

// A report's Creator is written in its document information near the top.
constexpr std::size_t kMarkSearched = 64 * 1024;

class OpenFile {
 public:
  explicit OpenFile(const std::string& path)
      : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}
  ~OpenFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

std::string Head(int fd) {
  std::string bytes(kMarkSearched, '\0');
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  bytes.resize(got);
  return bytes;
}

// PDF text strings are PDFDocEncoding or UTF-16BE: the mark in either.
bool CarriesMark(const std::string& bytes, std::string_view mark) {
  std::string wide;
  for (char c : mark) wide += {'\0', c};
  return bytes.find(mark) != std::string::npos || bytes.find(wide) != std::string::npos;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

std::string OutputRefusal(const std::string& logPath, const std::string& pdfPath,
                          std::string_view creatorMark) {
  struct stat there {};
  if (::stat(pdfPath.c_str(), &there) != 0) {
    if (errno == ENOENT) return {};
    return texts::ReportNotWritten(pdfPath, std::strerror(errno));
  }
  struct stat log {};
  if (::stat(logPath.c_str(), &log) == 0 && SameFile(log, there)) {
    return texts::ReportOverRunLog(pdfPath);
  }
  if (!S_ISREG(there.st_mode)) return texts::ReportOutputNotAFile(pdfPath);
  const OpenFile file(pdfPath);
  struct stat opened {};
  if (file.fd() < 0 || ::fstat(file.fd(), &opened) != 0) {
    return texts::ReportNotWritten(pdfPath, std::strerror(errno));
  }
  if (!S_ISREG(opened.st_mode)) return texts::ReportOutputNotAFile(pdfPath);
  const std::string head = Head(file.fd());
  if (head.rfind("%PDF-", 0) != 0 || !CarriesMark(head, creatorMark)) {
    return texts::ReportOutputNotAReport(pdfPath);
  }
  return {};
}

}  // namespace pump::report
