// The command line of a report made without a window:
// pump-console --report LOG.csv --output FILE.pdf [--from TIME --to TIME] [--pump-id ID]
#pragma once

#include <QStringList>
#include <optional>
#include <string>

#include "report/run_figures.h"

namespace pump::app {

struct ReportCommand {
  std::string logPath;
  std::string pdfPath;
  report::TimeRange range;
  std::optional<std::string> pumpId;
};

struct ReportCommandReading {
  std::optional<ReportCommand> command;
  std::string problem;  // why not, one line with its line end
};

// `arguments` starts with the program's name, as argv does.
ReportCommandReading ParseReportCommand(const QStringList& arguments);

}  // namespace pump::app
