#include "remote/json_messages.h"

#include <ctime>
#include <nlohmann/json.hpp>

namespace pump::remote {
namespace {

using Json = nlohmann::ordered_json;

Json NumberOrNull(const std::optional<double>& value) { return value ? Json(*value) : Json(); }

// Frames and device names are bytes from the outside: never let one that is
// not UTF-8 stop a message from being written.
std::string Dump(const Json& message) {
  return message.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void AddReadouts(Json& message, const console::Readouts& shown) {
  message["pressure_mpa"] = NumberOrNull(CaptionValue(shown.currentPressure));
  message["flow_ml_min"] = NumberOrNull(CaptionValue(shown.flowSetpoint));
  message["pressure_limit_mpa"] = NumberOrNull(CaptionValue(shown.pressureLimit));
  message["pump"] = shown.pumpRunning ? "RUN" : "STOP";
}

}  // namespace

std::string LocalIsoTime(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto since = time.time_since_epoch();
  const auto whole = floor<seconds>(since);
  const auto millis = duration_cast<milliseconds>(since - whole).count();
  const std::time_t stamp = whole.count();
  std::tm local{};
  localtime_r(&stamp, &local);
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  const long offset = local.tm_gmtoff / 60;
  const long hours = (offset < 0 ? -offset : offset) / 60;
  const long minutes = (offset < 0 ? -offset : offset) % 60;
  char text[96];
  std::snprintf(text, sizeof text, "%s.%03lld%c%02ld:%02ld", date, static_cast<long long>(millis),
                offset < 0 ? '-' : '+', hours, minutes);
  return text;
}

std::string StatusJson(const PumpStatus& status) {
  Json run{{"state", status.runState}, {"seconds_left", nullptr}};
  if (status.secondsLeft) run["seconds_left"] = *status.secondsLeft;
  const Json message{
      {"pump_id", status.pumpId},
      {"online", status.online},
      {"link", console::LinkStateName(status.link)},
      {"port", status.port ? Json(*status.port) : Json()},
      {"pump", status.pumpRunning ? "RUN" : "STOP"},
      {"flow_ml_min", NumberOrNull(status.flow)},
      {"pressure_limit_mpa", NumberOrNull(status.limit)},
      {"pressure_mpa", NumberOrNull(status.pressure)},
      {"run", run},
      {"time", LocalIsoTime(status.time)},
  };
  return Dump(message);
}

std::string LastWillJson(std::string_view pumpId) {
  return Dump(Json{{"online", false}, {"pump_id", pumpId}});
}

std::string PressureJson(const console::ConsoleEvent& reading) {
  const Json message{
      {"time", LocalIsoTime(reading.wallTime)},
      {"pressure_mpa", NumberOrNull(CaptionValue(reading.readouts.currentPressure))}};
  return Dump(message);
}

std::string EventJson(const console::ConsoleEvent& event) {
  Json message{{"time", LocalIsoTime(event.wallTime)},
               {"event", console::EventKindName(event.kind)},
               {"detail", event.detail}};
  AddReadouts(message, event.readouts);
  return Dump(message);
}

std::string ResultJson(const RequestId& id, bool ok, std::string_view error) {
  Json message{{"request_id", Json::parse(id.json, nullptr, false)}, {"ok", ok}};
  if (message["request_id"].is_discarded()) message["request_id"] = nullptr;
  if (!ok) message["error"] = error;
  return Dump(message);
}

}  // namespace pump::remote
