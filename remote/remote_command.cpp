#include "remote/remote_command.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <variant>

#include "group/group_program.h"
#include "group/start_time.h"
#include "session/command_checks.h"

namespace pump::remote {
namespace {

using Json = nlohmann::json;

struct CommandRule {
  std::string_view name;
  CommandKind kind;
  const char* field;  // the number it carries, or nullptr
  double highest;     // inclusive
  bool zeroAllowed;
};

// A timed run counts its seconds in 32 bits.
constexpr double kLongestRunMinutes = std::numeric_limits<std::int32_t>::max() / 60;

constexpr std::array kRules{
    CommandRule{"set_flow", CommandKind::SetFlow, "ml_min", session::kFlowLimit, true},
    CommandRule{"set_pressure_limit", CommandKind::SetPressureLimit, "mpa", session::kPressureLimit,
                true},
    CommandRule{"run", CommandKind::Run, nullptr, 0, true},
    CommandRule{"stop", CommandKind::Stop, nullptr, 0, true},
    CommandRule{"timed_run", CommandKind::TimedRun, "minutes", kLongestRunMinutes, false},
    CommandRule{"run_program", CommandKind::RunProgram, nullptr, 0, true},
    CommandRule{"pause_program", CommandKind::PauseProgram, nullptr, 0, true},
    CommandRule{"continue_program", CommandKind::ContinueProgram, nullptr, 0, true},
    CommandRule{"abort_program", CommandKind::AbortProgram, nullptr, 0, true},
};

const CommandRule* FindRule(std::string_view name) {
  for (const auto& rule : kRules) {
    if (rule.name == name) return &rule;
  }
  return nullptr;
}

// Ids end up in the run log and the status line: keep them plain.
std::string PrintableAscii(std::string text) {
  for (char& c : text) {
    if (c < ' ' || c > '~') c = '?';
  }
  return text;
}

// Strings and whole numbers are ids; anything else is refused.
std::optional<RequestId> ReadRequestId(const Json& message) {
  const auto found = message.find("request_id");
  if (found == message.end() || found->is_null()) return RequestId{};
  if (found->is_string()) {
    return RequestId{found->dump(-1, ' ', true, Json::error_handler_t::replace),
                     PrintableAscii(found->get<std::string>())};
  }
  if (found->is_number_integer()) return RequestId{found->dump(), found->dump()};
  return std::nullopt;
}

// Reads no further than the top level's request_id: a payload too large to
// read whole, perhaps cut short on its way in, still names the request its
// refusal answers when the id comes early enough.
class RequestIdFinder : public nlohmann::json_sax<Json> {
 public:
  std::optional<Json> found;

  bool null() override { return take(nullptr); }
  bool boolean(bool value) override { return take(value); }
  bool number_integer(number_integer_t value) override { return take(value); }
  bool number_unsigned(number_unsigned_t value) override { return take(value); }
  bool number_float(number_float_t value, const string_t&) override { return take(value); }
  bool string(string_t& value) override { return take(value); }
  bool binary(binary_t&) override { return take(Json::object()); }
  bool start_object(std::size_t) override { return open(); }
  bool start_array(std::size_t) override { return open(); }
  bool end_object() override { return --depth_, true; }
  bool end_array() override { return --depth_, true; }
  bool key(string_t& name) override {
    atId_ = depth_ == 1 && name == "request_id";
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

 private:
  bool take(Json value) {
    if (atId_) found = std::move(value);
    return !atId_;
  }
  bool open() {
    if (atId_) return take(Json::object());  // no id
    return ++depth_, true;
  }

  int depth_ = 0;
  bool atId_ = false;
};

std::optional<RequestId> EarlyRequestId(std::string_view payload) {
  RequestIdFinder finder;
  Json::sax_parse(payload, &finder, Json::input_format_t::json, false);
  if (!finder.found) return RequestId{};
  return ReadRequestId(Json{{"request_id", *finder.found}});
}

// The number a command carries, or the reason it cannot be used.
std::string CheckValue(const Json& message, const CommandRule& rule, double& value) {
  const std::string field = rule.field;
  const auto found = message.find(field);
  if (found == message.end()) return field + " is missing";
  if (!found->is_number()) return field + " must be a number";
  value = found->get<double>();
  if (!std::isfinite(value)) return field + " must be a number";
  if (value < 0) return field + " must not be negative";
  if (value == 0 && !rule.zeroAllowed) return field + " must be more than 0";
  if (value > rule.highest) return field + " must be at most " + ShortNumber(rule.highest);
  // The pump's frame has one decimal: a finer limit would be rounded, not obeyed.
  if (rule.kind == CommandKind::SetPressureLimit && !session::InTenthsOfMegapascal(value))
    return field + " must have at most one decimal";
  return {};
}

// The program a run_program carries, in the file's shape, or why it cannot run.
std::string CheckProgram(const Json& message, std::optional<program::Program>& program) {
  const auto found = message.find("program");
  if (found == message.end()) return "program is missing";
  auto read = program::ReadProgram(found->dump(-1, ' ', false, Json::error_handler_t::replace));
  if (const auto* fault = std::get_if<program::Fault>(&read)) return "program: " + fault->message;
  program = std::move(std::get<program::Program>(read));
  return {};
}

// When a program or its continuation starts, if the command says.
std::string CheckStartAt(const Json& message, std::optional<std::int64_t>& startAt) {
  const auto found = message.find("start_at");
  if (found == message.end() || found->is_null()) return {};
  if (found->is_string()) startAt = group::ParseUtcTime(found->get<std::string>());
  if (!startAt) return "start_at must be a UTC time with milliseconds: 2026-12-08T12:00:02.000Z";
  return {};
}

// The group a run_program's part belongs to, if it says.
std::string CheckGroup(const Json& message, std::optional<GroupMembership>& membership) {
  const auto found = message.find("group");
  if (found == message.end() || found->is_null()) return {};
  const auto id = found->is_object() ? found->find("id") : found->end();
  if (id == found->end() || !id->is_string() || id->get<std::string>().empty() ||
      id->get<std::string>().size() > 64)
    return "group id must be a text of 1 to 64 characters";
  const auto members = found->find("members");
  if (members == found->end() || !members->is_array()) return "group members must be a list";
  GroupMembership read{PrintableAscii(id->get<std::string>()), {}};
  for (const Json& member : *members) {
    if (!member.is_string()) return "group members must be pump ids";
    read.members.push_back(member.get<std::string>());
  }
  group::GroupProgram shape{"", read.members, {}};
  if (const auto fault = group::FirstGroupFault(shape); fault && fault->field == "pumps")
    return "group members: " + fault->message;
  membership = std::move(read);
  return {};
}

}  // namespace

ParsedCommand ParseCommand(std::string_view name, std::string_view payload) {
  ParsedCommand parsed;
  const std::size_t largest =
      name == "run_program" ? kLargestProgramPayload : kLargestCommandPayload;
  if (payload.size() > largest) {
    parsed.requestId = EarlyRequestId(payload).value_or(RequestId{});
    parsed.refusal = "payload is larger than " + std::to_string(largest) + " bytes";
    return parsed;
  }
  const Json message = Json::parse(payload, nullptr, /*allow_exceptions=*/false);
  if (message.is_discarded()) {
    parsed.refusal = "malformed JSON";
    return parsed;
  }
  if (!message.is_object()) {
    parsed.refusal = "payload must be a JSON object";
    return parsed;
  }
  const auto id = ReadRequestId(message);
  if (!id) {
    parsed.refusal = "request_id must be a string or a whole number";
    return parsed;
  }
  parsed.requestId = *id;
  const CommandRule* rule = FindRule(name);
  if (!rule) {
    parsed.refusal = "unknown command";
    return parsed;
  }
  RemoteCommand command{rule->kind, 0};
  if (rule->field && message.contains(rule->field)) {
    parsed.given = message[rule->field].dump(-1, ' ', true, Json::error_handler_t::replace);
  }
  if (rule->field) {
    parsed.refusal = CheckValue(message, *rule, command.value);
    if (!parsed.refusal.empty()) return parsed;
  }
  if (rule->kind == CommandKind::RunProgram) {
    parsed.refusal = CheckProgram(message, command.program);
    if (parsed.refusal.empty()) parsed.refusal = CheckGroup(message, command.group);
    if (!parsed.refusal.empty()) return parsed;
  }
  if (rule->kind == CommandKind::RunProgram || rule->kind == CommandKind::ContinueProgram) {
    parsed.refusal = CheckStartAt(message, command.startAtUtcMs);
    if (!parsed.refusal.empty()) return parsed;
  }
  parsed.command = command;
  return parsed;
}

std::string DescribeCommand(const RemoteCommand& command) {
  switch (command.kind) {
    case CommandKind::SetFlow:
      return "设定流量 " + ShortNumber(command.value);
    case CommandKind::SetPressureLimit:
      return "设定压力 " + ShortNumber(command.value);
    case CommandKind::Run:
      return "运行";
    case CommandKind::Stop:
      return "停止";
    case CommandKind::TimedRun:
      return "定时运行 " + ShortNumber(command.value) + " 分钟";
    case CommandKind::RunProgram:
      return "运行程序 " + (command.program ? command.program->name : std::string());
    case CommandKind::PauseProgram:
      return "暂停程序";
    case CommandKind::ContinueProgram:
      return "继续程序";
    case CommandKind::AbortProgram:
      return "中止程序";
  }
  return {};
}

namespace {

constexpr std::size_t kLongestLoggedWord = 64;

bool CarriesNumber(CommandKind kind) {
  return kind == CommandKind::SetFlow || kind == CommandKind::SetPressureLimit ||
         kind == CommandKind::TimedRun;
}

// Printable ASCII, '?' for any other byte; spaces too unless `spaces`.
std::string LogSafe(std::string_view text, bool spaces) {
  std::string safe(text.substr(0, kLongestLoggedWord));
  for (char& c : safe) {
    if (c < ' ' || c > '~' || (c == ' ' && !spaces)) c = '?';
  }
  if (text.size() > kLongestLoggedWord) safe += "...";
  return safe;
}

}  // namespace

std::string CommandLogDetail(std::string_view name, const ParsedCommand& parsed, bool ok,
                             std::string_view why) {
  std::string detail = "remote " + LogSafe(name, false);
  if (parsed.command && CarriesNumber(parsed.command->kind)) {
    detail += " " + ShortNumber(parsed.command->value);
  } else if (!parsed.given.empty()) {
    detail += " " + LogSafe(parsed.given, false);
  }
  if (!parsed.requestId.text.empty()) {
    detail += " request_id=" + LogSafe(parsed.requestId.text, false);
  }
  if (!ok) detail += " error=" + LogSafe(why, true);
  return detail;
}

std::string ShortNumber(double value) {
  std::array<char, 32> text{};
  const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc()) return "?";
  return std::string(text.data(), end);
}

}  // namespace pump::remote
