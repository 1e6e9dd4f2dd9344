// The operator console: one main window, run until it is closed or ended.
// With --headless --port DEV it runs the same console with no window, for a
// small computer beside the pump. SIGTERM, SIGINT and SIGHUP end either one,
// a timed run being stopped first.
#include <QApplication>
#include <cstdio>
#include <string>

#include "app/composition.h"
#include "app/console_command_line.h"
#include "app/signal_ending.h"
#include "texts/operator_texts.h"

namespace {

int Refuse(const std::string& why) {
  std::fprintf(stderr, "pump-console: %s\n", why.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const auto reading = pump::app::ReadCommandLine(argc, argv);
  if (!reading.line) return reading.exitStatus;
  const auto& line = *reading.line;
  // No window: the offscreen platform needs no display.
  if (line.headless && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  pump::app::PrepareApplication();

  QSettings store = pump::app::RemoteSettingsStore();
  const auto remote = pump::remote::ApplyOverrides(
      pump::remote::qt::LoadRemoteSettings(store).settings, line.remote);
  if (remote.error) return Refuse(*remote.error);

  // Without a home folder the pump is still controlled, with no run log.
  const std::string logFolder = pump::runlog::DefaultLogFolder();
  pump::app::Console console(logFolder, line.headless);
  console.startRemote(remote.settings);
  pump::app::SignalEnding signalEnding(console.session(), [&console] { console.endOnSignal(); });
  if (line.headless) {
    console.startHeadless(*line.port);
  } else {
    console.start();
  }
  if (logFolder.empty()) console.tellRunLogOff(pump::texts::kLogNoHome);
  const int status = QApplication::exec();
  console.finish();
  return status;
}
