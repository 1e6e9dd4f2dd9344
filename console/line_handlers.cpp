// Choosing the port, the replies that come back, and a line that fails.
#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "console/main_window.h"
#include "console/port_box.h"
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
    case PortError::Kind::StaleLock:  // has a message of its own
    case PortError::Kind::SettingsRefused:
    case PortError::Kind::Other:
      break;
  }
  return texts::kPortOtherAdvice;
}

std::string CauseOf(const PortError& error) {
  switch (error.kind) {
    case PortError::Kind::NotFound:
      return texts::kCauseNotFound;
    case PortError::Kind::PermissionDenied:
      return texts::kCausePermission;
    case PortError::Kind::Busy:
      return texts::kCauseBusy;
    case PortError::Kind::NotSerial:
      return texts::kCauseNotSerial;
    case PortError::Kind::StaleLock:  // has a message of its own
    case PortError::Kind::SettingsRefused:
    case PortError::Kind::Other:
      break;
  }
  return texts::SystemCause(error.reason);
}

// A lost line's reason is the system's: an input/output error is named in
// the operator's words, anything else kept in brackets.
std::string CauseOfLoss(const std::string& reason) {
  if (reason.find("Input/output error") != std::string::npos) return texts::kCauseInputOutput;
  return texts::SystemCause(reason);
}

std::string OpenFailedMessage(const std::string& device, const PortError& error) {
  if (error.kind == PortError::Kind::SettingsRefused) return texts::SettingsRefused(device);
  if (error.kind == PortError::Kind::StaleLock) {
    return texts::PortLockStale(device, error.lockFile, error.lockOwner);
  }
  return texts::PortNotOpened(device, CauseOf(error), AdviceFor(error.kind));
}

// "14:03:27" in the local time zone.
std::string TimeOfDay(std::chrono::system_clock::time_point when) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  return text;
}

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
  // Another port is asked for: the old one is given up first, and a lost
  // line is no longer reconnected.
  const bool wasConnected = line_.connected();
  const std::string previous = line_.device();
  keepUnsentStop(line_.holdsUnsentStop());
  line_.close();
  if (wasConnected) publish(EventKind::Close, previous);
  lockMenus(true);
  if (const auto error = line_.open(*device)) {
    std::string message = OpenFailedMessage(*device, *error);
    if (runTimer_.timing()) message += texts::kRunGoesOn;
    refreshStatusLine();
    dialogs_.showMessage(message, texts::kCommErrorTitle);
    return;
  }
  portEverOpened_ = true;
  if (services_.lastPort) services_.lastPort->remember(answer);
  lineBack(false);
}

// A line is open again, by the operator or by a reconnect: a kept stop goes
// out before anything else, then the console works as after an open. A
// reconnect comes from the line's watch, which must keep running behind the
// box: it is a notice.
void MainWindow::lineBack(bool reopened) {
  const bool stopSentLate = sendKeptStop();
  lockMenus(false);
  publish(EventKind::Open, line_.device(), reopened);
  refreshStatusLine();
  if (stopSentLate) {
    dialogs_.showNotice(texts::StopSentLate(TimeOfDay(clock_.wallNow())),
                        texts::kStopSentLateTitle);
  }
}

bool MainWindow::sendKeptStop() {
  if (!keptStop_) return false;
  const KeptStop kept = *keptStop_;
  keptStop_.reset();
  if (!link::Accepted(line_.send(link::PumpCommand::Stop()))) {
    keptStop_ = kept;  // still down: kept for the next time
    return false;
  }
  if (kept.onSent) kept.onSent();
  commandWentOut(link::PumpCommand::Stop());
  if (kept.endsRun) publish(EventKind::Run, "stop_sent");
  return true;
}

void MainWindow::handleReply(const link::PumpReply& reply) {
  ++repliesHandled_;
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
  if (reply.kind() == link::ReplyKind::CurrentPressure) checkPressureLimit(reply.value());
  const bool reading = reply.kind() == link::ReplyKind::CurrentPressure;
  publish(reading ? EventKind::Reading : EventKind::Reply, reply.frame);
}

// A full record keeps its readings and drops later ones; the operator is told
// once, when the first one is dropped. This runs inside the line's reply
// handling, and the serial port hands over no more bytes until that returns:
// a box that waited for the operator here would hold every later reply.
void MainWindow::record(double reading) {
  if (record_.add(reading) || recordFullTold_) return;
  recordFullTold_ = true;
  dialogs_.showNotice(texts::kRecordFull, texts::kSaveTitle);
}

// The line is already closed, the poll stopped and reconnecting begun. The
// pump may still be running: a timed run goes on counting, and its stop is
// kept for when the line is back. The box is a notice, so the reconnect and
// the replies of the line that comes back do not wait for it.
void MainWindow::lineFailed(const link::LineFailure& failure) {
  keepUnsentStop(failure.stopUnsent);
  lockMenus(true);
  publish(EventKind::Close, failure.device);
  std::string message = failure.kind == link::LineFailure::Kind::Lost
                            ? texts::LineLost(failure.device, CauseOfLoss(failure.reason))
                            : texts::PollNotWritten(failure.device);
  if (runTimer_.timing()) message += texts::kRunGoesOn;
  refreshStatusLine();
  dialogs_.showNotice(message, texts::kCommErrorTitle);
}

// Said once per open line; the status line says it for as long as it lasts.
// It comes from inside a send, often the poll's: a notice keeps polling.
void MainWindow::pumpNotReading() {
  dialogs_.showNotice(texts::PumpNotReading(line_.device()), texts::kCommErrorTitle);
}

// A stop still waiting for the pump to read is not given up with the line:
// it goes out first on the next one.
void MainWindow::keepUnsentStop(bool unsent) {
  if (unsent && !keptStop_) keptStop_ = KeptStop{{}, runTimer_.timing()};
}

}  // namespace pump::console
