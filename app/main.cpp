// The operator console: one main window, run until it is closed or ended.
// With --headless --port DEV it runs the same console with no window, for a
// small computer beside the pump. SIGTERM, SIGINT and SIGHUP end either one,
// a timed run being stopped first.
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "app/composition.h"
#include "app/signal_ending.h"
#include "remote/command_line.h"

namespace {

int Refuse(const std::string& why) {
  std::fprintf(stderr, "pump-console: %s\n", why.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const auto line = pump::remote::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (line.error) return Refuse(*line.error);
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

  pump::app::Console console(pump::runlog::DefaultLogFolder(), line.headless);
  console.startRemote(remote.settings);
  pump::app::SignalEnding signalEnding(console.window(), [&console] { console.endOnSignal(); });
  if (line.headless) {
    console.startHeadless(*line.port);
  } else {
    console.start();
  }
  const int status = QApplication::exec();
  console.finish();
  return status;
}
