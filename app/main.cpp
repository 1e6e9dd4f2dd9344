// The operator console: one main window, run until it is closed or ended.
// With --headless --port DEV it runs the same console with no window, for a
// small computer beside the pump, until SIGTERM or SIGINT.
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <string>

#include "app/composition.h"
#include "app/console_command_line.h"
#include "texts/operator_texts.h"

namespace {

int signalPipe[2] = {-1, -1};

// SIGTERM and SIGINT end the event loop through a socket the loop watches:
// nothing but a write is safe inside a signal handler.
void QuitOnSignals(QObject& context) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &context);
  QObject::connect(notifier, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
  struct sigaction action {};
  action.sa_handler = [](int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[0], &byte, 1);
  };
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
}

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
  if (line.headless) {
    QuitOnSignals(application);
    console.startHeadless(*line.port);
  } else {
    console.start();
  }
  if (logFolder.empty()) console.tellRunLogOff(pump::texts::kLogNoHome);
  const int status = QApplication::exec();
  console.finish();
  return status;
}
