#include "console/main_window.h"

namespace pump::console {
namespace {

constexpr int kRunClockIntervalMs = 1000;
constexpr int kRightButton = 2;

}  // namespace

MainWindow::MainWindow(MainWindowServices services)
    : services_(std::move(services)),
      dialogs_(services_.dialogs),
      clock_(services_.clock ? *services_.clock : systemClock_),
      line_({services_.serial, services_.pollTimer, services_.linkWatchTimer, clock_,
             services_.stableName}),
      chart_(services_.chartCanvas),
      runTimer_(services_.runClockTimer, clock_, display.runClock(), sender_, services_.dialogs) {
  services_.runClockTimer.setOnTick([this] { runTimer_.tick(); });
  line_.setOnReply([this](const link::PumpReply& reply) { handleReply(reply); });
  line_.setOnFailure([this](const link::LineFailure& failure) { lineFailed(failure); });
  line_.setOnReconnected([this] { lineBack(true); });
  line_.setOnWatch([this] { refreshStatusLine(); });
  line_.setOnNotReading([this] { pumpNotReading(); });
  runTimer_.setOnStep([this](const char* step) { publish(EventKind::Run, step); });
}

void MainWindow::load() {
  lockMenus(true);
  services_.runClockTimer.setInterval(kRunClockIntervalMs);
  services_.runClockTimer.setEnabled(false);
  for (Label* clock : {&display.hours, &display.minutes, &display.seconds, &display.hourUnit,
                       &display.minuteUnit, &display.secondUnit}) {
    clock->setVisible(false);
  }
  chart_.setUp();
  refreshStatusLine();
}

// A disabled pop-up offers nothing to choose, so it is not shown at all.
void MainWindow::mouseDown(int button) {
  if (button == kRightButton && menus.popup.enabled()) services_.popupMenu.popup();
}

void MainWindow::closeWindow() {
  const std::string device = line_.device();
  line_.close();
  publish(EventKind::Close, device);
  refreshStatusLine();
}

void MainWindow::exitProgram() { services_.app.endNow(); }

void MainWindow::showHelp() {}

void MainWindow::openRemoteSettings() {
  if (openRemoteSettings_) openRemoteSettings_();
}

// The menus that need a line; the communication command, the tools and help
// never lock.
void MainWindow::lockMenus(bool locked) {
  for (MenuEntry* menu :
       {&menus.file, &menus.timedRun, &menus.pump, &menus.popup, &menus.setpoints}) {
    menu->setEnabled(!locked);
  }
}

link::Handed MainWindow::OperatorSender::send(const link::PumpCommand& command) {
  return window_.sendCommand(command);
}

link::Handed MainWindow::sendCommand(const link::PumpCommand& command,
                                     const std::function<void()>& onSent) {
  switch (line_.send(command)) {
    case link::SendResult::Sent:
    case link::SendResult::Queued:  // goes out in order once the pump reads again
      if (onSent) onSent();
      commandWentOut(command);
      return link::Handed::Sent;
    case link::SendResult::NotOpen:
      // Once a line has been open, a stop is never dropped for want of one.
      if (command.kind() == link::PumpCommand::Kind::Stop && portEverOpened_) {
        keptStop_ = KeptStop{onSent, keptStop_ ? keptStop_->endsRun : runTimer_.timing()};
        refreshStatusLine();
        return link::Handed::Kept;
      }
      dialogs_.showNotice(texts::kPortNotOpen, texts::kCommErrorTitle);
      return link::Handed::Failed;
    case link::SendResult::QueueFull:
      dialogs_.showNotice(texts::kCommandQueueFull, texts::kCommErrorTitle);
      return link::Handed::Failed;
    case link::SendResult::WriteFailed:
      dialogs_.showNotice(texts::kCommandNotSent, texts::kCommErrorTitle);
      return link::Handed::Failed;
  }
  return link::Handed::Failed;
}

void MainWindow::publish(EventKind kind, std::string detail, bool reopened) {
  events_.publish(ConsoleEvent{kind, std::move(detail), readouts(), clock_.wallNow(),
                               clock_.monotonicNow(), reopened});
}

Readouts MainWindow::readouts() const {
  Readouts shown = display.readouts();
  shown.pumpCommandedRunning = pumpCommandedRunning_;
  return shown;
}

// A command reached the line, or waits its turn there. Whoever sent a run or
// stop frame, what the pump was last told follows it; the run-state display
// is the keys' alone and is left to the caller.
void MainWindow::commandWentOut(const link::PumpCommand& command) {
  if (command.kind() == link::PumpCommand::Kind::Run) pumpCommandedRunning_ = true;
  if (command.kind() == link::PumpCommand::Kind::Stop) pumpCommandedRunning_ = false;
  publish(EventKind::Command, command.frame());
}

// The timed run lives in its own component; the window forwards its events.
void MainWindow::askRunLength() { runTimer_.askLength(); }
void MainWindow::startTimedRun() { runTimer_.start(); }
void MainWindow::pauseTimedRun() { runTimer_.pause(); }
void MainWindow::continueTimedRun() { runTimer_.resume(); }
void MainWindow::endTimedRun() { runTimer_.end(); }

}  // namespace pump::console
