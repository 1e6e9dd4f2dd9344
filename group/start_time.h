// The moment a group starts, as commands carry it: a UTC time with
// milliseconds, "2026-12-08T12:00:02.000Z".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pump::group {

// Milliseconds since the Unix epoch; nothing for any other text.
std::optional<std::int64_t> ParseUtcTime(std::string_view text);
std::string UtcTimeText(std::int64_t utcMs);

// How far ahead a start may be set, and how it is judged on arrival.
inline constexpr std::int64_t kLatestStartAheadMs = 60'000;

enum class StartVerdict { Accepted, InThePast, TooFarAhead };
StartVerdict JudgeStart(std::int64_t startUtcMs, std::int64_t nowUtcMs);

}  // namespace pump::group
