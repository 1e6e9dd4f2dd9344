// The status line below the chart: the state of the line, a reading at or
// above the pressure limit, and a stop waiting for the line.
#include <cstdio>

#include "console/main_window.h"
#include "platform/number_text.h"

namespace pump::console {
namespace {

// Dark enough on the status line's pale panel for a contrast of at least 4.5:1.
constexpr Rgb kGood{0x00, 0x64, 0x00};
constexpr Rgb kAlarm{0xb0, 0x00, 0x00};
constexpr Rgb kWarning{0x8a, 0x5a, 0x00};
constexpr Rgb kIdle{0x59, 0x59, 0x59};

// "4.6" for a reading shown as "04.6".
std::string OneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

}  // namespace

void MainWindow::refreshStatusLine() {
  const LinkState state = line_.state();
  const bool lineOpen = state == LinkState::Answering || state == LinkState::Waiting;
  std::string text;
  Rgb colour = kIdle;
  if (keptStop_) {
    text = texts::kStopWaiting, colour = kAlarm;
  } else if (state == LinkState::Lost || state == LinkState::Reconnecting) {
    text = texts::kLinkReconnecting, colour = kWarning;
  } else if (line_.notReading()) {
    text = texts::kLinkNotReading, colour = kAlarm;
  } else if (state == LinkState::NoAnswer) {
    text = texts::LinkNoAnswer(line_.secondsWithoutAnswer()), colour = kAlarm;
  } else if (state == LinkState::Answering && overLimit_) {
    text = *overLimit_, colour = kAlarm;
  } else if (lineOpen && !logTrouble_.empty()) {
    text = logTrouble_, colour = kAlarm;
  } else if (state == LinkState::Answering) {
    text = texts::LinkAnswering(line_.device()), colour = kGood;
  } else if (state == LinkState::Waiting) {
    text = texts::kLinkWaiting;  // not yet confirmed: neither good nor bad
  } else {
    text = texts::kLinkNotConnected;
  }
  display.linkStatus.setCaption(text);
  display.linkStatus.setColour(colour);
  if (state == publishedLink_) return;
  publishedLink_ = state;
  publish(EventKind::Link, LinkStateName(state));
}

void MainWindow::showLogTrouble(std::string text, std::string eventDetail) {
  if (!eventDetail.empty()) publish(EventKind::Log, std::move(eventDetail));
  logTrouble_ = std::move(text);
  refreshStatusLine();
}

// Compared with the limit the display shows; a reading below it clears the alarm.
void MainWindow::checkPressureLimit(const std::string& reading) {
  const auto pressure = ToDouble(reading);
  const auto limit = ToDouble(display.pressureLimit.caption());
  if (pressure && limit && *pressure >= *limit) {
    overLimit_ = texts::OverLimit(OneDecimal(*pressure), OneDecimal(*limit));
  } else {
    overLimit_.reset();
  }
  refreshStatusLine();
}

}  // namespace pump::console
