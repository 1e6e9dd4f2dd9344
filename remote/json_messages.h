// The JSON the console publishes on the broker.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "remote/pump_status.h"
#include "remote/remote_command.h"
#include "runlog/local_time.h"
#include "session/session_events.h"

namespace pump::remote {

// ISO 8601 local time with milliseconds and the UTC offset:
// 2026-12-07T14:03:22.517+08:00.
std::string LocalIsoTime(std::chrono::system_clock::time_point time);

// The words for another console online under this one's pump id: the
// refusal of every command, and the status's `conflict`.
inline constexpr char kPumpIdInUse[] = "pump id in use by another console";

// `status`: online, link, port, pump, flow_ml_min, pressure_limit_mpa,
// pressure_mpa, run {state, seconds_left}, time, pump_id, remote_control,
// instance_id, conflict (null, or why commands are refused).
std::string StatusJson(const PumpStatus& status);

// The last will, left with the broker at connect:
// {"online":false,"pump_id":...,"instance_id":...}.
std::string LastWillJson(std::string_view pumpId, std::string_view instanceId);

// `pressure`: {"time":...,"pressure_mpa":...}. Built as text, as it goes out
// for every reading; `times` keeps the local time of the last second.
std::string PressureJson(const session::SessionEvent& reading, runlog::LocalTimestamps& times);
std::string PressureJson(const session::SessionEvent& reading);

// `event`: one run-log row as JSON: time, event, detail and the readouts.
std::string EventJson(const session::SessionEvent& event);

// `cmd/result`: {"request_id":...,"ok":true} or {..."ok":false,"error":"..."}.
std::string ResultJson(const RequestId& id, bool ok, std::string_view error);

}  // namespace pump::remote
