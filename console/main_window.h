// The main window: a view of the pump session and an input to it. It shows
// the session's state in its read-outs and status line, and turns keys,
// menus and dialogs into session commands. The keypad entry is a class of
// its own; the chart and the record follow the session's readings.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "console/display.h"
#include "console/keypad_entry.h"
#include "platform/files.h"
#include "platform/printer.h"
#include "platform/serial_ports.h"
#include "platform/ui.h"
#include "records/pressure_record.h"
#include "records/reading_recorder.h"
#include "records/trend_chart.h"
#include "session/pump_session.h"

namespace pump::console {

// What the window needs from the outside world.
struct MainWindowServices {
  session::PumpSession& session;
  Dialogs& dialogs;      // message and input boxes
  Canvas& chartCanvas;   // trend chart surface
  Printer& printer;      // printer dialog and default printer
  Files& files;          // record file
  Application& app;      // ending the program
  PopupMenu& popupMenu;  // the right-button menu, shown at the mouse
  WindowHandle& recordViewer;
  WindowHandle* trendWindow = nullptr;     // the trend of the session, if the front end has one
  std::string recordPath;                  // where the record file lives
  const PortFinder* portFinder = nullptr;  // none: the port box lists only the simulated pump
  LastPortMemory* lastPort = nullptr;      // none: the port box always offers "1"
  // Runs the window's events until a stop sent before the line is given up
  // has left the port, for a bounded time; none: no wait.
  std::function<void()> waitForStop = {};
};

// The status line's text for a program under way.
std::string ProgramStatusText(const session::ProgramProgress& progress);

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
  // The operator asked to close the window. During a program a box asks
  // first: No keeps the window; Yes aborts the program, its STOP going to
  // the line, and the window waits for the line to take it before it closes.
  enum class CloseAnswer { Close, CloseAfterStop, Stay };
  CloseAnswer askToClose();
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

  // The run log could not be written: the status line says so until `text`
  // comes back empty (writing works again). Each change is a `log` event
  // with this detail (none when it is empty).
  void showLogTrouble(std::string text, std::string eventDetail = {});

  // --- What the window shows ------------------------------------------------
  session::PumpSession& session() { return session_; }
  session::EventFeed& events() { return session_.events(); }
  const records::TrendChart& chart() const { return chart_; }
  const records::PressureRecord& record() const { return record_; }

 private:
  void showEvent(const session::SessionEvent& event);
  void showRunClock(const session::RunClockChange& change);
  void refreshStatusLine();
  void showProgramStep(const std::string& detail);
  void showKeyOutcome(const KeyOutcome& outcome);
  void refuse(const char* text, const char* title, const std::string& typed);
  CloseAnswer askToEndRun(const char* question, const char* title);
  bool endRunBeforeSwitch();
  void tell(const session::Notice& notice);
  void lockMenus(bool locked);

  MainWindowServices services_;
  session::PumpSession& session_;
  Dialogs& dialogs_;
  KeypadEntry keypad_;
  records::TrendChart chart_;
  records::PressureRecord record_;
  // Made after the window subscribes: the chart steps once the caption is set.
  std::optional<records::ReadingRecorder> recorder_;
  std::function<void()> openRemoteSettings_;
  std::string logTrouble_;             // the status text while the run log cannot be written
  bool programAbortedByHand_ = false;  // said on the status line until the next program
  std::optional<int> lossBox_;         // the box that tells of a lost line
  int lossesInBox_ = 0;                // the losses it has told of
};

}  // namespace pump::console
