// A stream of current-pressure replies sent back to back at the line's pace,
// for measuring how the console keeps up with a full line. Each reply differs
// from the one before, so a reply the console loses shows as a gap.
#pragma once

#include <chrono>
#include <string>

namespace pump::sim {

// The index-th reply of the stream: pressures cycle 00.1, 00.2, ... 09.9, 00.0,
// 00.1, inside the chart's range and starting above the 00.0 a console shows
// before any reply.
std::string StreamReply(int address, long long index);

// The time one nine-character frame (ten bit times a character) takes at the baud.
std::chrono::nanoseconds FramePeriod(int baud);

}  // namespace pump::sim
