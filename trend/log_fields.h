// The pieces of reading a run log that the trend's loader and the run report
// share: the refusal of a file, the header, and the fields whose shape the
// log fixes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "trend/csv_records.h"

namespace pump::trend {

// A field quoted in a message: printable ASCII only, and not too long.
std::string ShownField(std::string_view text);

// "12.345" seconds as milliseconds; false for anything else.
bool ParseElapsedMs(std::string_view text, std::int64_t& ms);

// A value column: a plain decimal number, or empty for NaN.
bool ParseLogValue(std::string_view text, float& value);

// The run log's header row, a byte-order mark before it allowed.
bool IsRunLogHeader(const CsvRecord& record);

// A run log opened for reading, or why it was refused, in the operator's words.
std::string RunLogRefusal(const std::string& path, const FileResult& opened);

}  // namespace pump::trend
