// The report as a file: checked before it is written, written whole.
#include <pwd.h>
#include <unistd.h>

#include <QFileInfo>
#include <QSaveFile>
#include <QSysInfo>

#include "report/qt/report_pdf.h"
#include "report/report_output.h"
#include "texts/operator_texts.h"

namespace pump::report::qt {

namespace {

std::string UserName() {
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_name) return entry->pw_name;
  const char* user = std::getenv("USER");
  return user ? user : std::to_string(::getuid());
}

}  // namespace

ReportIdentity ThisComputer(std::string pumpId) {
  const std::string host = QSysInfo::machineHostName().toStdString();
  return {pumpId.empty() ? host : std::move(pumpId), host, UserName()};
}

std::string WriteReportPdf(const LogFigures& log, const std::string& logFileName,
                           const ReportIdentity& identity, const std::string& pdfPath) {
  QSaveFile file(QFile::decodeName(pdfPath.c_str()));
  if (!file.open(QIODevice::WriteOnly)) {
    return texts::ReportNotWritten(pdfPath, file.errorString().toStdString());
  }
  // A write that failed (a full disk) stays in the file's error and fails the
  // commit too; a file not committed is removed with its temporary.
  const bool painted = PaintReportPdf(log, logFileName, identity, file);
  if (file.error() != QFileDevice::NoError) {
    return texts::ReportNotWritten(pdfPath, file.errorString().toStdString());
  }
  if (!painted) return texts::ReportNotWritten(pdfPath, texts::kReportNotDrawn);
  if (!file.commit()) return texts::ReportNotWritten(pdfPath, file.errorString().toStdString());
  return {};
}

ReportOutcome WriteRunReport(const std::string& logPath, const TimeRange& range,
                             const ReportIdentity& identity, const std::string& pdfPath) {
  if (std::string refusal = OutputRefusal(logPath, pdfPath, kReportCreator); !refusal.empty()) {
    return {false, std::move(refusal)};
  }
  const LogFigures log = FiguresOfLog(logPath, range);
  if (!log.reading.error.empty()) return {true, log.reading.error};
  const std::string name = QFileInfo(QFile::decodeName(logPath.c_str())).fileName().toStdString();
  return {false, WriteReportPdf(log, name, identity, pdfPath)};
}

}  // namespace pump::report::qt
