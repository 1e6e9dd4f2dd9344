// The run report a program's end makes beside its run log (LOG.pdf beside
// LOG.csv), unless the console's settings switch it off. The report is drawn
// by pump-report in a process of its own, so that neither console waits for
// a long log nor loads Qt's GUI module for it; a report that could not be
// written is told once, as the run log's troubles are. Qt's core only.
#pragma once

#include <QSettings>
#include <functional>
#include <string>

#include "app/run_log_wiring.h"
#include "app/window_program.h"

namespace pump::app {

// The setting's key in the console's settings; on when absent.
inline constexpr char kReportAfterProgramKey[] = "report/after_program";

bool ReportAfterProgramOn(const QSettings& settings);
void SetReportAfterProgram(QSettings& settings, bool on);

// "/logs/2026-12-07_14-03-22.pdf" for "/logs/2026-12-07_14-03-22.csv".
std::string ReportPathBesideLog(const std::string& logPath);

// Who hears of a report: `tell` once if it could not be written, with
// pump-report's cause; `ended` (if given) when pump-report has ended either way.
struct ReportListener {
  RunLogTeller tell;
  std::function<void(bool written)> ended = {};
};

// Starts pump-report on the log, not waited for; false if it could not be
// started. `pumpId` empty: the report names the pump by the host name.
// The program is looked for beside `programFolder` (default: this program's).
bool StartReportBesideLog(const std::string& logPath, ReportListener listener,
                          const std::string& pumpId = {},
                          const std::string& programFolder = ProgramFolder());

// All of it: a report beside the log if the settings ask for one.
bool ReportAfterProgramEnd(const QSettings& settings, const std::string& logPath, RunLogTeller tell,
                           const std::string& pumpId = {});

}  // namespace pump::app
