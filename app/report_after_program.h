// The run report a program's end makes beside its run log (LOG.pdf beside
// LOG.csv), unless the console's settings switch it off. The report is drawn
// by pump-report in a process of its own, so that neither console waits for
// a long log nor loads Qt's GUI module for it. Qt's core only.
#pragma once

#include <QSettings>
#include <string>

#include "app/window_program.h"

namespace pump::app {

// The setting's key in the console's settings; on when absent.
inline constexpr char kReportAfterProgramKey[] = "report/after_program";

bool ReportAfterProgramOn(const QSettings& settings);
void SetReportAfterProgram(QSettings& settings, bool on);

// "/logs/2026-12-07_14-03-22.pdf" for "/logs/2026-12-07_14-03-22.csv".
std::string ReportPathBesideLog(const std::string& logPath);

// Starts pump-report on the log, not waited for; false if it could not be
// started. `pumpId` empty: the report names the pump by the host name.
// The program is looked for beside `programFolder` (default: this program's).
bool StartReportBesideLog(const std::string& logPath, const std::string& pumpId = {},
                          const std::string& programFolder = ProgramFolder());

// All of it: a report beside the log if the settings ask for one.
bool ReportAfterProgramEnd(const QSettings& settings, const std::string& logPath,
                           const std::string& pumpId = {});

}  // namespace pump::app
