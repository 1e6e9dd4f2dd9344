// The program window's buttons on the pump session, and the session's
// progress as the window shows it.
#pragma once

#include "program/program_controls.h"
#include "session/pump_session.h"

namespace pump::app {

class SessionProgramControls : public program::ProgramControls {
 public:
  explicit SessionProgramControls(session::PumpSession& session) : session_(session) {}

  std::optional<std::string> start(const program::Program& program) override {
    return Refusal(session_.startProgram(program));
  }
  std::optional<std::string> pause() override { return Refusal(session_.pauseProgram()); }
  std::optional<std::string> resume() override { return Refusal(session_.continueProgram()); }
  std::optional<std::string> abort() override { return Refusal(session_.abortProgram()); }

  std::optional<program::RunProgress> progress() const override {
    const auto& run = session_.state().program;
    if (!run) return std::nullopt;
    return program::RunProgress{run->name,
                                run->state == session::ProgramRunState::Paused
                                    ? program::RunProgress::State::Paused
                                    : program::RunProgress::State::Running,
                                run->step,
                                run->steps,
                                run->secondsLeft,
                                run->elapsedMs};
  }
  std::optional<program::Program> runningProgram() const override {
    const program::Program* running = session_.runningProgram();
    if (!running) return std::nullopt;
    return *running;
  }

 private:
  static std::optional<std::string> Refusal(const session::CommandResult& result) {
    if (result.ok()) return std::nullopt;
    return result.refusal;
  }

  session::PumpSession& session_;
};

}  // namespace pump::app
