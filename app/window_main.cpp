// The operator console's window: one main window, run until it is closed or
// ended. pump-console starts it with its own arguments when no --headless is
// asked for. SIGTERM, SIGINT and SIGHUP end it, a timed run being stopped first.
#include <sys/prctl.h>

#include <QApplication>
#include <cstdio>
#include <string>

#include "app/composition.h"
#include "app/console_command_line.h"
#include "app/console_settings.h"
#include "app/signal_ending.h"
#include "texts/operator_texts.h"

namespace {

int Refuse(const std::string& why) {
  std::fprintf(stderr, "pump-console: %s\n", why.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // Process lists (ps, top, pidof) show the console by the name it was started as.
  ::prctl(PR_SET_NAME, "pump-console");
  const auto reading = pump::app::ReadCommandLine(argc, argv);
  if (!reading.line) return reading.exitStatus;
  if (reading.line->headless) return Refuse("--headless is pump-console's, not the window's");
  QApplication application(argc, argv);
  pump::app::PrepareApplication();

  const auto remote = pump::app::RemoteSettingsInForce(*reading.line);
  if (remote.error) return Refuse(*remote.error);

  // Without a home folder the pump is still controlled, with no run log.
  const std::string logFolder = pump::runlog::DefaultLogFolder();
  pump::app::Console console(logFolder);
  console.startRemote(remote.settings);
  pump::app::SignalEnding signalEnding(console.session(), [&console] { console.endOnSignal(); });
  console.start();
  if (logFolder.empty()) console.tellRunLogOff(pump::texts::kLogNoHome);
  const int status = QApplication::exec();
  console.finish();
  return status;
}
