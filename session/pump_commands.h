// What may be asked of the pump from outside the console's own keys and
// menus (the broker today): checked by the same rules, sent as the same
// typed commands, but with no box: a refusal comes back as its reason.
#pragma once

#include <optional>
#include <string>

#include "program/program.h"

namespace pump::session {

struct CommandResult {
  enum class Outcome {
    Sent,     // on the line, or waiting its turn there
    Kept,     // a stop the line cannot take now: it goes out first when the line is back
    Refused,  // not sent
  };
  Outcome outcome = Outcome::Sent;
  std::string refusal;  // why not, in the operator's words (UTF-8)
  std::string reason;   // the same in plain ASCII, for logs and brokers

  bool ok() const { return outcome != Outcome::Refused; }
  static CommandResult Done() { return {}; }
  // `asciiWhy` may be left empty when `why` is ASCII already.
  static CommandResult Refused(std::string why, std::string asciiWhy = {}) {
    return {Outcome::Refused, std::move(why), std::move(asciiWhy)};
  }
};

class PumpCommands {
 public:
  virtual ~PumpCommands() = default;
  virtual CommandResult setFlow(double mlPerMinute) = 0;
  virtual CommandResult setPressureLimit(double megapascals) = 0;
  virtual CommandResult run() = 0;
  virtual CommandResult stop() = 0;
  // Starts a timed run of this many minutes, as the timed-run menu does.
  virtual CommandResult timedRun(double minutes) = 0;
  // Seconds until the timed run's end falls due, while one is being timed.
  virtual std::optional<double> timedRunSecondsLeft() const = 0;
  // A program: started, paused, continued or aborted as from the console.
  virtual CommandResult startProgram(const program::Program& program) = 0;
  virtual CommandResult pauseProgram() = 0;
  virtual CommandResult continueProgram() = 0;
  virtual CommandResult abortProgram() = 0;
  // A pause for a reason of the console's own (a group's interlock): the
  // reason goes in the feed as a program step, "interlock P02 offline".
  // A program step of the console's own in the feed: "group g1 P01 P02".
  virtual void noteProgramStep(const std::string& detail) { (void)detail; }
  virtual CommandResult pauseProgramBecause(const std::string& reason) {
    (void)reason;
    return pauseProgram();
  }
};

}  // namespace pump::session
