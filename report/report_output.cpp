#include "report/report_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/posix/named_file.h"
#include "texts/operator_texts.h"

namespace pump::report {

namespace {

// A report's Creator is written in its document information near the top.
constexpr std::size_t kMarkSearched = 64 * 1024;

// The head of an existing output, read as every file a person names is, so
// a path swapped for a FIFO or a device meanwhile holds nothing up.
FileResult ReadHead(const std::string& path, std::string* head) {
  posix::NamedFile file(path, std::numeric_limits<std::uint64_t>::max());
  if (!file.opened().ok) return file.opened();
  head->assign(kMarkSearched, '\0');
  std::size_t got = 0;
  while (got < head->size()) {
    const ssize_t n = file.read(head->data() + got, head->size() - got);
    if (n < 0) return posix::FileFailed(errno);
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  head->resize(got);
  return {true, {}};
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
  std::string head;
  if (const FileResult read = ReadHead(pdfPath, &head); !read.ok) {
    if (read.failure == FileFailure::NotARegularFile) return texts::ReportOutputNotAFile(pdfPath);
    return texts::ReportNotWritten(pdfPath, read.error);
  }
  if (head.rfind("%PDF-", 0) != 0 || !CarriesMark(head, creatorMark)) {
    return texts::ReportOutputNotAReport(pdfPath);
  }
  return {};
}

}  // namespace pump::report
