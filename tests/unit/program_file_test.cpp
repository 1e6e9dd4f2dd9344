// Program files as other tools and the broker write them: read whole or
// refused whole with the first fault, naming the step and the field.
#include "program/program_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <variant>

#include "program/program.h"

namespace pump {
namespace {

using program::Fault;
using program::Program;
using program::ReadProgram;
using program::Step;

constexpr char kTwoSteps[] =
    R"({"version":1,"name":"升流量","steps":[)"
    R"({"seconds":60,"flow_start":0,"flow_end":50,"pressure_limit":3.0},)"
    R"({"seconds":600,"flow_start":50,"flow_end":50,"pressure_limit":3.0}]})";

// A program whose second step has `field` set to the JSON `value`.
std::string WithSecondStepField(const std::string& field, const std::string& value) {
  std::string step = R"({"seconds":10,"flow_start":5,"flow_end":5,"pressure_limit":1.5})";
  const std::string key = "\"" + field + "\":";
  const auto at = step.find(key);
  if (at == std::string::npos) {
    step.insert(1, key + value + ",");
  } else {
    const auto end = step.find_first_of(",}", at);
    step.replace(at + key.size(), end - at - key.size(), value);
  }
  return R"({"version":1,"name":"p","steps":[{"seconds":5,"flow_start":1,"flow_end":1,)"
         R"("pressure_limit":1.0},)" +
         step + "]}";
}

Fault FaultOf(const std::string& json) {
  const auto read = ReadProgram(json);
  EXPECT_TRUE(std::holds_alternative<Fault>(read)) << json;
  return std::holds_alternative<Fault>(read) ? std::get<Fault>(read) : Fault{-1, "", ""};
}

TEST(ProgramFile, TheShapeOtherToolsWriteIsReadWithItsNameStepsTotalAndVolume) {
  const auto read = ReadProgram(kTwoSteps);
  ASSERT_TRUE(std::holds_alternative<Program>(read));
  const Program& p = std::get<Program>(read);
  EXPECT_EQ(p.name, "升流量");
  ASSERT_EQ(p.steps.size(), 2U);
  EXPECT_EQ(p.steps[0], (Step{60, 0, 50, 30}));
  EXPECT_EQ(p.steps[1], (Step{600, 50, 50, 30}));
  EXPECT_EQ(p.totalSeconds(), 660);
  EXPECT_DOUBLE_EQ(p.volumeMl(), 25.0 + 500.0) << "a ramp counts as a trapezoid";
  EXPECT_DOUBLE_EQ(p.plannedFlowAt(30'000), 25.0);
  EXPECT_EQ(p.stepAt(59'999), 0U);
  EXPECT_EQ(p.stepAt(60'000), 1U);
  EXPECT_EQ(p.stepAt(660'000), 2U) << "past the end";
}

TEST(ProgramFile, EachFieldOutOfRangeOrOfTheWrongTypeIsNamedWithItsStep) {
  const struct {
    const char* field;
    const char* value;
  } cases[] = {
      {"seconds", "0"},           {"seconds", "-3"},           {"seconds", "1.5"},
      {"seconds", "\"10\""},      {"seconds", "360001"},       {"seconds", "1e40"},
      {"flow_start", "201"},      {"flow_start", "-1"},        {"flow_start", "2.5"},
      {"flow_start", "true"},     {"flow_start", "null"},      {"flow_end", "1000"},
      {"flow_end", "[5]"},        {"pressure_limit", "5.1"},   {"pressure_limit", "-0.1"},
      {"pressure_limit", "2.55"}, {"pressure_limit", "\"3\""}, {"pressure_limit", "{}"},
  };
  for (const auto& c : cases) {
    const Fault fault = FaultOf(WithSecondStepField(c.field, c.value));
    EXPECT_EQ(fault.step, 2) << c.field << "=" << c.value;
    EXPECT_EQ(fault.field, c.field) << c.field << "=" << c.value;
    EXPECT_NE(fault.message.find("step 2"), std::string::npos) << fault.message;
    EXPECT_NE(fault.message.find(c.field), std::string::npos) << fault.message;
  }
}

TEST(ProgramFile, TheEdgesOfEachRangeAreAccepted) {
  for (const auto& [field, value] : {std::pair{"seconds", "1"},
                                     {"seconds", "7.0"},
                                     {"flow_start", "200"},
                                     {"flow_end", "0"},
                                     {"pressure_limit", "5"},
                                     {"pressure_limit", "0.0"},
                                     {"pressure_limit", "2.5"}}) {
    const auto read = ReadProgram(WithSecondStepField(field, value));
    EXPECT_TRUE(std::holds_alternative<Program>(read)) << field << "=" << value;
  }
  const auto longest = ReadProgram(
      R"({"version":1,"name":"p","steps":[{"seconds":360000,"flow_start":1,"flow_end":1,)"
      R"("pressure_limit":1}]})");
  EXPECT_TRUE(std::holds_alternative<Program>(longest)) << "one step of 100 hours";
}

TEST(ProgramFile, AMissingFieldIsNamedAndTheFirstFaultWins) {
  std::string json = WithSecondStepField("flow_end", "5");
  json.replace(json.rfind(R"("flow_end":5,)"), 13, "");
  const Fault missing = FaultOf(json);
  EXPECT_EQ(missing.step, 2);
  EXPECT_EQ(missing.field, "flow_end");
  EXPECT_NE(missing.message.find("missing"), std::string::npos);

  const Fault first = FaultOf(
      R"({"version":1,"name":"p","steps":[{"seconds":5,"flow_start":300,"flow_end":1,)"
      R"("pressure_limit":9},{"seconds":0,"flow_start":1,"flow_end":1,"pressure_limit":1}]})");
  EXPECT_EQ(first.step, 1);
  EXPECT_EQ(first.field, "flow_start") << "the first step's first bad field";
}

TEST(ProgramFile, WhatIsNoProgramAtAllIsRefusedForTheWholeProgram) {
  const struct {
    const char* json;
    const char* field;
  } cases[] = {
      {"", ""},
      {"{\"version\":1,", ""},
      {"[1,2]", ""},
      {"\"text\"", ""},
      {R"({"name":"p","steps":[]})", "version"},
      {R"({"version":2,"name":"p","steps":[]})", "version"},
      {R"({"version":"1","name":"p","steps":[]})", "version"},
      {R"({"version":1,"steps":[]})", "name"},
      {R"({"version":1,"name":7,"steps":[]})", "name"},
      {R"({"version":1,"name":"p"})", "steps"},
      {R"({"version":1,"name":"p","steps":{}})", "steps"},
      {R"({"version":1,"name":"p","steps":[]})", "steps"},
  };
  for (const auto& c : cases) {
    const Fault fault = FaultOf(c.json);
    EXPECT_EQ(fault.step, 0) << c.json;
    EXPECT_EQ(fault.field, c.field) << c.json;
    EXPECT_FALSE(fault.message.empty()) << c.json;
  }
  EXPECT_EQ(FaultOf(R"({"version":1,"name":"p","steps":[7]})").step, 1) << "a step not an object";
}

// A program of `count` steps of `seconds` each.
std::string ManySteps(int count, long seconds) {
  std::string json = R"({"version":1,"name":"long","steps":[)";
  for (int i = 0; i < count; ++i) {
    if (i) json += ",";
    json += R"({"seconds":)" + std::to_string(seconds) +
            R"(,"flow_start":1,"flow_end":2,"pressure_limit":0.5})";
  }
  return json + "]}";
}

TEST(ProgramFile, NineHundredNinetyNineStepsAndOneHundredHoursAreTheMost) {
  EXPECT_TRUE(std::holds_alternative<Program>(ReadProgram(ManySteps(999, 360))));
  EXPECT_EQ(FaultOf(ManySteps(1000, 1)).field, "steps") << "too many steps";
  EXPECT_TRUE(std::holds_alternative<Program>(ReadProgram(ManySteps(100, 3600))))
      << "exactly 100 hours";
  const Fault over = FaultOf(ManySteps(101, 3600));
  EXPECT_EQ(over.step, 0);
  EXPECT_NE(over.message.find("100 hours"), std::string::npos) << over.message;
}

TEST(ProgramFile, TheLargestProgramAsTheConsoleWritesItIsReadBackFromDisk) {
  Program widest{std::string(300, 'x'), std::vector<Step>(999, Step{360, 200, 199, 50})};
  const std::string written = program::WriteProgram(widest);
  EXPECT_LT(written.size(), program::kLargestProgramFileBytes);
  char path[] = "/tmp/widest-program-XXXXXX";
  const int fd = ::mkstemp(path);
  ASSERT_GE(fd, 0);
  ::close(fd);
  std::ofstream(path, std::ios::binary) << written;
  const auto read = program::ReadProgramFile(path);
  ::unlink(path);
  ASSERT_TRUE(std::holds_alternative<Program>(read)) << std::get<Fault>(read).message;
  EXPECT_EQ(std::get<Program>(read), widest);
}

TEST(ProgramFile, UnknownKeysAreIgnoredAndAWrittenProgramReadsBackTheSame) {
  const auto read = ReadProgram(
      R"({"version":1,"name":"冲洗 \"A\"","author":"x","steps":[{"seconds":3,"flow_start":200,)"
      R"("flow_end":0,"pressure_limit":0.1,"comment":[1,{"a":2}]},{"seconds":9,"flow_start":7,)"
      R"("flow_end":7,"pressure_limit":4.9}]})");
  ASSERT_TRUE(std::holds_alternative<Program>(read));
  const Program& p = std::get<Program>(read);
  EXPECT_EQ(p.steps[0], (Step{3, 200, 0, 1}));
  const auto again = ReadProgram(program::WriteProgram(p));
  ASSERT_TRUE(std::holds_alternative<Program>(again)) << program::WriteProgram(p);
  EXPECT_EQ(std::get<Program>(again), p);
}

TEST(ProgramFile, AProgramBuiltInMemoryIsCheckedByTheSameRules) {
  EXPECT_FALSE(program::FirstFault(Program{"ok", {Step{1, 0, 200, 50}}}));
  const auto fault = program::FirstFault(Program{"x", {Step{1, 0, 0, 0}, Step{5, 0, 0, 51}}});
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->step, 2);
  EXPECT_EQ(fault->field, "pressure_limit");
  EXPECT_TRUE(program::FirstFault(Program{"none", {}})) << "a program has at least one step";
}

}  // namespace
}  // namespace pump
