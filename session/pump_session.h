// The pump session: the line to one pump, the pump's state, every command
// and the timed run, and the feed that tells the rest of the console what
// happened. No toolkit: the window, the keypad, the run log, the trend, the
// broker and programs reach the pump through it, and none of them through
// the window.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "link/command_sender.h"
#include "link/pump_line.h"
#include "platform/serial_port.h"
#include "platform/ui.h"
#include "program/program.h"
#include "session/program_runner.h"
#include "session/pump_commands.h"
#include "session/pump_state.h"
#include "session/session_events.h"
#include "timedrun/run_timer.h"

namespace pump::session {

struct SessionServices {
  SerialPort& serial;
  Timer& runClockTimer;                    // one tick a second while a timed run is timed
  Timer& pollTimer;                        // the status poll
  Timer& linkWatchTimer;                   // watches the line and reconnects it
  Timer& programTimer;                     // a program's tick, on the whole seconds of its time
  const EventClock* clock = nullptr;       // the system clocks when not given
  link::StableNameFinder stableName = {};  // none: a lost line is reopened by its name as given
};

// Something the operator must hear of that no command of theirs returned:
// a lost line, a pump that stopped reading, a stop sent late, a command of
// the timed run that could not go out. A window shows it in a box that does
// not block; without one it goes to the standard error.
struct Notice {
  std::string text;
  const char* title;
  bool lineLost = false;  // the line failed: one box may tell of several losses
};

// The timed run's clock as a view shows it: shown or hidden, and the time run.
struct RunClockChange {
  std::optional<bool> shown;
  std::optional<long> elapsedSeconds;
};

class PumpSession : public PumpCommands {
 public:
  explicit PumpSession(SessionServices services);
  PumpSession(const PumpSession&) = delete;
  PumpSession& operator=(const PumpSession&) = delete;

  const PumpState& state() const { return state_; }
  EventFeed& events() { return events_; }
  void setOnNotice(std::function<void(const Notice&)> onNotice) { onNotice_ = std::move(onNotice); }
  void setOnRunClock(std::function<void(const RunClockChange&)> onClock) {
    onRunClock_ = std::move(onClock);
  }
  // There is no window: what the operator is told names no menu, and a
  // command refused for want of a line names the port.
  void setNoWindow() { noWindow_ = true; }
  // The status line's wants: told whenever what it shows may have changed.
  void setOnStatusChange(std::function<void()> onChange) { onStatusChange_ = std::move(onChange); }

  // --- The line ---------------------------------------------------------------
  // Gives up the port open now, then opens `device`. Refused with the
  // operator's message (and what to do) when it cannot be opened; with
  // `UntilOpen` it is tried again every two seconds, each new cause told in
  // a notice and kept in the state's link cause until it opens. A timed run
  // or program never carries over: it ends first on the line it runs on,
  // its stop and its events going there and not to the new port.
  CommandResult open(const std::string& device, link::OpenRetry retry = link::OpenRetry::No);
  void close();
  bool connected() const { return line_.connected(); }
  const std::string& device() const { return line_.device(); }
  bool pumpNotReading() const { return line_.notReading(); }
  int secondsWithoutAnswer() const { return line_.secondsWithoutAnswer(); }
  // A stop waits for a line to take it.
  bool holdsKeptStop() const { return keptStop_.has_value(); }

  // --- The operator's commands --------------------------------------------------
  // Sends a command. A command that cannot go out is refused, and the
  // operator told in a notice; a stop while the line is down is kept and goes
  // out first when it is back. `onSent` runs once the command has gone out,
  // before the event that tells of it.
  CommandResult send(const link::PumpCommand& command, const std::function<void()>& onSent = {});
  // A keypad setpoint: the console shows the value as typed at once, so the
  // state takes `shown` once the command has gone out.
  CommandResult sendKeypadSetpoint(const link::PumpCommand& command, const std::string& shown);
  // The pump keypad setpoints go to; refused beyond two digits.
  bool choosePumpAddress(int number);

  // --- The timed run ------------------------------------------------------------
  void setRunLength(double minutes) { runTimer_.setLength(minutes); }
  // Each step's run or stop goes out as the operator's commands do; the
  // result is that command's.
  // Refused, with a notice, while a program runs.
  CommandResult startTimedRun();
  CommandResult pauseTimedRun() {
    return timedRunStep([this] { runTimer_.pause(); });
  }
  CommandResult continueTimedRun() {
    return timedRunStep([this] { runTimer_.resume(); });
  }
  CommandResult endTimedRun() {
    return timedRunStep([this] { runTimer_.end(); });
  }
  bool runInProgress() const { return runTimer_.timing(); }
  // A timed run is counting, paused or has a stop still to send, or a program is under way.
  bool runOrProgramUnderWay() const {
    return programRunner_.active() || state_.timedRun != TimedRunState::Idle;
  }

  // --- Programs -------------------------------------------------------------------
  // A program runs on its own clock and sends its limits, flows, run and
  // stop as its steps say. Refused (with the operator's text, no box) when it
  // has a fault, while a timed run or another program runs, or with no line.
  // Any other command from the console or afar aborts it first.
  CommandResult startProgram(const program::Program& program) override;
  // STOP, and the program's clock halts; it never continues by itself.
  CommandResult pauseProgram() override;
  CommandResult pauseProgramBecause(const std::string& reason) override;
  void noteProgramStep(const std::string& detail) override { note(EventKind::Program, detail); }
  // The current step's limit and the flow due now, then RUN.
  CommandResult continueProgram() override;
  // STOP, and the program ends.
  CommandResult abortProgram() override;
  // The program under way (running or paused), if any.
  const program::Program* runningProgram() const { return programRunner_.program(); }

  // Ends a run or program in progress, its stop going out through the line. True when a
  // stop went to the line (or waits for it there): the caller keeps the
  // events flowing until stopTakenBeforeExit() holds.
  bool stopRunBeforeExit();
  // That stop has left the port, or the pump has answered since; or there is
  // no line left for it to reach.
  bool stopTakenBeforeExit() const;
  // A stop for the exit was sent and has not yet been taken.
  bool exitStopOutstanding() const { return exitStopSent_ && !stopTakenBeforeExit(); }

  // --- Requests from afar (the broker): no box -----------------------------------
  CommandResult setFlow(double mlPerMinute) override;
  CommandResult setPressureLimit(double megapascals) override;
  CommandResult run() override;
  CommandResult stop() override;
  CommandResult timedRun(double minutes) override;
  std::optional<double> timedRunSecondsLeft() const override { return runTimer_.secondsLeft(); }

  // Something another part did, in the feed: a refused entry, a remote
  // command obeyed or refused, the run log failing.
  void note(EventKind kind, std::string detail);

 private:
  class ProgramSender : public ProgramSink {
   public:
    explicit ProgramSender(PumpSession& session) : session_(session) {}
    bool sendForProgram(const link::PumpCommand& command) override;
    void programStep(const std::string& detail) override;

   private:
    PumpSession& session_;
  };
  class TimedRunSender : public link::CommandSender {
   public:
    explicit TimedRunSender(PumpSession& session) : session_(session) {}
    link::Handed send(const link::PumpCommand& command) override;

   private:
    PumpSession& session_;
  };
  // A stop that could not be written while the line was down.
  struct KeptStop {
    std::function<void()> onSent;
    bool endsRun = false;
    Source source = Source::Console;
  };

  CommandResult sendFrom(Source source, const link::PumpCommand& command,
                         const std::function<void()>& onSent);
  void commandWentOut(const link::PumpCommand& command, Source source);
  bool sendKeptStop();
  void keepUnsentStop(bool unsent);
  void endRunBeforeSwitch(bool samePort);
  void lineBack(bool reopened);
  void lineFailed(const link::LineFailure& failure);
  std::string openFailedText(const PortError& error) const;
  bool keepOpenFault(const PortError& error);
  void openTryFailed(const PortError& error);
  CommandResult portNotOpen() const;
  void handleReply(const link::PumpReply& reply);
  void linkMayHaveChanged();
  void tellTimedRunStep(const char* step);
  CommandResult timedRunStep(const std::function<void()>& step);
  CommandResult programStep(const std::function<void()>& step);
  void abortProgramByHand();
  void programTicked();
  void publish(EventKind kind, std::string detail, bool reopened = false,
               Changed changed = Changed::Nothing, Source source = Source::Console);
  void tell(std::string text, const char* title, bool lineLost = false);
  void statusChanged();

  SessionServices services_;
  SystemEventClock systemClock_;
  const EventClock& clock_;
  EventFeed events_;
  PumpState state_;
  TimedRunSender timedRunSender_{*this};
  link::PumpLine line_;
  timedrun::RunTimer runTimer_;
  ProgramSender programSender_{*this};
  ProgramRunner programRunner_;
  std::function<void(const Notice&)> onNotice_;
  std::function<void(const RunClockChange&)> onRunClock_;
  std::function<void()> onStatusChange_;
  bool portEverOpened_ = false;
  bool noWindow_ = false;
  bool retryOpen_ = false;     // the port was asked to be tried until it opens
  std::string openFaultTold_;  // the last cause told while it is tried
  std::optional<KeptStop> keptStop_;
  CommandResult lastTimedRunSend_;  // what the timed run's last command came to
  CommandResult lastProgramSend_;   // the first of a program action's commands not sent
  long repliesHandled_ = 0;
  long repliesBeforeExitStop_ = 0;
  bool exitStopSent_ = false;
};

}  // namespace pump::session
