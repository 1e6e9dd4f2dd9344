// Choosing the port: the port box, then the session opens it.
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
  lockMenus(true);
  const session::CommandResult opened = session_.open(*device);
  if (!opened.ok()) {
    dialogs_.showMessage(opened.refusal, texts::kCommErrorTitle);
    return;
  }
  if (services_.lastPort) services_.lastPort->remember(answer);
}

}  // namespace pump::console
