#include "session/program_runner.h"

#include <algorithm>

namespace pump::session {
namespace {

// The whole second of program time at which step `index` begins.
long StepStartSecond(const program::Program& program, std::size_t index) {
  long start = 0;
  for (std::size_t i = 0; i < index && i < program.steps.size(); ++i)
    start += program.steps[i].seconds;
  return start;
}

std::size_t StepAtSecond(const program::Program& program, long second) {
  return program.stepAt(second * 1000LL);
}

}  // namespace

const char* ProgramRunStateName(ProgramRunState state) {
  return state == ProgramRunState::Paused ? "paused" : "running";
}

int RampFlowAt(const program::Step& step, long second) {
  const long long through = std::clamp<long long>(second, 0, step.seconds);
  const long long twice =
      2LL * step.flowStartMlMin * step.seconds +
      2LL * (step.flowEndMlMin - step.flowStartMlMin) * through;  // twice the flow, times seconds
  return static_cast<int>((twice + step.seconds) / (2 * step.seconds));
}

ProgramRunner::ProgramRunner(Timer& tickTimer, const MonotonicClock& time, ProgramSink& sink)
    : timer_(tickTimer), time_(time), sink_(sink) {
  timer_.setEnabled(false);
}

void ProgramRunner::start(program::Program program) {
  timer_.setEnabled(false);
  program_ = std::move(program);
  counted_ = {};
  stretchStart_ = time_.monotonicNow();
  counting_ = true;
  secondsDone_ = 0;
  lastFlow_.reset();
  lastLimitTenths_.reset();
  failed_ = false;
  told("start " + program_->name);
  beginStep(0);
  send(link::PumpCommand::Run());
  if (failed_) return abort();
  scheduleNextTick();
}

void ProgramRunner::pause() {
  if (!active() || !counting_) return;
  counted_ += time_.monotonicNow() - stretchStart_;
  counting_ = false;
  timer_.setEnabled(false);
  send(link::PumpCommand::Stop());
  failed_ = false;
  told("pause");
}

void ProgramRunner::resume() {
  if (!active() || counting_) return;
  stretchStart_ = time_.monotonicNow();
  counting_ = true;
  failed_ = false;
  told("continue");
  const program::Step& step = program_->steps[StepAtSecond(*program_, secondsDone_)];
  const long intoStep =
      secondsDone_ - StepStartSecond(*program_, StepAtSecond(*program_, secondsDone_));
  lastFlow_.reset();
  lastLimitTenths_.reset();
  sendLimit(step.pressureLimitTenths);
  sendFlow(RampFlowAt(step, intoStep));
  send(link::PumpCommand::Run());
  if (failed_) return pause();
  scheduleNextTick();
}

void ProgramRunner::abort(const std::string& detail) {
  if (!active()) return;
  timer_.setEnabled(false);
  send(link::PumpCommand::Stop());
  finish(detail);
}

void ProgramRunner::tick() {
  if (!active() || !counting_) return;
  const long due = static_cast<long>(elapsedMs() / 1000);
  // After a stall every boundary passed is dealt with in turn; of a ramp's
  // seconds only the latest is sent.
  while (active() && secondsDone_ < due) {
    ++secondsDone_;
    runSecond(secondsDone_, secondsDone_ == due);
  }
  if (!active()) return;
  if (failed_) return pause();
  scheduleNextTick();
}

std::optional<ProgramProgress> ProgramRunner::progress() const {
  if (!program_) return std::nullopt;
  const std::size_t index =
      std::min(StepAtSecond(*program_, secondsDone_), program_->steps.size() - 1);
  return ProgramProgress{program_->name,
                         counting_ ? ProgramRunState::Running : ProgramRunState::Paused,
                         static_cast<int>(index) + 1,
                         static_cast<int>(program_->steps.size()),
                         program_->totalSeconds() - secondsDone_,
                         elapsedMs()};
}

long long ProgramRunner::elapsedMs() const {
  auto elapsed = counted_;
  if (counting_) elapsed += time_.monotonicNow() - stretchStart_;
  return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}

// What falls due at one whole second of program time: the end of a step (a
// ramp's end flow, then the next step or the program's end), or a ramp's
// next flow.
void ProgramRunner::runSecond(long second, bool latest) {
  const std::size_t index = StepAtSecond(*program_, second);
  const std::size_t before = StepAtSecond(*program_, second - 1);
  if (index != before) {
    const program::Step& ended = program_->steps[before];
    if (ended.ramps()) sendFlow(ended.flowEndMlMin);
    if (index == program_->steps.size()) {
      send(link::PumpCommand::Stop());
      return finish("end");
    }
    return beginStep(index);
  }
  const program::Step& step = program_->steps[index];
  if (step.ramps() && latest)
    sendFlow(RampFlowAt(step, second - StepStartSecond(*program_, index)));
}

void ProgramRunner::beginStep(std::size_t index) {
  told("step " + std::to_string(index + 1) + "/" + std::to_string(program_->steps.size()));
  const program::Step& step = program_->steps[index];
  sendLimit(step.pressureLimitTenths);
  sendFlow(step.flowStartMlMin);
}

bool ProgramRunner::sendLimit(int tenths) {
  if (lastLimitTenths_ == tenths) return true;
  if (!send(*link::PumpCommand::SetPressureLimit(link::kBroadcastAddress, tenths / 10.0)))
    return false;
  lastLimitTenths_ = tenths;
  return true;
}

bool ProgramRunner::sendFlow(int mlPerMinute) {
  if (lastFlow_ == mlPerMinute) return true;
  if (!send(*link::PumpCommand::SetFlow(link::kBroadcastAddress, mlPerMinute))) return false;
  lastFlow_ = mlPerMinute;
  return true;
}

bool ProgramRunner::send(const link::PumpCommand& command) {
  const bool sent = sink_.sendForProgram(command);
  if (!sent) failed_ = true;
  return sent;
}

void ProgramRunner::finish(const std::string& detail) {
  timer_.setEnabled(false);
  program_.reset();
  counting_ = false;
  told(detail);
}

void ProgramRunner::scheduleNextTick() {
  const long long untilNext = (secondsDone_ + 1) * 1000LL - elapsedMs();
  timer_.setInterval(static_cast<int>(std::max(1LL, untilNext)));
  timer_.setEnabled(false);
  timer_.setEnabled(true);
}

}  // namespace pump::session
