#include "board/tile_texts.h"

#include <cstdio>

#include "texts/operator_texts.h"

namespace pump::board {
namespace {

struct Named {
  std::string_view name;
  const char* text;
};

const char* Lookup(std::string_view name, std::initializer_list<Named> table) {
  for (const Named& entry : table)
    if (entry.name == name) return entry.text;
  return nullptr;
}

std::string Clock(std::optional<long> seconds) {
  if (!seconds || *seconds < 0) return {};
  char text[32];
  std::snprintf(text, sizeof text, " %02ld:%02ld:%02ld", *seconds / 3600, *seconds / 60 % 60,
                *seconds % 60);
  return text;
}

std::string ProgramText(const ProgramReading& program) {
  std::string text = texts::kBoardProgram + (" " + VisibleText(program.name)) + " " +
                     texts::kBoardStep + " " + std::to_string(program.step) + "/" +
                     std::to_string(program.steps);
  if (program.state == "paused") return text + " " + texts::kBoardPaused;
  if (program.secondsLeft)
    text += std::string(" ") + texts::kBoardLeft + Clock(program.secondsLeft);
  return text;
}

}  // namespace

std::string CommandName(std::string_view command) {
  const char* text = Lookup(command, {{"stop", texts::kBoardStop},
                                      {"set_flow", texts::kBoardSetFlowName},
                                      {"set_pressure_limit", texts::kBoardSetPressureLimitName},
                                      {"run_program", texts::kBoardRunProgramName}});
  return text ? text : VisibleText(command);
}

std::string CommandText(const std::optional<CommandOutcome>& command) {
  if (!command) return {};
  const std::string name = CommandName(command->name) + " ";
  switch (command->state) {
    case CommandOutcome::State::Waiting:
      return name + texts::kBoardCommandWaiting;
    case CommandOutcome::State::Done:
      return name + texts::kBoardCommandDone;
    case CommandOutcome::State::Refused:
      return name + texts::kBoardCommandRefused + ": " + VisibleText(command->error);
    case CommandOutcome::State::NoAnswer:
      return name + texts::kBoardNoAnswer;
  }
  return {};
}

std::string PumpStateText(const PumpReading& reading) {
  if (!reading.running) return texts::kBoardUnknown;
  return *reading.running ? "RUN" : "STOP";
}

std::string LinkText(const PumpReading& reading) {
  if (reading.offline()) return texts::kBoardOffline;
  if (!reading.link) return texts::kBoardUnknown;
  const char* text = Lookup(*reading.link, {{"not_connected", texts::kBoardLinkNotConnected},
                                            {"waiting", texts::kBoardLinkWaiting},
                                            {"answering", texts::kBoardLinkAnswering},
                                            {"no_answer", texts::kBoardLinkNotAnswering},
                                            {"lost", texts::kBoardLinkLost},
                                            {"reconnecting", texts::kBoardLinkReconnecting}});
  return text ? text : VisibleText(*reading.link);
}

std::string RunText(const PumpReading& reading) {
  if (reading.program) return ProgramText(*reading.program);
  if (!reading.runState) return texts::kBoardUnknown;
  if (reading.runState == "idle") return {};
  const char* text = Lookup(*reading.runState, {{"running", texts::kBoardTimedRunning},
                                                {"paused", texts::kBoardTimedPaused},
                                                {"stop_pending", texts::kBoardTimedStopPending}});
  return (text ? std::string(text) : VisibleText(*reading.runState)) + Clock(reading.secondsLeft);
}

std::string StopAllReport(const std::vector<StopAllAnswer>& answers) {
  std::string refused, silent, obeyed;
  for (const StopAllAnswer& answer : answers) {
    const std::string id = VisibleText(answer.pumpId) + "\n";
    if (answer.state == CommandOutcome::State::Done) {
      obeyed += id;
    } else if (answer.state == CommandOutcome::State::Refused) {
      refused += VisibleText(answer.pumpId) + "：" + VisibleText(answer.error) + "\n";
    } else {
      silent += id;  // no answer in time, or none yet
    }
  }
  if (refused.empty() && silent.empty()) return texts::kBoardStopAllAnswered;
  // Each list ends in a line break; the last one's is dropped.
  std::string report;
  if (!refused.empty()) report += texts::BoardStopAllRefused(refused) + "\n";
  if (!silent.empty()) report += texts::BoardStopAllUnanswered(silent) + "\n";
  if (!obeyed.empty()) report += texts::BoardStopAllObeyed(obeyed) + "\n";
  report.resize(report.size() - 2);
  return report;
}

}  // namespace pump::board
