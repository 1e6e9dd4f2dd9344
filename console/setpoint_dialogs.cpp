// Setpoint dialogs and the run and stop menu items.
//
// These write no display: the setpoint read-outs change only when the pump
// answers. Their commands always go to pump "00". A failed write has already
// been told by the session; there is nothing left to undo.
#include "console/main_window.h"
#include "platform/number_text.h"
#include "session/command_checks.h"

namespace pump::console {

// A negative flow has no four-digit form and is refused like one above the limit.
void MainWindow::askFlow() {
  const std::string answer = dialogs_.askText(texts::kFlowPrompt, texts::kFlowTitle, 0);
  const auto flow = ToDouble(answer);
  if (!flow) return;
  const auto command = session::CheckedFlow(link::kBroadcastAddress, *flow);
  if (!command) return refuse(texts::kDialogFlowRefusal, texts::kDialogRefusalTitle, answer);
  session_.send(*command);
}

void MainWindow::askPressureLimit() {
  const std::string answer = dialogs_.askText(texts::kPressurePrompt, texts::kPressureTitle, 2);
  const auto pressure = ToDouble(answer);
  if (!pressure) return;
  const auto command = session::CheckedPressureLimit(link::kBroadcastAddress, *pressure);
  if (!command) {
    return refuse(texts::kDialogPressureRefusal, texts::kDialogRefusalTitle, answer);
  }
  session_.send(*command);
}

// The default is always 0, not the present number. A text that is not a
// number, or lies beyond the Integer range, ends the dialog silently; a number
// the frame's two address digits cannot carry is refused and the old kept.
void MainWindow::askPumpNumber() {
  const auto number =
      ToInteger(dialogs_.askText(texts::kPumpNumberPrompt, texts::kPumpNumberTitle, 0));
  if (!number) return;
  if (!session_.choosePumpAddress(*number)) {
    dialogs_.showMessage(texts::kPumpNumberRefusal, texts::kDialogRefusalTitle);
    return;
  }
  keypad_.setAddress(*number);
}

void MainWindow::runPump() { session_.send(link::PumpCommand::Run()); }
void MainWindow::stopPump() { session_.send(link::PumpCommand::Stop()); }

}  // namespace pump::console
