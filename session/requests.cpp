// Requests from afar. They follow the operator's rules and go out through
// the same typed commands, but show no box: a refusal comes back as its
// reason, and the caller tells of each request once, obeyed or not.
#include "session/command_checks.h"
#include "session/pump_session.h"

namespace pump::session {

CommandResult PumpSession::setFlow(double mlPerMinute) {
  const auto command = CheckedFlow(link::kBroadcastAddress, mlPerMinute);
  if (!command) return CommandResult::Refused(texts::kDialogFlowRefusal, "flow out of range");
  abortProgramByHand();
  return sendFrom(Source::Remote, *command, {});
}

CommandResult PumpSession::setPressureLimit(double megapascals) {
  const auto command = CheckedPressureLimit(link::kBroadcastAddress, megapascals);
  if (!command) {
    return CommandResult::Refused(texts::kDialogPressureRefusal, "pressure limit out of range");
  }
  abortProgramByHand();
  return sendFrom(Source::Remote, *command, {});
}

CommandResult PumpSession::run() {
  abortProgramByHand();
  return sendFrom(Source::Remote, link::PumpCommand::Run(), {});
}

CommandResult PumpSession::stop() {
  abortProgramByHand();
  return sendFrom(Source::Remote, link::PumpCommand::Stop(), {});
}

// The run is started as the timed-run menu starts it, with the given length;
// a run command the line could not take is this request's refusal too.
CommandResult PumpSession::timedRun(double minutes) {
  if (!RunLengthFits(minutes)) {
    return CommandResult::Refused(texts::kRunLengthRefusal, "run length out of range");
  }
  if (!line_.connected()) return portNotOpen();
  if (programRunner_.active())
    return CommandResult::Refused(texts::kTimedRunWhileProgram, "a program is running");
  runTimer_.setLength(minutes);
  return startTimedRun();
}

}  // namespace pump::session
