// The status line below the chart: the state of the line, a reading at or
// above the pressure limit, a stop waiting for the line, a run log that
// cannot be written, and a program under way.
#include <charconv>

#include "console/main_window.h"

namespace pump::console {
namespace {

// Dark enough on the status line's pale panel for a contrast of at least 4.5:1.
constexpr Rgb kGood{0x00, 0x64, 0x00};
constexpr Rgb kAlarm{0xb0, 0x00, 0x00};
constexpr Rgb kWarning{0x8a, 0x5a, 0x00};
constexpr Rgb kIdle{0x59, 0x59, 0x59};

// "4.6" for a reading shown as "04.6", rounded as printf's "%.1f" rounds.
std::string OneDecimal(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1).ptr;
  return std::string(text, end);
}

std::string OverLimitText(const session::PumpState& state) {
  return texts::OverLimit(OneDecimal(state.currentPressure.value().value_or(0)),
                          OneDecimal(state.pressureLimit.value().value_or(0)));
}

}  // namespace

void MainWindow::refreshStatusLine() {
  const session::PumpState& state = session_.state();
  const LinkState link = state.link;
  const bool lineOpen = link == LinkState::Answering || link == LinkState::Waiting;
  std::string text;
  Rgb colour = kIdle;
  if (session_.holdsKeptStop()) {
    text = texts::kStopWaiting, colour = kAlarm;
  } else if (link == LinkState::Lost || link == LinkState::Reconnecting) {
    text = texts::kLinkReconnecting, colour = kWarning;
  } else if (session_.pumpNotReading()) {
    text = texts::kLinkNotReading, colour = kAlarm;
  } else if (link == LinkState::NoAnswer) {
    text = texts::LinkNoAnswer(session_.secondsWithoutAnswer()), colour = kAlarm;
  } else if (link == LinkState::Answering && state.atPressureLimit) {
    text = OverLimitText(state), colour = kAlarm;
  } else if (lineOpen && !logTrouble_.empty()) {
    text = logTrouble_, colour = kAlarm;
  } else if (state.program) {
    text = ProgramStatusText(*state.program), colour = kGood;
  } else if (programAbortedByHand_) {
    text = texts::kProgramAbortedByHand, colour = kWarning;
  } else if (link == LinkState::Answering) {
    text = texts::LinkAnswering(session_.device()), colour = kGood;
  } else if (link == LinkState::Waiting) {
    text = texts::kLinkWaiting;  // not yet confirmed: neither good nor bad
  } else {
    text = texts::kLinkNotConnected;
  }
  display.linkStatus.setCaption(text);
  display.linkStatus.setColour(colour);
}

void MainWindow::showLogTrouble(std::string text, std::string eventDetail) {
  if (!eventDetail.empty()) session_.note(EventKind::Log, std::move(eventDetail));
  logTrouble_ = std::move(text);
  refreshStatusLine();
}

}  // namespace pump::console
