// The run report as a PDF of A4 pages, drawn with QPainter on a QPdfWriter:
// text in WenQuanYi Zen Hei, embedded, so that it reads back as written
// (Noto CJK's text map gives some characters as radicals), and the chart as
// vector paths. Needs a QGuiApplication (the offscreen platform will do).
// A file is written whole or not at all: through a temporary beside it,
// renamed over it once every byte is on disk.
#pragma once

#include <string>

class QIODevice;

#include "report/report_text.h"
#include "report/run_figures.h"

namespace pump::report::qt {

// The family every text of the report is drawn in.
constexpr char kReportFontFamily[] = "WenQuanYi Zen Hei";

// Every report's Creator: the mark by which an earlier report may be replaced.
constexpr char kReportCreator[] = "pump-console";

// This computer's host name and the user account running the program; the
// pump is named by the host name too unless `pumpId` names it, as the remote
// monitoring does.
ReportIdentity ThisComputer(std::string pumpId);

struct ReportOutcome {
  bool logRefused = false;  // the log could not be read: `error` says why
  std::string error;        // empty when the PDF was written
};

// Reads the log (whole or `range` of it) and writes its report to `pdfPath`,
// unless that is the log itself or a file that is not an earlier report.
ReportOutcome WriteRunReport(const std::string& logPath, const TimeRange& range,
                             const ReportIdentity& identity, const std::string& pdfPath);

// The same for figures already worked out; `logFileName` names the log in the footer.
std::string WriteReportPdf(const LogFigures& log, const std::string& logFileName,
                           const ReportIdentity& identity, const std::string& pdfPath);

// Draws the report onto `device`, open for writing; false if it could not.
bool PaintReportPdf(const LogFigures& log, const std::string& logFileName,
                    const ReportIdentity& identity, QIODevice& device);

}  // namespace pump::report::qt
