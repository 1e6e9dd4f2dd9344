#include "board/pump_reading.h"

#include <cmath>
#include <nlohmann/json.hpp>

namespace pump::board {
namespace {

using Json = nlohmann::json;

Json ParseObject(std::string_view payload) {
  Json message = Json::parse(payload, nullptr, false);
  if (message.is_discarded() || !message.is_object()) return Json();
  return message;
}

// A finite number, null (no value), or nothing to change.
void ReadNumber(const Json& message, const char* key, std::optional<double>& into) {
  const auto found = message.find(key);
  if (found == message.end()) return;
  if (found->is_null()) {
    into.reset();
  } else if (found->is_number() && std::isfinite(found->get<double>())) {
    into = found->get<double>();
  }
}

template <typename Text>
void ReadText(const Json& message, const char* key, Text& into) {
  const auto found = message.find(key);
  if (found != message.end() && found->is_string()) into = found->get<std::string>();
}

template <typename Flag>
void ReadFlag(const Json& message, const char* key, Flag& into) {
  const auto found = message.find(key);
  if (found != message.end() && found->is_boolean()) into = found->get<bool>();
}

void ReadRun(const Json& message, PumpReading& reading) {
  const auto run = message.find("run");
  if (run == message.end() || !run->is_object()) return;
  ReadText(*run, "state", reading.runState);
  const auto left = run->find("seconds_left");
  if (left == run->end()) return;
  if (left->is_number_integer()) {
    reading.secondsLeft = left->get<long>();
  } else if (left->is_null()) {
    reading.secondsLeft.reset();
  }
}

std::optional<long> ReadWhole(const Json& message, const char* key) {
  const auto found = message.find(key);
  if (found == message.end() || !found->is_number_integer()) return std::nullopt;
  return found->get<long>();
}

void ReadProgram(const Json& message, PumpReading& reading) {
  const auto program = message.find("program");
  if (program == message.end()) return;
  if (!program->is_object()) {
    if (program->is_null()) reading.program.reset();
    return;
  }
  ProgramReading read;
  ReadText(*program, "name", read.name);
  ReadText(*program, "state", read.state);
  read.step = ReadWhole(*program, "step").value_or(0);
  read.steps = ReadWhole(*program, "steps").value_or(0);
  read.secondsLeft = ReadWhole(*program, "seconds_left");
  reading.program = read;
}

}  // namespace

bool ApplyStatus(std::string_view payload, PumpReading& reading) {
  const Json message = ParseObject(payload);
  if (!message.is_object()) return false;
  ReadFlag(message, "online", reading.online);
  ReadText(message, "link", reading.link);
  const auto pump = message.find("pump");
  if (pump != message.end() && pump->is_string()) reading.running = *pump == "RUN";
  ReadNumber(message, "flow_ml_min", reading.flow);
  ReadNumber(message, "pressure_limit_mpa", reading.limit);
  ReadNumber(message, "pressure_mpa", reading.pressure);
  ReadRun(message, reading);
  ReadProgram(message, reading);
  ReadFlag(message, "remote_control", reading.remoteControl);
  return true;
}

std::optional<double> ReadPressure(std::string_view payload) {
  std::optional<double> pressure;
  ReadNumber(ParseObject(payload), "pressure_mpa", pressure);
  return pressure;
}

std::optional<CommandResult> ReadCommandResult(std::string_view payload) {
  const Json message = ParseObject(payload);
  const auto id = message.find("request_id");
  const auto ok = message.find("ok");
  if (!message.is_object() || id == message.end() || ok == message.end() || !ok->is_boolean())
    return std::nullopt;
  CommandResult result;
  if (id->is_string()) {
    result.requestId = id->get<std::string>();
  } else if (id->is_number_integer()) {
    result.requestId = id->dump();
  } else {
    return std::nullopt;
  }
  result.ok = ok->get<bool>();
  ReadText(message, "error", result.error);
  return result;
}

bool LinkNotAnswering(const std::optional<std::string>& link) {
  return link == "no_answer" || link == "lost" || link == "reconnecting";
}

}  // namespace pump::board
