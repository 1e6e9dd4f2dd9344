// Choosing the port, the replies that come back, and a line that fails.
#include <string>

#include "console/main_window.h"
#include "link/port_name.h"
#include "platform/number_text.h"

namespace pump::console {
namespace {

const char* AdviceFor(PortError::Kind kind) {
  switch (kind) {
    case PortError::Kind::NotFound:
      return texts::kPortNotFoundAdvice;
    case PortError::Kind::PermissionDenied:
      return texts::kPortPermissionAdvice;
    case PortError::Kind::Busy:
      return texts::kPortBusyAdvice;
    case PortError::Kind::NotSerial:
      return texts::kPortNotSerialAdvice;
    case PortError::Kind::SettingsRefused:
    case PortError::Kind::Other:
      break;
  }
  return texts::kPortOtherAdvice;
}

std::string OpenFailedMessage(const std::string& device, const PortError& error) {
  if (error.kind == PortError::Kind::SettingsRefused) return texts::SettingsRefused(device);
  return texts::PortNotOpened(device, error.reason, AdviceFor(error.kind));
}

}  // namespace

void MainWindow::choosePort() {
  const std::string answer = dialogs_.askText(texts::kPortPrompt, texts::kPortTitle, 1);
  if (answer.empty()) return;  // Cancel leaves everything as it was.
  const auto device = link::PortDevice(answer);
  if (!device) {
    dialogs_.showMessage(texts::NotAPort(answer), texts::kCommErrorTitle);
    return;
  }
  // Another port is asked for: the old one is given up first.
  if (line_.connected()) {
    const std::string previous = line_.device();
    line_.close();
    publish(EventKind::Close, previous);
  }
  lockMenus(true);
  if (const auto error = line_.open(*device)) {
    dialogs_.showMessage(OpenFailedMessage(*device, *error), texts::kCommErrorTitle);
    return;
  }
  lockMenus(false);
  publish(EventKind::Open, *device);
}

void MainWindow::handleReply(const link::PumpReply& reply) {
  switch (reply.kind()) {
    case link::ReplyKind::CurrentPressure: {
      display.currentPressure.setCaption(reply.valueShown());
      if (const auto reading = ToDouble(reply.value())) record(*reading);
      break;
    }
    case link::ReplyKind::PressureLimit:
      display.pressureLimit.setCaption(reply.pressureShown());
      break;
    case link::ReplyKind::Flow:
      display.flowSetpoint.setCaption(reply.valueShown());
      break;
    case link::ReplyKind::Other:
      break;  // changes no display but still counts for the chart
  }
  chart_.update(display.currentPressure.caption());
  const bool reading = reply.kind() == link::ReplyKind::CurrentPressure;
  publish(reading ? EventKind::Reading : EventKind::Reply, reply.frame);
}

// A full record keeps its readings and drops later ones; the operator is told
// once, when the first one is dropped. Told before the box shows, so replies
// handled while it is open do not raise another.
void MainWindow::record(double reading) {
  if (record_.add(reading) || recordFullTold_) return;
  recordFullTold_ = true;
  dialogs_.showMessage(texts::kRecordFull, texts::kSaveTitle);
}

// The line is already closed and the poll stopped. The pump may still be
// running: the operator must know the console no longer times the run and
// cannot stop it.
void MainWindow::lineFailed(const link::LineFailure& failure) {
  lockMenus(true);
  publish(EventKind::Close, failure.device);
  const bool runHalted = runTimer_.haltForLostLine();
  std::string message = failure.kind == link::LineFailure::Kind::Lost
                            ? texts::LineLost(failure.device, failure.reason)
                            : texts::PollNotWritten(failure.device);
  if (runHalted) message += texts::kTimedRunHalted;
  dialogs_.showMessage(message, texts::kCommErrorTitle);
}

}  // namespace pump::console
