#include "session/pump_session.h"

#include "session/command_checks.h"

namespace pump::session {
namespace {

constexpr int kRunClockIntervalMs = 1000;

}  // namespace

const char* TimedRunStateName(TimedRunState state) {
  switch (state) {
    case TimedRunState::Idle:
      return "idle";
    case TimedRunState::Running:
      return "running";
    case TimedRunState::Paused:
      return "paused";
    case TimedRunState::StopPending:
      return "stop_pending";
  }
  return "idle";
}

PumpSession::PumpSession(SessionServices services)
    : services_(std::move(services)),
      clock_(services_.clock ? *services_.clock : systemClock_),
      line_({services_.serial, services_.pollTimer, services_.linkWatchTimer, clock_,
             services_.stableName}),
      runTimer_(services_.runClockTimer, clock_, timedRunSender_),
      programRunner_(services_.programTimer, clock_, programSender_) {
  services_.programTimer.setOnTick([this] { programTicked(); });
  services_.runClockTimer.setInterval(kRunClockIntervalMs);
  services_.runClockTimer.setEnabled(false);
  services_.runClockTimer.setOnTick([this] { runTimer_.tick(); });
  line_.setOnReply([this](const link::PumpReply& reply) { handleReply(reply); });
  line_.setOnFailure([this](const link::LineFailure& failure) { lineFailed(failure); });
  line_.setOnReconnected([this](bool firstOpen) { lineBack(!firstOpen); });
  line_.setOnTryFailed([this](const PortError& error) { openTryFailed(error); });
  line_.setOnWatch([this] { linkMayHaveChanged(); });
  line_.setOnNotReading([this] {
    // Said once per open line; the status line says it for as long as it lasts.
    tell(texts::PumpNotReading(line_.device()), texts::kCommErrorTitle);
  });
  // Each run or flow a stop went ahead of, and so never reached the pump,
  // is a row of its own beside the commands that did.
  line_.setOnStale([this](const std::string& frame) {
    publish(EventKind::Command, "dropped " + frame + " stale after stop");
  });
  runTimer_.setOnStep([this](const char* step) { tellTimedRunStep(step); });
  runTimer_.setOnClock([this](const timedrun::ClockChange& change) {
    if (onRunClock_) onRunClock_({change.shown, change.elapsedSeconds});
  });
}

link::Handed PumpSession::TimedRunSender::send(const link::PumpCommand& command) {
  session_.lastTimedRunSend_ = session_.send(command);
  switch (session_.lastTimedRunSend_.outcome) {
    case CommandResult::Outcome::Sent:
      return link::Handed::Sent;
    case CommandResult::Outcome::Kept:
      return link::Handed::Kept;
    case CommandResult::Outcome::Refused:
      break;
  }
  return link::Handed::Failed;
}

CommandResult PumpSession::send(const link::PumpCommand& command,
                                const std::function<void()>& onSent) {
  abortProgramByHand();
  CommandResult result = sendFrom(Source::Console, command, onSent);
  // The timed run's own stop comes from its clock's tick: the operator
  // hears of a failure in a box that does not hold the clock.
  if (!result.ok()) tell(result.refusal, texts::kCommErrorTitle);
  return result;
}

CommandResult PumpSession::sendKeypadSetpoint(const link::PumpCommand& command,
                                              const std::string& shown) {
  return send(command, [this, &command, &shown] {
    if (command.kind() == link::PumpCommand::Kind::SetFlow) state_.flowSetpoint = Flow::Read(shown);
    if (command.kind() == link::PumpCommand::Kind::SetPressureLimit) {
      state_.pressureLimit = Pressure::Read(shown);
    }
  });
}

CommandResult PumpSession::sendFrom(Source source, const link::PumpCommand& command,
                                    const std::function<void()>& onSent) {
  switch (line_.send(command)) {
    case link::SendResult::Sent:
    case link::SendResult::Queued:  // goes out in order once the pump reads again
      if (onSent) onSent();
      commandWentOut(command, source);
      return {};
    case link::SendResult::NotOpen:
      // Once a line has been open, a stop is never dropped for want of one.
      if (command.kind() == link::PumpCommand::Kind::Stop && portEverOpened_) {
        const bool endsRun =
            keptStop_ ? keptStop_->endsRun : source == Source::Console && runTimer_.timing();
        keptStop_ = KeptStop{onSent, endsRun, source};
        statusChanged();
        return {CommandResult::Outcome::Kept, {}, {}};
      }
      return portNotOpen();
    case link::SendResult::QueueFull:
      return CommandResult::Refused(texts::kCommandQueueFull,
                                    "pump not reading, command queue full");
    case link::SendResult::WriteFailed:
      break;
  }
  return CommandResult::Refused(texts::kCommandNotSent, "command not sent");
}

// A command reached the line, or waits its turn there. Whoever sent a run or
// stop frame, what the pump was last told follows it.
void PumpSession::commandWentOut(const link::PumpCommand& command, Source source) {
  if (command.kind() == link::PumpCommand::Kind::Run) state_.pumpCommandedRunning = true;
  if (command.kind() == link::PumpCommand::Kind::Stop) state_.pumpCommandedRunning = false;
  publish(EventKind::Command, command.frame(), false, Changed::Nothing, source);
}

bool PumpSession::choosePumpAddress(int number) {
  if (!PumpNumberFits(number)) return false;
  state_.pumpAddress = number;
  return true;
}

void PumpSession::tellTimedRunStep(const char* step) {
  const std::string name = step;
  if (name == "start" || name == "continue") state_.timedRun = TimedRunState::Running;
  if (name == "pause") state_.timedRun = TimedRunState::Paused;
  if (name == "end" || name == "stop_sent") state_.timedRun = TimedRunState::Idle;
  if (name == "stop_due") state_.timedRun = TimedRunState::StopPending;
  publish(EventKind::Run, name);
}

CommandResult PumpSession::timedRunStep(const std::function<void()>& step) {
  lastTimedRunSend_ = {};
  step();
  return lastTimedRunSend_;
}

bool PumpSession::stopRunBeforeExit() {
  if (programRunner_.active()) {
    repliesBeforeExitStop_ = repliesHandled_;
    exitStopSent_ = true;
    programRunner_.abort();
    return true;
  }
  if (!runInProgress()) return false;
  repliesBeforeExitStop_ = repliesHandled_;
  exitStopSent_ = true;
  runTimer_.end();
  return true;
}

// A kept stop waits for the line to come back, which may happen within the
// wait. A line that is gone without one has nothing more to send.
bool PumpSession::stopTakenBeforeExit() const {
  if (keptStop_) return false;
  if (!line_.connected()) return true;
  if (!line_.allWritten()) return false;
  return line_.portDrained() || repliesHandled_ > repliesBeforeExitStop_;
}

void PumpSession::note(EventKind kind, std::string detail) { publish(kind, std::move(detail)); }

void PumpSession::publish(EventKind kind, std::string detail, bool reopened, Changed changed,
                          Source source) {
  events_.publish(SessionEvent{kind, std::move(detail), state_, clock_.wallNow(),
                               clock_.monotonicNow(), reopened, changed, source});
}

void PumpSession::tell(std::string text, const char* title, bool lineLost) {
  if (onNotice_) onNotice_({std::move(text), title, lineLost});
}

void PumpSession::statusChanged() {
  if (onStatusChange_) onStatusChange_();
}

}  // namespace pump::session
