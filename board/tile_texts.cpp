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
  std::string text = texts::kBoardProgram + (" " + program.name) + " " + texts::kBoardStep + " " +
                     std::to_string(program.step) + "/" + std::to_string(program.steps);
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
  return text ? text : std::string(command);
}

std::string LinkText(const PumpReading& reading) {
  if (!reading.online) return texts::kBoardOffline;
  const char* text = Lookup(reading.link, {{"not_connected", texts::kBoardLinkNotConnected},
                                           {"waiting", texts::kBoardLinkWaiting},
                                           {"answering", texts::kBoardLinkAnswering},
                                           {"no_answer", texts::kBoardLinkNotAnswering},
                                           {"lost", texts::kBoardLinkLost},
                                           {"reconnecting", texts::kBoardLinkReconnecting}});
  return text ? text : reading.link;
}

std::string RunText(const PumpReading& reading) {
  if (reading.program) return ProgramText(*reading.program);
  if (reading.runState == "idle") return {};
  const char* text = Lookup(reading.runState, {{"running", texts::kBoardTimedRunning},
                                               {"paused", texts::kBoardTimedPaused},
                                               {"stop_pending", texts::kBoardTimedStopPending}});
  return (text ? std::string(text) : reading.runState) + Clock(reading.secondsLeft);
}

}  // namespace pump::board
