// The one builder of a console under test: a main window on test doubles,
// started as the program starts it. A test replaces any service it needs to
// be real (a Qt serial port, real files, the view's chart) through overrides.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "console/main_window.h"
#include "tests/support/doubles.h"

namespace pump::testing {

// Services a test brings itself; whatever is left null is the harness's double.
struct ServiceOverrides {
  SerialPort* serial = nullptr;
  Dialogs* dialogs = nullptr;
  Timer* runClockTimer = nullptr;
  Timer* pollTimer = nullptr;
  Timer* linkWatchTimer = nullptr;
  Timer* programTimer = nullptr;
  Canvas* canvas = nullptr;
  Files* files = nullptr;
  Printer* printer = nullptr;
  PopupMenu* popup = nullptr;
  std::string recordPath = "record.txt";
  link::StableNameFinder stableName = {};
  const PortFinder* portFinder = nullptr;
  LastPortMemory* lastPort = nullptr;
  const pump::EventClock* clock = nullptr;  // real timers need the real clock
};

// The menus that need a line are released: the console has a line open.
bool MenusReleased(const console::MainWindow& window);

// Event times that follow the scripted clock, from a fixed start.
class ScriptedEventClock : public pump::EventClock {
 public:
  explicit ScriptedEventClock(const ScriptedClock& clock) : clock_(clock) {}
  std::chrono::system_clock::time_point wallNow() const override;
  std::chrono::steady_clock::time_point monotonicNow() const override;

 private:
  const ScriptedClock& clock_;
};

struct ConsoleHarness {
  ScriptedClock clock;
  ManualTimer runClockTimer{clock};
  ManualTimer pollTimer{clock};
  ManualTimer linkWatchTimer{clock};
  ManualTimer programTimer{clock};
  RecordingSerialPort serial;
  ScriptedDialogs dialogs;
  RecordingCanvas canvas;
  RecordingPrinter printer;
  MemoryFiles files;
  CountingApp app;
  CountingPopup popup;
  CountingWindow viewer;
  ListedPorts ports;      // the ports the port box lists; none at first
  KeptLastPort lastPort;  // the port box's memory of the port used last
  ScriptedEventClock eventClock{clock};
  std::vector<session::SessionEvent> events;  // every event the session published
  std::unique_ptr<session::PumpSession> session;
  std::unique_ptr<console::MainWindow> window;

  explicit ConsoleHarness(ServiceOverrides overrides = {}) { build(std::move(overrides)); }
  // For a harness whose overrides are its own members: build() comes later.
  struct Deferred {};
  explicit ConsoleHarness(Deferred) {}
  // Makes the window on these services, lets `beforeStartUp` see it (a view
  // binding its widgets), then runs its start-up step.
  void build(ServiceOverrides overrides,
             const std::function<void(console::MainWindow&)>& beforeStartUp = {});
  ConsoleHarness(const ConsoleHarness&) = delete;
  ConsoleHarness& operator=(const ConsoleHarness&) = delete;

  // Opens a port through the port box as the operator does.
  void openPort(const std::string& answer = "1");
  // Sets the run length through its box (the answer in minutes) and starts the run.
  void startTimedRun(const std::string& minutes);
  // The prompts of the message boxes shown so far.
  std::vector<std::string> messages() const;
  // The menus that need a line are all released, or all locked.
  bool menusReleased() const;
  bool menusLocked() const;
  // The details of the events of this kind, in order.
  std::vector<std::string> eventDetails(pump::EventKind kind) const;
};

}  // namespace pump::testing
