// The main window as a facade: each screen event goes to the component that
// owns it, in the order the window has always run them. The keypad entry,
// the pump line, the timed run, the chart and the record are components of
// their own; the window holds the read-outs and the menus they change.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "console/console_events.h"
#include "console/display.h"
#include "console/keypad_entry.h"
#include "link/command_sender.h"
#include "link/pump_line.h"
#include "platform/files.h"
#include "platform/printer.h"
#include "platform/serial_port.h"
#include "platform/serial_ports.h"
#include "platform/ui.h"
#include "records/pressure_record.h"
#include "records/trend_chart.h"
#include "timedrun/run_timer.h"

namespace pump::console {

// What the window needs from the outside world.
struct MainWindowServices {
  SerialPort& serial;
  Timer& runClockTimer;   // one tick a second while a timed run is timed
  Timer& pollTimer;       // the status poll
  Timer& linkWatchTimer;  // watches the line and reconnects it
  Dialogs& dialogs;       // message and input boxes
  Canvas& chartCanvas;    // trend chart surface
  Printer& printer;       // printer dialog and default printer
  Files& files;           // record file
  Application& app;       // ending the program
  PopupMenu& popupMenu;   // the right-button menu, shown at the mouse
  WindowHandle& recordViewer;
  WindowHandle* trendWindow = nullptr;     // the trend of the session, if the front end has one
  std::string recordPath;                  // where the record file lives
  const EventClock* clock = nullptr;       // the system clocks when not given
  link::StableNameFinder stableName = {};  // none: a lost line is reopened by its name as given
  const PortFinder* portFinder = nullptr;  // none: the port box lists only the simulated pump
  LastPortMemory* lastPort = nullptr;      // none: the port box always offers "1"
};

// What a remote command came to: nothing, or why it was refused.
struct RemoteResult {
  bool ok = true;
  std::string refusal;  // an operator text, empty when ok
  std::string reason;   // the same in plain ASCII, for the run log
};

class MainWindow {
 public:
  explicit MainWindow(MainWindowServices services);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  Display display;
  Menus menus;

  // --- Window ---------------------------------------------------------------
  void load();                 // the start-up step, before the window shows
  void mouseDown(int button);  // 1 left, 2 right, 4 middle
  void closeWindow();          // the operator closed the window
  // --- Keypad ---------------------------------------------------------------
  void pressDigit(char digit);  // the arrow keys are "0" keys
  void pressFlowKey();
  void pressPressureKey();
  void pressRunKey();
  void pressStopKey();
  // --- Menus ----------------------------------------------------------------
  void saveRecord();
  void printTestPage();
  void viewRecord();
  void showTrend();
  void exitProgram();
  void askRunLength();
  void startTimedRun();
  void pauseTimedRun();
  void continueTimedRun();
  void endTimedRun();
  void runPump();  // menu and pop-up: the run-state display is the keys' alone
  void stopPump();
  void askFlow();
  void askPressureLimit();
  void askPumpNumber();
  void choosePort();
  void showHelp();
  void openRemoteSettings();  // 工具 > 远程监控…: the front end's dialog
  void setRemoteSettingsOpener(std::function<void()> open) {
    openRemoteSettings_ = std::move(open);
  }

  // --- Remote control: the operator's rules, without boxes ------------------
  RemoteResult remoteSetFlow(double mlPerMinute);
  RemoteResult remoteSetPressureLimit(double megapascals);
  RemoteResult remoteRun();
  RemoteResult remoteStop();
  RemoteResult remoteTimedRun(double minutes);
  // Seconds until the timed run's end falls due, while one is being timed.
  std::optional<double> timedRunSecondsLeft() const { return runTimer_.secondsLeft(); }
  // A remote command was obeyed or refused: a `command` or `refused` event
  // whose detail (ASCII) names it and its request id.
  void noteRemoteCommand(bool obeyed, std::string detail);

  // --- Ending the program ---------------------------------------------------
  // The pump runs under a run the console controls (today a timed run), so
  // ending the program must stop it first. The one place that is asked.
  bool runInProgress() const { return runTimer_.timing(); }
  // Ends a run in progress as its menu does, its stop going out through the
  // line. True when a stop went to the line (or waits for it there): the
  // caller keeps the events flowing until stopTakenBeforeExit() holds.
  bool stopRunBeforeExit();
  // That stop has been written and has left the port, or the pump has
  // answered since; or there is no line left for it to reach.
  bool stopTakenBeforeExit() const;

  // The read-outs as the event feed reports them: the display's, and the
  // run or stop frame sent last.
  Readouts readouts() const;

  // The run log could not be written: the status line says so until `text`
  // comes back empty (writing works again). Each change is a `log` event
  // with this detail (none when it is empty).
  void showLogTrouble(std::string text, std::string eventDetail = {});

  // --- What follows the window ----------------------------------------------
  ConsoleEventFeed& events() { return events_; }
  const records::TrendChart& chart() const { return chart_; }
  const records::PressureRecord& record() const { return record_; }

 private:
  // Writes commands to the line and tells the operator when one cannot go out.
  class OperatorSender : public link::CommandSender {
   public:
    explicit OperatorSender(MainWindow& window) : window_(window) {}
    link::Handed send(const link::PumpCommand& command) override;

   private:
    MainWindow& window_;
  };

  // Sends a command, telling the operator when it cannot go out (in a notice:
  // the timed run's own stop comes from its clock's tick). Once it has gone
  // out, `onSent` updates the display, then the command is published. A stop
  // while the line is down is kept and goes out first when it is back.
  link::Handed sendCommand(const link::PumpCommand& command,
                           const std::function<void()>& onSent = {});
  bool sendKeptStop();  // true when a kept stop went out now
  void lineBack(bool reopened);
  void refreshStatusLine();
  void checkPressureLimit(const std::string& reading);
  void showKeyOutcome(const KeyOutcome& outcome);
  void refuse(const char* text, const char* title, const std::string& typed);
  void handleReply(const link::PumpReply& reply);
  void record(double reading);
  void lineFailed(const link::LineFailure& failure);
  void pumpNotReading();
  void keepUnsentStop(bool unsent);
  void lockMenus(bool locked);
  RemoteResult remoteSend(const link::PumpCommand& command,
                          const std::function<void()>& onSent = {});
  void publish(EventKind kind, std::string detail, bool reopened = false);
  void commandWentOut(const link::PumpCommand& command);

  // A stop that could not be written while the line was down.
  struct KeptStop {
    std::function<void()> onSent;
    bool endsRun = false;
  };

  MainWindowServices services_;
  Dialogs& dialogs_;
  SystemEventClock systemClock_;
  const EventClock& clock_;
  ConsoleEventFeed events_;
  OperatorSender sender_{*this};
  link::PumpLine line_;
  KeypadEntry keypad_;
  records::TrendChart chart_;
  records::PressureRecord record_;
  bool recordFullTold_ = false;  // the operator hears once that readings are dropped
  timedrun::RunTimer runTimer_;
  std::function<void()> openRemoteSettings_;
  bool portEverOpened_ = false;
  std::optional<KeptStop> keptStop_;
  std::optional<std::string> overLimit_;  // the status text while a reading is at the limit
  std::string logTrouble_;                // the status text while the run log cannot be written
  LinkState publishedLink_ = LinkState::NotConnected;
  bool pumpCommandedRunning_ = false;  // the last run or stop frame sent was a run
  long repliesHandled_ = 0;
  long repliesBeforeExitStop_ = 0;
};

}  // namespace pump::console
