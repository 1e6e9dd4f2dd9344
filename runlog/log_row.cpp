#include "runlog/log_row.h"

#include <charconv>

#include "runlog/log_columns.h"
#include "vocabulary/event_kind.h"

namespace pump::runlog {

namespace {

// Rows end in CRLF, as RFC 4180 has it; spreadsheets and csv readers expect either.
constexpr std::string_view kLineEnd = "\r\n";

// Seconds with three decimals, computed in whole milliseconds: no floating
// point, so no locale can turn the point into a comma.
void AppendElapsedSeconds(std::string& row, std::chrono::steady_clock::duration elapsed) {
  const long long ms = std::chrono::round<std::chrono::milliseconds>(elapsed).count();
  const unsigned long long magnitude = ms < 0 ? -static_cast<unsigned long long>(ms) : ms;
  if (ms < 0) row += '-';
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, magnitude / 1000).ptr;
  row.append(digits, end);
  const auto fraction = static_cast<unsigned>(magnitude % 1000);
  row += '.';
  row += static_cast<char>('0' + fraction / 100);
  row += static_cast<char>('0' + fraction / 10 % 10);
  row += static_cast<char>('0' + fraction % 10);
}

// Most details are frames of printable ASCII with nothing to quote: they go
// in as they are.
bool NeedsNoChange(std::string_view detail) {
  for (const char c : detail) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || c == '\\' || c == ',' || c == '"') return false;
  }
  return true;
}

}  // namespace

std::string HeaderLine() {
  std::string line(kRunLogHeader);
  line += kLineEnd;
  return line;
}

std::string AsciiOnly(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
      text += c;
    } else {
      text += "\\x";
      text += kHex[byte >> 4];
      text += kHex[byte & 0xF];
    }
  }
  return text;
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string LogRow(const session::SessionEvent& event,
                   std::chrono::steady_clock::time_point openedAt, LocalTimestamps& times) {
  const session::PumpState& state = event.state;
  std::string row;
  row.reserve(128);
  times.appendTo(row, event.wallTime);
  row += ',';
  AppendElapsedSeconds(row, event.monotonicTime - openedAt);
  row += ',';
  row += EventKindName(event.kind);
  row += ',';
  row += state.currentPressure.plain();
  row += ',';
  row += state.flowSetpoint.plain();
  row += ',';
  row += state.pressureLimit.plain();
  row += state.pumpCommandedRunning ? ",RUN," : ",STOP,";
  if (NeedsNoChange(event.detail)) {
    row += event.detail;
  } else {
    row += CsvField(AsciiOnly(event.detail));
  }
  row += kLineEnd;
  return row;
}

}  // namespace pump::runlog
