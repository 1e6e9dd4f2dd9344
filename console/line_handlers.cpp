// Choosing the port: the port box, then the session opens it; and the box
// that tells of a lost line.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "console/main_window.h"
#include "console/port_box.h"
#include "link/port_name.h"

namespace pump::console {
namespace {

// The port box as things stand: the ports listed now and the answer kept last.
HintedInputBox CurrentPortBox(const MainWindowServices& services) {
  std::vector<FoundPort> found;
  if (services.portFinder) found = services.portFinder->availablePorts();
  std::optional<std::string> lastAnswer;
  if (services.lastPort) lastAnswer = services.lastPort->recall();
  return PortBox(std::move(found), lastAnswer);
}

}  // namespace

void MainWindow::choosePort() {
  const std::string answer = dialogs_.askWithHints(CurrentPortBox(services_));
  if (answer.empty()) return;  // Cancel leaves everything as it was.
  const auto device = link::PortDevice(answer);
  if (!device) {
    dialogs_.showMessage(texts::NotAPort(answer), texts::kCommErrorTitle);
    return;
  }
  if (!endRunBeforeSwitch()) return;
  lockMenus(true);
  const session::CommandResult opened = session_.open(*device);
  if (!opened.ok()) {
    dialogs_.showMessage(opened.refusal, texts::kCommErrorTitle);
    return;
  }
  if (services_.lastPort) services_.lastPort->remember(answer);
}

// A run goes on only on the line it was started on: the operator decides
// before the session ends it. False when they keep the run and its line.
bool MainWindow::endRunBeforeSwitch() {
  if (!session_.runOrProgramUnderWay()) return true;
  const CloseAnswer answer = askToEndRun(texts::kPortChangeDuringRun, texts::kCommunicationCommand);
  if (answer == CloseAnswer::Stay) return false;
  if (answer == CloseAnswer::CloseAfterStop && services_.waitForStop) services_.waitForStop();
  return true;
}

// While the box of a lost line is up, a further loss changes its text to
// count the losses instead of raising another box over it: a line that
// comes and goes leaves one box.
void MainWindow::tell(const session::Notice& notice) {
  if (!notice.lineLost) return dialogs_.showNotice(notice.text, notice.title);
  if (lossBox_ && dialogs_.noticeShown(*lossBox_)) {
    dialogs_.changeNotice(*lossBox_, notice.text + texts::LossesWhileShown(++lossesInBox_));
    return;
  }
  lossesInBox_ = 1;
  lossBox_ = dialogs_.showChangeableNotice(notice.text, notice.title);
}

}  // namespace pump::console
