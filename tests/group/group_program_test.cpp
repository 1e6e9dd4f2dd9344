// Group programs: each pump's flow at each step boundary, the file's shape,
// and the faults that refuse a group whole.
#include "group/group_program.h"

#include <gtest/gtest.h>

#include <numeric>

namespace pump::group {
namespace {

TEST(GroupFlowSplit, EachPumpGetsItsShareAndTheFlowsAddUpToTheTotal) {
  const struct {
    int total;
    std::vector<int> shares;
    std::vector<int> flows;
  } cases[] = {
      {10, {95, 5}, {10, 0}},        // 9.5 and 0.5: a tie goes to the earlier pump
      {10, {5, 95}, {1, 9}},         // 0.5 and 9.5: the tie again, to A
      {10, {50, 50}, {5, 5}},        // exact
      {7, {33, 33, 34}, {2, 2, 3}},  // 2.31, 2.31, 2.38: one left, to the largest remainder
      {100, {33, 33, 34}, {33, 33, 34}},
      {1, {25, 25, 25, 25}, {1, 0, 0, 0}},  // four ties: the first pump
      {3, {25, 25, 25, 25}, {1, 1, 1, 0}},
      {200, {60, 40}, {120, 80}},
      {0, {70, 30}, {0, 0}},
      {399, {50, 50}, {200, 199}},
  };
  for (const auto& c : cases) {
    const std::vector<int> flows = SplitFlow(c.total, c.shares);
    EXPECT_EQ(flows, c.flows) << c.total;
    EXPECT_EQ(std::accumulate(flows.begin(), flows.end(), 0), c.total);
  }
}

GroupProgram Gradient() { return {"梯度", {"P01", "P02"}, {{1200, 10, 10, {95, 5}, {5, 95}, 30}}}; }

TEST(GroupProgramParts, EachPumpsPartIsAProgramOfItsOwnFlowsUnderTheGroupsLimit) {
  GroupProgram group = Gradient();
  group.steps.push_back({60, 10, 20, {5, 95}, {50, 50}, 25});
  ASSERT_FALSE(FirstGroupFault(group));
  const program::Program a = group.part(0), b = group.part(1);
  EXPECT_EQ(a.name, "梯度 P01");
  ASSERT_EQ(a.steps.size(), 2u);
  EXPECT_EQ(a.steps[0], (program::Step{1200, 10, 1, 30}));
  EXPECT_EQ(b.steps[0], (program::Step{1200, 0, 9, 30}));
  EXPECT_EQ(a.steps[1], (program::Step{60, 1, 10, 25}));
  EXPECT_EQ(b.steps[1], (program::Step{60, 9, 10, 25}));
  EXPECT_FALSE(program::FirstFault(a));
}

TEST(GroupProgramFile, WrittenAndReadBackItIsTheSameGroup) {
  const auto read = ReadGroupProgram(WriteGroupProgram(Gradient()));
  ASSERT_TRUE(std::holds_alternative<GroupProgram>(read));
  EXPECT_EQ(std::get<GroupProgram>(read), Gradient());
  EXPECT_TRUE(LooksLikeGroupProgram(WriteGroupProgram(Gradient())));
  EXPECT_FALSE(LooksLikeGroupProgram(R"({"version":1,"name":"x","steps":[]})"));
}

TEST(GroupProgramFile, AFaultyGroupIsRefusedWholeNamingTheFirstFault) {
  const std::string step =
      R"({"seconds":60,"total_start":10,"total_end":10,"shares_start":[50,50],"shares_end":[50,50],"pressure_limit":3.0})";
  auto group = [](const std::string& pumps, const std::string& steps) {
    return R"({"version":1,"name":"g","pumps":)" + pumps + R"(,"steps":[)" + steps + "]}";
  };
  const struct {
    std::string json;
    int step;
    std::string field;
  } faults[] = {
      {"[", 0, ""},
      {group(R"(["P01"])", step), 0, "pumps"},
      {group(R"(["P01","P02","P03","P04","P05"])", step), 0, "pumps"},
      {group(R"(["P01","P01"])", step), 0, "pumps"},
      {group(R"(["P01","a/b"])", step), 0, "pumps"},
      {group(R"(["P01","P02"])", ""), 0, "steps"},
      {group(
           R"(["P01","P02"])",
           step + "," +
               R"({"seconds":0,"total_start":10,"total_end":10,"shares_start":[50,50],"shares_end":[50,50],"pressure_limit":3.0})"),
       2, "seconds"},
      {group(R"(["P01","P02","P03"])", step), 1, "shares_start"},
      {group(
           R"(["P01","P02"])",
           R"({"seconds":60,"total_start":10,"total_end":10,"shares_start":[50,40],"shares_end":[50,50],"pressure_limit":3.0})"),
       1, "shares_start"},
      {group(
           R"(["P01","P02"])",
           R"({"seconds":60,"total_start":10,"total_end":401,"shares_start":[50,50],"shares_end":[50,50],"pressure_limit":3.0})"),
       1, "total_end"},
      {group(
           R"(["P01","P02"])",
           R"({"seconds":60,"total_start":10,"total_end":300,"shares_start":[50,50],"shares_end":[90,10],"pressure_limit":3.0})"),
       1, "flow_end"},
      {group(
           R"(["P01","P02"])",
           R"({"seconds":60,"total_start":10,"total_end":10,"shares_start":[50,50],"shares_end":[50.5,49.5],"pressure_limit":3.0})"),
       1, "shares_end"},
      {group(
           R"(["P01","P02"])",
           R"({"seconds":60,"total_start":10,"total_end":10,"shares_start":[50,50],"shares_end":[50,50],"pressure_limit":5.1})"),
       1, "pressure_limit"},
  };
  for (const auto& f : faults) {
    const auto read = ReadGroupProgram(f.json);
    ASSERT_TRUE(std::holds_alternative<program::Fault>(read)) << f.json;
    const program::Fault& fault = std::get<program::Fault>(read);
    EXPECT_EQ(fault.step, f.step) << f.json << ": " << fault.message;
    EXPECT_EQ(fault.field, f.field) << f.json << ": " << fault.message;
  }
}

}  // namespace
}  // namespace pump::group
