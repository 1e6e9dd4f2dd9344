#include "report/report_text.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "runlog/local_time.h"
#include "texts/operator_texts.h"

namespace pump::report {

namespace {

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Pressure(float value) { return Fixed(value, 2) + " MPa"; }

const char* EventKindWords(const std::string& kind) {
  if (kind == "open") return "打开端口";
  if (kind == "close") return "关闭端口";
  if (kind == "command") return "命令";
  if (kind == "refused") return "拒绝";
  if (kind == "link") return "连接";
  if (kind == "run") return "定时运行";
  if (kind == "program") return "程序";
  if (kind == "log") return "日志";
  return "其他";
}

// A link state as the operator's words for it; one this report does not know, as logged.
std::string LinkStateWords(const std::string& state) {
  static const std::pair<const char*, const char*> kWords[] = {
      {"not_connected", texts::kBoardLinkNotConnected},
      {"waiting", texts::kBoardLinkWaiting},
      {"answering", texts::kBoardLinkAnswering},
      {"no_answer", texts::kBoardLinkNotAnswering},
      {"lost", texts::kBoardLinkLost},
      {"reconnecting", texts::kBoardLinkReconnecting}};
  for (const auto& [name, words] : kWords) {
    if (state == name) return words;
  }
  return state;
}

std::string Joined(const std::vector<std::string>& parts, const char* between) {
  std::string text;
  for (const auto& part : parts) text += (text.empty() ? "" : between) + part;
  return text;
}

}  // namespace

std::string LocalTimeText(const LocalMoment& moment) {
  return runlog::FormatLogTime(moment.wallMs, moment.utcOffsetMinutes);
}

std::string DurationText(double seconds) {
  std::string text = Fixed(seconds, 1) + " 秒";
  if (seconds < 60) return text;
  const auto whole = static_cast<long long>(std::floor(seconds));
  char clock[48];
  std::snprintf(clock, sizeof clock, "（%lld:%02lld:%02lld）", whole / 3600, whole / 60 % 60,
                whole % 60);
  return text + clock;
}

std::vector<LabelledValue> HeaderLines(const RunFigures& figures, const ReportIdentity& identity) {
  std::vector<LabelledValue> lines{
      {"泵", identity.pumpId.empty() ? "—" : identity.pumpId},
      {"端口", figures.port.empty() ? "—" : figures.port},
      {"开始", figures.anyRow ? LocalTimeText(figures.start) : "—"},
      {"结束", figures.anyRow ? LocalTimeText(figures.end) : "—"},
      {"时长", DurationText(static_cast<double>(figures.durationMs) / 1000.0)},
  };
  lines.push_back({"程序", figures.programName.empty() ? "—" : figures.programName});
  if (!figures.group.empty()) lines.push_back({"联动组", figures.group});
  lines.push_back({"计算机", identity.computer});
  lines.push_back({"用户", identity.user});
  return lines;
}

std::vector<LabelledValue> FigureLines(const RunFigures& figures, const LogReading& reading) {
  std::vector<LabelledValue> lines{{"读数", std::to_string(figures.readings)}};
  if (figures.readings > 0) {
    lines.push_back({"压力最小值", Pressure(figures.pressureMin)});
    lines.push_back({"压力平均值", Pressure(figures.pressureMean)});
    lines.push_back({"压力最大值", Pressure(figures.pressureMax)});
    lines.push_back({"压力 95% 分位", Pressure(figures.pressureP95)});
  }
  lines.push_back({"达到或超过压力上限", DurationText(figures.overLimitSeconds)});
  lines.push_back({"泵无应答", DurationText(figures.noAnswerSeconds)});
  lines.push_back({"泵运行", DurationText(figures.runningSeconds)});
  lines.push_back({"泵送体积", Fixed(figures.volumeMl, 3) + " ml"});
  if (reading.skippedRows > 0) {
    lines.push_back({"跳过 " + std::to_string(reading.skippedRows) + " 行",
                     Joined(reading.skippedWhy, "；") +
                         (reading.skippedRows > reading.skippedWhy.size() ? "；……" : "")});
  }
  return lines;
}

LabelledValue EventText(const EventLine& event, const LocalMoment& start) {
  std::string time = LocalTimeText(event.at);
  if (time.substr(0, 10) == LocalTimeText(start).substr(0, 10)) time = time.substr(11, 12);
  const std::string detail = event.kind == "link" ? LinkStateWords(event.detail) : event.detail;
  return {time, std::string(EventKindWords(event.kind)) + "  " + detail};
}

std::optional<std::int64_t> ParseRangeTime(std::string_view text) {
  constexpr std::size_t kSecondsEnd = 19;  // "2026-12-07T14:03:22"
  if (text.size() < kSecondsEnd) return std::nullopt;
  std::string full(text.substr(0, kSecondsEnd));
  std::string_view rest = text.substr(kSecondsEnd);
  if (rest.size() >= 4 && rest[0] == '.') {
    full += rest.substr(0, 4);
    rest.remove_prefix(4);
  } else {
    full += ".000";
  }
  std::int64_t utcMs = 0;
  int offset = 0;
  if (!rest.empty()) {
    if (!runlog::ParseLogTime(full + std::string(rest), utcMs, offset)) return std::nullopt;
    return utcMs;
  }
  if (!runlog::ParseLogTime(full + "+00:00", utcMs, offset)) return std::nullopt;
  // The local offset then: looked up near the time, then at the time it gives.
  const int guess = runlog::LocalUtcOffsetMinutes(utcMs);
  const int local = runlog::LocalUtcOffsetMinutes(utcMs - std::int64_t{guess} * 60000);
  return utcMs - std::int64_t{local} * 60000;
}

}  // namespace pump::report
