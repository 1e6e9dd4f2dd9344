// The operator console. With --headless --port DEV it runs with no window,
// for a small computer beside the pump, on Qt's core alone; otherwise it
// hands itself over to the window program, or with --report to the report
// program; --program FILE runs a program on it, and --check-program FILE only
// checks one. SIGTERM, SIGINT and SIGHUP end it, a timed run or a program
// being stopped first.
#include <QCoreApplication>
#include <cstdio>
#include <string>

#include "app/console_command_line.h"
#include "app/console_settings.h"
#include "app/headless_console.h"
#include "app/program_on_command_line.h"
#include "app/signal_ending.h"
#include "app/window_program.h"
#include "runlog/log_folder.h"
#include "texts/operator_texts.h"

int main(int argc, char** argv) {
  if (pump::app::AsksForReport(argc, argv)) return pump::app::RunReportProgram(argv);
  const auto reading = pump::app::ReadCommandLine(argc, argv);
  if (!reading.line) return reading.exitStatus;
  const auto& line = *reading.line;
  if (line.checkProgramFile) return pump::app::CheckProgram(*line.checkProgramFile);
  if (!line.headless) return pump::app::RunWindowProgram(argv);
  std::optional<pump::program::Program> program;
  if (line.programFile && !(program = pump::app::ProgramToRun(*line.programFile))) return 2;

  QCoreApplication application(argc, argv);
  const auto remote = pump::app::RemoteSettingsInForce(line);
  if (remote.error) {
    std::fprintf(stderr, "pump-console: %s\n", remote.error->c_str());
    return 2;
  }
  // Without a home folder the pump is still controlled, with no run log.
  const std::string logFolder = pump::runlog::DefaultLogFolder();
  pump::app::HeadlessConsole console(logFolder);
  console.startRemote(remote.settings);
  pump::app::SignalEnding signalEnding(console.session(), [&console] { console.endOnSignal(); });
  if (program) console.runProgramOnFirstAnswer(std::move(*program));
  console.start(*line.port);
  if (logFolder.empty()) console.tellRunLogOff(pump::texts::kLogNoHome);
  const int status = QCoreApplication::exec();
  console.finish();
  return status;
}
