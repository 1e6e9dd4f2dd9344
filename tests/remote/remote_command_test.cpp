#include "remote/remote_command.h"

#include <gtest/gtest.h>

namespace pump::remote {
namespace {

struct CommandRow {
  std::string name;
  std::string payload;
  std::optional<double> value;  // the command's value, or nothing when refused
  std::string refusal;
};

void PrintTo(const CommandRow& row, std::ostream* os) {
  *os << row.name << " " << row.payload.substr(0, 40);
}

class CommandPayloads : public ::testing::TestWithParam<CommandRow> {};

TEST_P(CommandPayloads, AreAcceptedWithTheirValueOrRefusedWithAReason) {
  const auto parsed = ParseCommand(GetParam().name, GetParam().payload);
  if (GetParam().value) {
    ASSERT_TRUE(parsed.command) << parsed.refusal;
    EXPECT_EQ(parsed.command->value, *GetParam().value);
    EXPECT_EQ(parsed.refusal, "");
  } else {
    EXPECT_FALSE(parsed.command);
    EXPECT_EQ(parsed.refusal, GetParam().refusal);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Good, CommandPayloads,
    ::testing::Values(CommandRow{"set_flow", R"({"ml_min":150,"request_id":"a"})", 150, ""},
                      CommandRow{"set_flow", R"({"ml_min":0})", 0, ""},
                      CommandRow{"set_flow", R"({"ml_min":200})", 200, ""},
                      CommandRow{"set_flow", R"({"ml_min":12.5,"extra":[1,2]})", 12.5, ""},
                      CommandRow{"set_pressure_limit", R"({"mpa":2.5})", 2.5, ""},
                      CommandRow{"set_pressure_limit", R"({"mpa":5.0})", 5, ""},
                      CommandRow{"set_pressure_limit", R"({"mpa":4.9})", 4.9, ""},
                      CommandRow{"set_pressure_limit", R"({"mpa":0.30})", 0.3, ""},
                      CommandRow{"set_pressure_limit", R"( { "mpa" : 0 } )", 0, ""},
                      CommandRow{"run", R"({})", 0, ""}, CommandRow{"stop", R"({"x":1})", 0, ""},
                      CommandRow{"timed_run", R"({"minutes":10})", 10, ""},
                      CommandRow{"timed_run", R"({"minutes":0.5})", 0.5, ""}));

INSTANTIATE_TEST_SUITE_P(
    Refused, CommandPayloads,
    ::testing::Values(
        CommandRow{"set_flow", R"({"ml_min":200.5})", {}, "ml_min must be at most 200"},
        CommandRow{"set_flow", R"({"ml_min":-1})", {}, "ml_min must not be negative"},
        CommandRow{"set_flow", R"({"ml_min":"150"})", {}, "ml_min must be a number"},
        CommandRow{"set_flow", R"({"ml_min":true})", {}, "ml_min must be a number"},
        CommandRow{"set_flow", R"({"ml_min":null})", {}, "ml_min must be a number"},
        CommandRow{"set_flow", R"({"flow":150})", {}, "ml_min is missing"},
        CommandRow{"set_pressure_limit", R"({"mpa":5.01})", {}, "mpa must be at most 5"},
        CommandRow{"set_pressure_limit", R"({"mpa":-0.1})", {}, "mpa must not be negative"},
        CommandRow{
            "set_pressure_limit", R"({"mpa":4.99})", {}, "mpa must have at most one decimal"},
        CommandRow{
            "set_pressure_limit", R"({"mpa":0.05})", {}, "mpa must have at most one decimal"},
        CommandRow{"set_pressure_limit", R"({"ml_min":2})", {}, "mpa is missing"},
        CommandRow{"timed_run", R"({"minutes":0})", {}, "minutes must be more than 0"},
        CommandRow{"timed_run", R"({"minutes":-5})", {}, "minutes must not be negative"},
        CommandRow{"timed_run", R"({"minutes":1e9})", {}, "minutes must be at most 35791394"},
        CommandRow{"set_flow", R"({"ml_min":1e999})", {}, "malformed JSON"},
        CommandRow{"set_flow", R"({"ml_min":150)", {}, "malformed JSON"},
        CommandRow{"set_flow", "", {}, "malformed JSON"},
        CommandRow{"run", "run", {}, "malformed JSON"},
        CommandRow{"run", R"({"a":1}{"b":2})", {}, "malformed JSON"},
        CommandRow{"set_flow", "150", {}, "payload must be a JSON object"},
        CommandRow{"run", R"([{"request_id":"a"}])", {}, "payload must be a JSON object"},
        CommandRow{"run",
                   R"({"request_id":{"a":1}})",
                   {},
                   "request_id must be a string or a whole number"},
        CommandRow{
            "run", R"({"request_id":1.5})", {}, "request_id must be a string or a whole number"},
        CommandRow{"reboot", R"({})", {}, "unknown command"},
        CommandRow{"result", R"({"ok":true})", {}, "unknown command"},
        CommandRow{"run",
                   "{\"pad\":\"" + std::string(5000, 'x') + "\"}",
                   {},
                   "payload is larger than 4096 bytes"}));

TEST(RemoteCommand, TheRequestIdComesBackInItsOwnJsonFormAndAsPlainText) {
  auto parsed = ParseCommand("run", R"({"request_id":"job-17"})");
  EXPECT_EQ(parsed.requestId.json, R"("job-17")");
  EXPECT_EQ(parsed.requestId.text, "job-17");
  parsed = ParseCommand("run", R"({"request_id":42})");
  EXPECT_EQ(parsed.requestId.json, "42");
  EXPECT_EQ(parsed.requestId.text, "42");
  parsed = ParseCommand("run", R"({})");
  EXPECT_EQ(parsed.requestId.json, "null");
  EXPECT_EQ(parsed.requestId.text, "");
  // A refused command still answers to its id.
  parsed = ParseCommand("set_flow", R"({"ml_min":999,"request_id":"r9"})");
  EXPECT_FALSE(parsed.command);
  EXPECT_EQ(parsed.requestId.text, "r9");
  // Control characters and non-ASCII bytes never reach the status line or the log.
  parsed = ParseCommand("run", "{\"request_id\":\"a\\nb\\u00e9\"}");
  EXPECT_EQ(parsed.requestId.text, "a?b??");
  EXPECT_EQ(parsed.requestId.json, R"("a\nb\u00e9")");
}

TEST(RemoteCommand, DescriptionsReadAsTheOperatorWouldSayThem) {
  EXPECT_EQ(DescribeCommand({CommandKind::SetFlow, 150}), "设定流量 150");
  EXPECT_EQ(DescribeCommand({CommandKind::SetPressureLimit, 2.5}), "设定压力 2.5");
  EXPECT_EQ(DescribeCommand({CommandKind::Run, 0}), "运行");
  EXPECT_EQ(DescribeCommand({CommandKind::Stop, 0}), "停止");
  EXPECT_EQ(DescribeCommand({CommandKind::TimedRun, 10}), "定时运行 10 分钟");
  EXPECT_EQ(ShortNumber(0.1), "0.1");
}

TEST(RemoteCommand, LogDetailsNameTheCommandItsValueAndIdInOneAsciiLine) {
  auto detail = [](std::string_view name, std::string_view payload, bool ok,
                   std::string_view why = "") {
    return CommandLogDetail(name, ParseCommand(name, payload), ok, why);
  };
  EXPECT_EQ(detail("set_flow", R"({"ml_min":150,"request_id":"abc"})", true),
            "remote set_flow 150 request_id=abc");
  EXPECT_EQ(detail("set_pressure_limit", R"({"mpa":2.50})", true), "remote set_pressure_limit 2.5");
  EXPECT_EQ(detail("run", R"({"request_id":7})", true), "remote run request_id=7");
  EXPECT_EQ(detail("timed_run", R"({"minutes":10,"request_id":"t"})", false, "port not open"),
            "remote timed_run 10 request_id=t error=port not open");
  // Refused values are logged as they came.
  EXPECT_EQ(detail("set_flow", R"({"ml_min":"1 5\u00e9","request_id":"r"})", false,
                   "ml_min must be a number"),
            "remote set_flow \"1?5\\u00e9\" request_id=r error=ml_min must be a number");
  // An id or topic level with spaces, control bytes or UTF-8 stays one ASCII word.
  EXPECT_EQ(detail("run", "{\"request_id\":\"a b,\\\"c\\\"\\t\u00e9\"}", true),
            "remote run request_id=a?b,\"c\"???");
  EXPECT_EQ(detail("重启 x", R"({})", false, "unknown command"),
            "remote ???????x error=unknown command");
  const std::string longId(100, 'x');
  EXPECT_EQ(detail("stop", R"({"request_id":")" + longId + R"("})", true),
            "remote stop request_id=" + std::string(64, 'x') + "...");
}

constexpr char kProgramPayload[] =
    R"({"request_id":"p1","program":{"version":1,"name":"升流量","steps":[)"
    R"({"seconds":60,"flow_start":0,"flow_end":50,"pressure_limit":3.0},)"
    R"({"seconds":600,"flow_start":50,"flow_end":50,"pressure_limit":3.0}]}})";

TEST(ProgramCommands, RunProgramCarriesTheProgramInTheFilesShape) {
  const auto parsed = ParseCommand("run_program", kProgramPayload);
  ASSERT_TRUE(parsed.command) << parsed.refusal;
  EXPECT_EQ(parsed.command->kind, CommandKind::RunProgram);
  ASSERT_TRUE(parsed.command->program);
  EXPECT_EQ(parsed.command->program->name, "升流量");
  EXPECT_EQ(parsed.command->program->steps.size(), 2U);
  EXPECT_EQ(parsed.requestId.text, "p1");
  EXPECT_EQ(DescribeCommand(*parsed.command), "运行程序 升流量");
  EXPECT_EQ(CommandLogDetail("run_program", parsed, true, ""), "remote run_program request_id=p1");
  for (const char* name : {"pause_program", "continue_program", "abort_program"}) {
    const auto plain = ParseCommand(name, R"({"request_id":7})");
    ASSERT_TRUE(plain.command) << name << ": " << plain.refusal;
    EXPECT_FALSE(plain.command->program);
  }
}

TEST(ProgramCommands, AProgramWithAFaultOrNoneIsRefusedNamingTheFault) {
  EXPECT_EQ(ParseCommand("run_program", R"({"request_id":"x"})").refusal, "program is missing");
  const auto faulty = ParseCommand(
      "run_program", R"({"program":{"version":1,"name":"x","steps":[{"seconds":5,"flow_start":0,)"
                     R"("flow_end":201,"pressure_limit":1}]}})");
  EXPECT_FALSE(faulty.command);
  EXPECT_EQ(faulty.refusal, "program: step 1: flow_end must be 0 to 200 ml/min");
  EXPECT_EQ(ParseCommand("run_program", R"({"program":"file.json"})").refusal,
            "program: a program is a JSON object");
}

TEST(ProgramCommands, AGroupsStartAtAndMembersAreReadOrRefusedNamingWhatIsWrong) {
  const std::string program = std::string(kProgramPayload).substr(0, sizeof kProgramPayload - 2);
  const auto grouped = ParseCommand(
      "run_program", program + R"(,"start_at":"2026-12-08T12:00:02.250Z","group":{"id":"g1",)"
                               R"("members":["P01","P02"]}})");
  ASSERT_TRUE(grouped.command) << grouped.refusal;
  EXPECT_EQ(grouped.command->startAtUtcMs.value_or(0) % 1000, 250);
  EXPECT_EQ(grouped.command->group, (GroupMembership{"g1", {"P01", "P02"}}));
  const auto continued =
      ParseCommand("continue_program", R"({"start_at":"2026-12-08T12:00:02.000Z"})");
  ASSERT_TRUE(continued.command) << continued.refusal;
  EXPECT_TRUE(continued.command->startAtUtcMs);

  const struct {
    std::string extra;
    std::string refusal;
  } refused[] = {
      {R"("start_at":"2026-12-08 12:00:02")", "start_at must be a UTC time with milliseconds"},
      {R"("start_at":1765195202000)", "start_at must be a UTC time with milliseconds"},
      {R"("group":{"members":["P01","P02"]})", "group id must be"},
      {R"("group":{"id":"g1","members":"P01"})", "group members must be a list"},
      {R"("group":{"id":"g1","members":["P01","P01"]})", "group members: pump P01 is named twice"},
      {R"("group":{"id":"g1","members":["P01"]})", "group members: a group runs on 2 to 4 pumps"},
  };
  for (const auto& [extra, refusal] : refused) {
    const auto parsed = ParseCommand("run_program", program + "," + extra + "}");
    EXPECT_FALSE(parsed.command) << extra;
    EXPECT_TRUE(parsed.refusal.starts_with(refusal)) << extra << ": " << parsed.refusal;
  }
}

TEST(ProgramCommands, OnlyAProgramMayBeLargerThanACommand) {
  std::string steps;
  for (int i = 0; i < 999; ++i) {
    steps += std::string(i ? "," : "") +
             R"({"seconds":10,"flow_start":100,"flow_end":200,"pressure_limit":4.5})";
  }
  const std::string largest = R"({"program":{"version":1,"name":"999","steps":[)" + steps + "]}}";
  ASSERT_GT(largest.size(), kLargestCommandPayload);
  EXPECT_TRUE(ParseCommand("run_program", largest).command) << "999 steps fit";
  const std::string padded = R"({"ml_min":5,"pad":")" + std::string(5000, 'x') + R"("})";
  EXPECT_EQ(ParseCommand("set_flow", padded).refusal, "payload is larger than 4096 bytes");
  EXPECT_FALSE(ParseCommand("run_program", std::string(kLargestProgramPayload + 1, ' ')).command);
}

TEST(CommandPayloads, OneTooLargeToReadStillNamesTheRequestItsRefusalAnswers) {
  const std::string pad(5000, 'x');
  const std::pair<std::string, std::string> rows[] = {
      {R"({"request_id":"big","ml_min":5,"pad":")" + pad + R"("})", R"("big")"},
      {R"({"request_id":17,"pad":")" + pad, "17"},  // cut short on its way in
      {R"({"pad":")" + pad + R"(","request_id":"late"})", R"("late")"},
      {R"({"meta":{"request_id":"inner"},"pad":")" + pad + R"("})", "null"},
  };
  for (const auto& [payload, id] : rows) {
    const auto parsed = ParseCommand("set_flow", payload);
    EXPECT_EQ(parsed.refusal, "payload is larger than 4096 bytes");
    EXPECT_EQ(parsed.requestId.json, id) << payload.substr(0, 40);
  }
}

}  // namespace
}  // namespace pump::remote
