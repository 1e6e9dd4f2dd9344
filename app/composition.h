// The composition root: builds the Qt adapters, the window model and its view,
// and wires them together.
#pragma once

#include <QSettings>
#include <memory>
#include <string>

#include "app/console_settings.h"
#include "app/guide_window.h"
#include "app/lazy_printer.h"
#include "app/main_window_view.h"
#include "app/program_window.h"
#include "app/record_viewer_view.h"
#include "app/run_log_wiring.h"
#include "app/session_on_qt.h"
#include "app/session_program_controls.h"
#include "app/trend_window_handle.h"
#include "console/main_window.h"
#include "pacing/qt/paced_repaint.h"
#include "platform/posix/posix_files.h"
#include "platform/qt/qt_application.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_serial_ports.h"
#include "platform/qt/qt_window_handle.h"
#include "remote/qt/remote_monitoring.h"
#include "remote/qt/remote_status_line.h"
#include "runlog/log_folder.h"

namespace pump::app {

// Makes the resources (background, key faces, icon) reachable under ":/assets".
void LoadAssets();
// Pins the labels' "宋体" to an installed Simplified Chinese face, whatever the locale.
void InstallFontSubstitutes();
// Chinese in the application's own font (menus, boxes, the guide) in Simplified forms.
void PreferSimplifiedChinese();
// Everything the application needs before its first window: the resources,
// the fonts, Qt's own texts in Chinese and the window icon.
void PrepareApplication();

class Console {
 public:
  // Run logs go to `logFolder`; an empty one turns the run log off (the
  // default is empty when the user has no home folder).
  explicit Console(std::string logFolder = runlog::DefaultLogFolder());
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;
  ~Console();

  // Runs the start-up step, then shows the window at its design place.
  void start();
  // Remote monitoring with these settings (off for an empty broker URL).
  void startRemote(const remote::RemoteSettings& settings);
  // A stop signal has come and any run has been stopped: the program ends as
  // when the window is closed.
  void endOnSignal();
  // Leaves the broker (the window's close box has run the close step).
  void finish();
  // Tells the operator why there is no run log, in a box that does not block
  // the window.
  void tellRunLogOff(const std::string& why);

  MainWindowView& mainWindowView() { return *view_; }
  // The record viewer's window, made when first shown or asked for.
  RecordViewerView& recordViewer();
  console::MainWindow& window() { return *window_; }
  // The pump session: the window, run log, trend and remote follow it.
  session::PumpSession& session() { return session_; }
  session::EventFeed& events() { return session_.events(); }
  // Nothing when the run log is off.
  RunLogWiring* runLog() { return runLog_.get(); }
  // The session's trend, and its window (made when first shown).
  const trend::LiveTrend* liveTrend() const { return liveTrend_.get(); }
  TrendWindowHandle* trendWindow() { return &trendWindow_; }
  // The operator's guide, opened from 工具 > 使用说明.
  GuideOpener& guide() { return *guide_; }
  // 工具 > 运行程序…: made by the chart module when first shown. Only a
  // program that links the module may call on it beyond QWidget.
  void showProgramWindow();
  ProgramWindow* programWindow() const { return static_cast<ProgramWindow*>(programWindow_.get()); }

 private:
  console::MainWindowServices services();
  void bindWindowToModel();
  void startRunLog(std::string folder);
  void bindGuide();
  void bindProgramWindow();

  // Declared first so it is destroyed last: the model refers to its widgets.
  std::unique_ptr<MainWindowView> view_;
  // The window paints at the display's pace, not once per reply.
  qt::PacedRepaint pacedRepaint_{*view_};
  qt::QtDialogs dialogs_;
  qt::QtDialogs viewerDialogs_;  // the record viewer's own boxes, centred on it
  qt::QtApplication application_;
  posix::PosixFiles files_;
  LazyPrinter printer_;  // opens the print module on the first print
  // What the port box lists, and the port it offers first.
  qt::QtPortFinder portFinder_;
  qt::QtLastPortMemory lastPort_;
  std::string recordPath_;
  std::unique_ptr<RecordViewerView> recordViewer_;
  // What the window's 查看记录 shows: the record viewer, made then.
  struct RecordViewerOpener : WindowHandle {
    explicit RecordViewerOpener(Console& owner) : console(owner) {}
    void show() override { console.recordViewer().show(); }
    void hide() override {
      if (console.recordViewer_) console.recordViewer_->hide();
    }
    Console& console;
  } recordViewerOpener_{*this};
  // The session on the device line or the built-in pump, by the port name
  // the operator gives. Before everything that follows it, so it is
  // destroyed after them.
  std::unique_ptr<SessionOnQt> pump_ = std::make_unique<SessionOnQt>();
  session::PumpSession& session_ = pump_->session;
  std::unique_ptr<qt::QtWindowHandle> mainWindowHandle_;
  // Before the window: it takes the close the window publishes as it goes.
  std::unique_ptr<RunLogWiring> runLog_;
  // Both outlive the model, which publishes a last event as it closes.
  std::unique_ptr<trend::LiveTrend> liveTrend_;
  TrendWindowHandle trendWindow_;
  std::unique_ptr<console::MainWindow> window_;
  std::unique_ptr<remote::qt::RemoteMonitoring> remote_;
  std::unique_ptr<GuideOpener> guide_;
  SessionProgramControls programControls_{session_};
  std::unique_ptr<QWidget> programWindow_;
};

}  // namespace pump::app
