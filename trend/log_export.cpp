#include "trend/log_export.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "runlog/local_time.h"
#include "runlog/log_columns.h"

namespace pump::trend {

using runlog::kRunLogColumns;
using runlog::kRunLogHeader;

namespace {

// Rows end in CRLF, as RFC 4180 has it; the reader takes LF as well.
constexpr std::string_view kLineEnd = "\r\n";

void PutValue(std::string& line, float value) {
  if (std::isnan(value)) return;
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  line.append(text, result.ptr);
}

void PutDetail(std::string& line, std::string_view detail) {
  if (detail.find_first_of(",\"\r\n") == std::string_view::npos) {
    line += detail;
    return;
  }
  line += '"';
  for (char c : detail) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

void PutRow(std::string& line, const Row& row) {
  line += runlog::FormatLogTime(row.wallMs, row.utcOffsetMinutes);
  char seconds[24];
  const char* end = std::to_chars(seconds, seconds + sizeof seconds, row.elapsedMs / 1000).ptr;
  const auto ms = static_cast<int>(row.elapsedMs % 1000);
  line += ',';
  line.append(seconds, static_cast<std::size_t>(end - seconds));
  line += {'.', static_cast<char>('0' + ms / 100), static_cast<char>('0' + ms / 10 % 10),
           static_cast<char>('0' + ms % 10), ','};
  line += EventKindName(row.event);
  line += ',';
  PutValue(line, row.pressure);
  line += ',';
  PutValue(line, row.flow);
  line += ',';
  PutValue(line, row.pressureLimit);
  line += row.pumpRunning ? ",RUN," : ",STOP,";
  PutDetail(line, row.detail);
  line += kLineEnd;
}

}  // namespace

void WriteRunLogRows(const Session& session, double startMs, double endMs, std::ostream& out) {
  std::string block(kRunLogHeader);
  block += kLineEnd;
  for (std::size_t i = session.lowerBound(startMs);
       i < session.size() && session.axisTimeMs(i) <= endMs; ++i) {
    PutRow(block, session.row(i));
    if (block.size() > (1u << 20)) {
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
      block.clear();
    }
  }
  out.write(block.data(), static_cast<std::streamsize>(block.size()));
}

std::string ExportRunLogRows(const Session& session, double startMs, double endMs,
                             const std::string& path) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return "无法写入 " + path + "：" + std::strerror(errno);
  WriteRunLogRows(session, startMs, endMs, out);
  out.flush();
  if (!out) return "写入 " + path + " 时出错：" + std::strerror(errno);
  return {};
}

}  // namespace pump::trend
