// pump-report: the run report made without a window. pump-console hands a
// command line with --report over to it, unchanged; it draws the PDF with
// Qt's GUI module on the offscreen platform, so no display is needed.
// Exit status: 0 written, 2 for a command line or a log it cannot use,
// 1 if the PDF could not be written or may not go where asked (over the run
// log, or over a file that is not an earlier report).
#include <QGuiApplication>
#include <cstdio>

#include "app/console_settings.h"
#include "app/report_command_line.h"
#include "remote/qt/remote_settings_store.h"
#include "report/qt/report_pdf.h"

namespace {

std::string StoredPumpId() {
  QSettings store = pump::app::RemoteSettingsStore();
  return pump::remote::EffectivePumpId(pump::remote::qt::LoadRemoteSettings(store).settings);
}

}  // namespace

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const auto reading = pump::app::ParseReportCommand(arguments);
  if (!reading.command) {
    std::fputs(reading.problem.c_str(), stderr);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Qt's own notes (such as no XDG_RUNTIME_DIR) would only cloud the one line
  // a failure gets; the report tells its own outcome.
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  QGuiApplication application(argc, argv);
  const auto& command = *reading.command;
  const auto identity =
      pump::report::qt::ThisComputer(command.pumpId ? *command.pumpId : StoredPumpId());
  const auto outcome =
      pump::report::qt::WriteRunReport(command.logPath, command.range, identity, command.pdfPath);
  if (outcome.error.empty()) return 0;
  std::fprintf(stderr, "pump-console: %s%s\n",
               outcome.logRefused ? "cannot read the run log: " : "", outcome.error.c_str());
  return outcome.logRefused ? 2 : 1;
}
