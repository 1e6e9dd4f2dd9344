#include "console/main_window.h"

#include "platform/number_text.h"

namespace pump::console {
namespace {

constexpr int kRightButton = 2;

}  // namespace

MainWindow::MainWindow(MainWindowServices services)
    : services_(std::move(services)),
      session_(services_.session),
      dialogs_(services_.dialogs),
      chart_(services_.chartCanvas) {
  session_.events().subscribe([this](const session::SessionEvent& event) { showEvent(event); });
  recorder_.emplace(session_.events(), chart_, record_, [this] {
    // Inside the line's reply handling: a box that waited for the operator
    // here would hold every later reply.
    dialogs_.showNotice(texts::kRecordFull, texts::kSaveTitle);
  });
  session_.setOnNotice([this](const session::Notice& notice) { tell(notice); });
  session_.setOnRunClock([this](const session::RunClockChange& change) { showRunClock(change); });
  session_.setOnStatusChange([this] { refreshStatusLine(); });
}

void MainWindow::load() {
  lockMenus(true);
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

void MainWindow::closeWindow() { session_.close(); }

// During a program the same question as the close box asks first; the
// application waits for the stop before it lets go of the line.
void MainWindow::exitProgram() {
  if (askToClose() == CloseAnswer::Stay) return;
  services_.app.endNow();
}

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

// The read-outs show the pump's own characters as each answer brings them.
// A run or stop from afar shows on the run-state display, as the keys' do, so
// the operator sees what was done.
void MainWindow::showEvent(const session::SessionEvent& event) {
  const session::PumpState& state = event.state;
  switch (event.changed) {
    case session::Changed::CurrentPressure:
      display.currentPressure.setCaption(state.currentPressure.characters);
      break;
    case session::Changed::PressureLimit:
      display.pressureLimit.setCaption(state.pressureLimit.characters);
      break;
    case session::Changed::FlowSetpoint:
      display.flowSetpoint.setCaption(state.flowSetpoint.characters);
      break;
    case session::Changed::Nothing:
      break;
  }
  if (event.kind == EventKind::Command && event.source != session::Source::Console) {
    if (event.detail == link::PumpCommand::Run().frame()) {
      display.pumpState.setCaption(texts::kPumpRunning);
    } else if (event.detail == link::PumpCommand::Stop().frame()) {
      display.pumpState.setCaption(texts::kPumpStopped);
    }
  }
  if (event.kind == EventKind::Program) showProgramStep(event.detail);
  if (event.kind == EventKind::Open) lockMenus(false);
  if (event.kind == EventKind::Close) lockMenus(true);
}

void MainWindow::showRunClock(const session::RunClockChange& change) {
  if (change.elapsedSeconds) {
    const long seconds = *change.elapsedSeconds;
    display.hours.setCaption(std::to_string(seconds / 3600));
    display.minutes.setCaption(std::to_string(seconds % 3600 / 60));
    display.seconds.setCaption(std::to_string(seconds % 60));
  }
  if (change.shown) {
    for (Label* label : {&display.hours, &display.minutes, &display.seconds, &display.hourUnit,
                         &display.minuteUnit, &display.secondUnit}) {
      label->setVisible(*change.shown);
    }
  }
}

// The timed run lives in the session; the window asks for its length.
void MainWindow::askRunLength() {
  const std::string answer = dialogs_.askText(texts::kRunLengthPrompt, texts::kRunLengthTitle, 0);
  // Cancel gives the empty text; it and anything that is not a number leave
  // the length in force without a word.
  if (const auto minutes = ToDouble(answer)) session_.setRunLength(*minutes);
}
void MainWindow::startTimedRun() { session_.startTimedRun(); }
void MainWindow::pauseTimedRun() { session_.pauseTimedRun(); }
void MainWindow::continueTimedRun() { session_.continueTimedRun(); }
void MainWindow::endTimedRun() { session_.endTimedRun(); }

}  // namespace pump::console
