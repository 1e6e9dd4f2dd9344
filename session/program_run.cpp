// The session's program: started, paused, continued and aborted like the
// timed run, its commands sent as the operator's are, and its steps told in
// the feed. A command from anyone else aborts it first.
#include "session/pump_session.h"

namespace pump::session {

CommandResult PumpSession::startProgram(const program::Program& program) {
  if (const auto fault = program::FirstFault(program))
    return CommandResult::Refused(texts::ProgramFault(fault->message), fault->message);
  if (programRunner_.active())
    return CommandResult::Refused(texts::kProgramAlreadyRunning, "a program is running");
  if (runTimer_.timing())
    return CommandResult::Refused(texts::kProgramWhileTimedRun, "a timed run is running");
  if (!line_.connected()) return portNotOpen();
  return programStep([this, &program] { programRunner_.start(program); });
}

CommandResult PumpSession::pauseProgram() {
  if (!programRunner_.active() || programRunner_.paused())
    return CommandResult::Refused(texts::kNoProgramRunning, "no program running");
  return programStep([this] { programRunner_.pause(); });
}

CommandResult PumpSession::pauseProgramBecause(const std::string& reason) {
  if (!programRunner_.active() || programRunner_.paused())
    return CommandResult::Refused(texts::kNoProgramRunning, "no program running");
  note(EventKind::Program, reason);
  return pauseProgram();
}

CommandResult PumpSession::continueProgram() {
  if (!programRunner_.paused())
    return CommandResult::Refused(texts::kNoProgramPaused, "no program paused");
  if (!line_.connected()) return portNotOpen();
  return programStep([this] { programRunner_.resume(); });
}

CommandResult PumpSession::abortProgram() {
  if (!programRunner_.active())
    return CommandResult::Refused(texts::kNoProgramRunning, "no program running");
  return programStep([this] { programRunner_.abort(); });
}

CommandResult PumpSession::startTimedRun() {
  if (programRunner_.active()) {
    tell(texts::kTimedRunWhileProgram, texts::kProgramTitle);
    return CommandResult::Refused(texts::kTimedRunWhileProgram, "a program is running");
  }
  return timedRunStep([this] { runTimer_.start(); });
}

// What a program action came to: its first command that could not go out,
// else a stop kept for the line, else done.
CommandResult PumpSession::programStep(const std::function<void()>& step) {
  lastProgramSend_ = {};
  step();
  return lastProgramSend_;
}

void PumpSession::abortProgramByHand() {
  if (programRunner_.active()) programRunner_.abort("abort manual");
}

void PumpSession::programTicked() {
  programRunner_.tick();
  state_.program = programRunner_.progress();
  statusChanged();
}

bool PumpSession::ProgramSender::sendForProgram(const link::PumpCommand& command) {
  const CommandResult result = session_.sendFrom(Source::Program, command, {});
  if (!result.ok()) session_.tell(result.refusal, texts::kCommErrorTitle);
  if (session_.lastProgramSend_.outcome == CommandResult::Outcome::Sent ||
      (session_.lastProgramSend_.ok() && !result.ok()))
    session_.lastProgramSend_ = result;
  return result.ok();
}

void PumpSession::ProgramSender::programStep(const std::string& detail) {
  session_.state_.program = session_.programRunner_.progress();
  session_.publish(EventKind::Program, detail);
  session_.statusChanged();
}

}  // namespace pump::session
