// The console without a window, for a small computer beside the pump: the
// pump session on the port given on the command line, the run log and the
// broker connection. It polls the pump, logs, reconnects a lost line and
// obeys remote commands; what the operator would be told goes to the
// standard error (the journal, under systemd). Qt's core only: no widget or
// GUI library is linked, so none is loaded.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "app/run_log_wiring.h"
#include "app/session_on_qt.h"
#include "remote/qt/remote_monitoring.h"

namespace pump::app {

class HeadlessConsole {
 public:
  // Run logs go to `logFolder`; an empty one turns the run log off.
  explicit HeadlessConsole(std::string logFolder);
  HeadlessConsole(const HeadlessConsole&) = delete;
  HeadlessConsole& operator=(const HeadlessConsole&) = delete;
  ~HeadlessConsole();

  // Opens `port` as the operator's port box would; one that does not open is
  // tried every two seconds, each new cause told once.
  void start(const std::string& port);
  // Starts `program` once the pump first answers; a refusal goes to the
  // standard error. Each step of a program is a line there too.
  void runProgramOnFirstAnswer(program::Program program);
  // Remote monitoring with these settings (off for an empty broker URL).
  void startRemote(const remote::RemoteSettings& settings);
  // A stop signal has come and any run has been stopped: the event loop is left.
  void endOnSignal();
  // Closes the line, then leaves the broker.
  void finish();
  // Why there is no run log, in a line on the standard error.
  void tellRunLogOff(const std::string& why);

  session::PumpSession& session() { return session_; }
  session::EventFeed& events() { return session_.events(); }

 private:
  // Before its followers, so it is destroyed after them.
  std::unique_ptr<SessionOnQt> pump_ = std::make_unique<SessionOnQt>();
  session::PumpSession& session_ = pump_->session;
  std::unique_ptr<RunLogWiring> runLog_;
  std::unique_ptr<remote::qt::RemoteMonitoring> remote_;
  std::optional<program::Program> firstProgram_;
};

}  // namespace pump::app
