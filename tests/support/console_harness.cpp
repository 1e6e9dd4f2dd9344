#include "tests/support/console_harness.h"

namespace pump::testing {
namespace {

// 2026-01-01 00:00:00 UTC.
constexpr std::chrono::seconds kWallStart{1767225600};

}  // namespace

std::chrono::system_clock::time_point ScriptedEventClock::wallNow() const {
  return std::chrono::system_clock::time_point(kWallStart) +
         std::chrono::milliseconds(clock_.now());
}

std::chrono::steady_clock::time_point ScriptedEventClock::monotonicNow() const {
  return std::chrono::steady_clock::time_point(std::chrono::milliseconds(clock_.now()));
}

void ConsoleHarness::build(ServiceOverrides overrides,
                           const std::function<void(console::MainWindow&)>& beforeStartUp) {
  session = std::make_unique<session::PumpSession>(session::SessionServices{
      .serial = overrides.serial ? *overrides.serial : serial,
      .runClockTimer = overrides.runClockTimer ? *overrides.runClockTimer : runClockTimer,
      .pollTimer = overrides.pollTimer ? *overrides.pollTimer : pollTimer,
      .linkWatchTimer = overrides.linkWatchTimer ? *overrides.linkWatchTimer : linkWatchTimer,
      .programTimer = overrides.programTimer ? *overrides.programTimer : programTimer,
      .clock = overrides.clock ? overrides.clock : &eventClock,
      .stableName = overrides.stableName,
  });
  window = std::make_unique<console::MainWindow>(console::MainWindowServices{
      .session = *session,
      .dialogs = overrides.dialogs ? *overrides.dialogs : dialogs,
      .chartCanvas = overrides.canvas ? *overrides.canvas : canvas,
      .printer = overrides.printer ? *overrides.printer : printer,
      .files = overrides.files ? *overrides.files : files,
      .app = app,
      .popupMenu = overrides.popup ? *overrides.popup : popup,
      .recordViewer = viewer,
      .recordPath = overrides.recordPath,
      .portFinder = overrides.portFinder ? overrides.portFinder : &ports,
      .lastPort = overrides.lastPort ? overrides.lastPort : &lastPort,
  });
  session->events().subscribe(
      [this](const session::SessionEvent& event) { events.push_back(event); });
  if (beforeStartUp) beforeStartUp(*window);
  window->load();
}

void ConsoleHarness::openPort(const std::string& answer) {
  dialogs.answers.push_back(answer);
  window->choosePort();
}

void ConsoleHarness::startTimedRun(const std::string& minutes) {
  dialogs.answers.push_back(minutes);
  window->askRunLength();
  window->startTimedRun();
}

std::vector<std::string> ConsoleHarness::messages() const {
  std::vector<std::string> prompts;
  for (const auto& box : dialogs.messages()) prompts.push_back(box.prompt);
  return prompts;
}

bool ConsoleHarness::menusReleased() const { return MenusReleased(*window); }

bool MenusReleased(const console::MainWindow& window) {
  const auto& m = window.menus;
  return m.file.enabled() && m.timedRun.enabled() && m.pump.enabled() && m.setpoints.enabled() &&
         m.popup.enabled();
}

bool ConsoleHarness::menusLocked() const {
  const auto& m = window->menus;
  return !m.file.enabled() && !m.timedRun.enabled() && !m.pump.enabled() &&
         !m.setpoints.enabled() && !m.popup.enabled();
}

std::vector<std::string> ConsoleHarness::eventDetails(pump::EventKind kind) const {
  std::vector<std::string> details;
  for (const auto& event : events) {
    if (event.kind == kind) details.push_back(event.detail);
  }
  return details;
}

}  // namespace pump::testing
