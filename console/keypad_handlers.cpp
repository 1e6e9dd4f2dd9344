// The keypad: setpoint entry goes to the keypad entry, RUN and STOP straight
// to the session.
#include "console/main_window.h"

namespace pump::console {

void MainWindow::pressDigit(char digit) { showKeyOutcome(keypad_.pressDigit(digit)); }
void MainWindow::pressFlowKey() { showKeyOutcome(keypad_.pressFlowKey()); }
void MainWindow::pressPressureKey() { showKeyOutcome(keypad_.pressPressureKey()); }

// The read-outs change first; then the refusal is shown or the command sent,
// and only a command that went out clears the entry mode.
void MainWindow::showKeyOutcome(const KeyOutcome& outcome) {
  if (outcome.flowShown) display.flowSetpoint.setCaption(*outcome.flowShown);
  if (outcome.pressureShown) display.pressureLimit.setCaption(*outcome.pressureShown);
  if (outcome.modeShown) display.entryMode.setCaption(*outcome.modeShown);
  if (outcome.refusal) {
    refuse(outcome.refusal->text, outcome.refusal->title, outcome.refusal->typed);
    return;
  }
  if (!outcome.command) return;
  const bool flow = outcome.command->kind() == link::PumpCommand::Kind::SetFlow;
  const std::string shown = flow ? display.flowSetpoint.caption() : display.pressureLimit.caption();
  if (session_.sendKeypadSetpoint(*outcome.command, shown).ok()) {
    display.entryMode.setCaption(texts::kNoEntry);
  }
}

// The run-state display changes only once the command has gone out, or waits
// its turn on the line of a pump that is not reading.
void MainWindow::pressRunKey() {
  session_.send(link::PumpCommand::Run(),
                [this] { display.pumpState.setCaption(texts::kPumpRunning); });
}

void MainWindow::pressStopKey() {
  session_.send(link::PumpCommand::Stop(),
                [this] { display.pumpState.setCaption(texts::kPumpStopped); });
}

void MainWindow::refuse(const char* text, const char* title, const std::string& typed) {
  session_.note(EventKind::Refused, typed);
  dialogs_.showMessage(text, title);
}

}  // namespace pump::console
