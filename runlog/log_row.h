// One CSV row per console event, in the columns of the run log.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "runlog/local_time.h"
#include "session/session_events.h"

namespace pump::runlog {

// The first line of every log, line end included.
std::string HeaderLine();

// Printable ASCII stays; any other byte, and the backslash, becomes "\xNN".
std::string AsciiOnly(std::string_view bytes);

// RFC 4180: a field with a comma, a double quote or a line break is quoted,
// its double quotes doubled.
std::string CsvField(std::string_view text);

// The row for an event of a log opened at `openedAt` (monotonic), CRLF ended.
std::string LogRow(const session::SessionEvent& event,
                   std::chrono::steady_clock::time_point openedAt, LocalTimestamps& times);

}  // namespace pump::runlog
