#include "remote/json_messages.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "vocabulary/event_kind.h"
#include "vocabulary/link_state.h"

namespace pump::remote {
namespace {

using Json = nlohmann::ordered_json;

Json NumberOrNull(const std::optional<double>& value) { return value ? Json(*value) : Json(); }

// Frames and device names are bytes from the outside: never let one that is
// not UTF-8 stop a message from being written.
std::string Dump(const Json& message) {
  return message.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void AddReadouts(Json& message, const session::PumpState& shown) {
  message["pressure_mpa"] = NumberOrNull(shown.currentPressure.value());
  message["flow_ml_min"] = NumberOrNull(shown.flowSetpoint.value());
  message["pressure_limit_mpa"] = NumberOrNull(shown.pressureLimit.value());
  message["pump"] = shown.pumpCommandedRunning ? "RUN" : "STOP";
}

}  // namespace

std::string LocalIsoTime(std::chrono::system_clock::time_point time) {
  return runlog::LocalTimestamp(time);
}

namespace {

// {"name","state","step","steps","seconds_left"}, or null without a program.
Json ProgramJson(const std::optional<session::ProgramProgress>& program) {
  if (!program) return nullptr;
  return Json{{"name", program->name},
              {"state", session::ProgramRunStateName(program->state)},
              {"step", program->step},
              {"steps", program->steps},
              {"seconds_left", program->secondsLeft}};
}

}  // namespace

std::string StatusJson(const PumpStatus& status) {
  Json run{{"state", status.runState}, {"seconds_left", nullptr}};
  if (status.secondsLeft) run["seconds_left"] = *status.secondsLeft;
  const Json message{
      {"pump_id", status.pumpId},
      {"online", status.online},
      {"link", LinkStateName(status.link)},
      {"link_cause", status.linkCause.empty() ? Json() : Json(status.linkCause)},
      {"port", status.port ? Json(*status.port) : Json()},
      {"pump", status.pumpRunning ? "RUN" : "STOP"},
      {"flow_ml_min", NumberOrNull(status.flow)},
      {"pressure_limit_mpa", NumberOrNull(status.limit)},
      {"pressure_mpa", NumberOrNull(status.pressure)},
      {"run", run},
      {"program", ProgramJson(status.program)},
      {"time", LocalIsoTime(status.time)},
      {"remote_control", status.remoteControl},
      {"instance_id", status.instanceId},
      {"conflict", status.pumpIdInUse ? Json(kPumpIdInUse) : Json()},
  };
  return Dump(message);
}

std::string LastWillJson(std::string_view pumpId, std::string_view instanceId) {
  return Dump(Json{{"online", false}, {"pump_id", pumpId}, {"instance_id", instanceId}});
}

std::string PressureJson(const session::SessionEvent& reading, runlog::LocalTimestamps& times) {
  std::string text;
  text.reserve(72);
  text += R"({"time":")";
  times.appendTo(text, reading.wallTime);
  text += R"(","pressure_mpa":)";
  const auto pressure = reading.state.currentPressure.value();
  text += pressure && std::isfinite(*pressure) ? ShortNumber(*pressure) : "null";
  text += '}';
  return text;
}

std::string PressureJson(const session::SessionEvent& reading) {
  runlog::LocalTimestamps times;
  return PressureJson(reading, times);
}

std::string EventJson(const session::SessionEvent& event) {
  Json message{{"time", LocalIsoTime(event.wallTime)},
               {"event", EventKindName(event.kind)},
               {"detail", event.detail}};
  AddReadouts(message, event.state);
  return Dump(message);
}

std::string ResultJson(const RequestId& id, bool ok, std::string_view error) {
  Json message{{"request_id", Json::parse(id.json, nullptr, false)}, {"ok", ok}};
  if (message["request_id"].is_discarded()) message["request_id"] = nullptr;
  if (!ok) message["error"] = error;
  return Dump(message);
}

}  // namespace pump::remote
