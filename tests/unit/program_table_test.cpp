// The program editor's table: cell texts to a program, a fault per faulty
// cell in the operator's words, row edits and spreadsheet pastes.
#include "program/program_table.h"

#include <gtest/gtest.h>

namespace pump::program {
namespace {

ProgramTable TableOf(std::initializer_list<ProgramTable::Row> rows) {
  ProgramTable table("升流量");
  for (const auto& row : rows) {
    const int at = table.rowCount();
    table.insertRow(at);
    for (int column = kSecondsColumn; column < kColumnCount; ++column)
      table.setCell(at, column, row[column]);
  }
  return table;
}

std::vector<std::string> RowTexts(const ProgramTable& table, int row) {
  std::vector<std::string> texts;
  for (int column = 0; column < kColumnCount; ++column) texts.push_back(table.cell(row, column));
  return texts;
}

TEST(ProgramTable, WellFormedCellsMakeTheProgramWithTimeWrittenEitherWay) {
  const auto table = TableOf({{"", "60", "0", "50", "3.0"},
                              {"", "00:10:00", "50", "50", "3"},
                              {"", " 01:30 ", "50", "0", "2.5"}});
  EXPECT_TRUE(table.faults().empty());
  const auto program = table.program();
  ASSERT_TRUE(program);
  EXPECT_EQ(*program, (Program{"升流量", {{60, 0, 50, 30}, {600, 50, 50, 30}, {90, 50, 0, 25}}}));
  EXPECT_EQ(HoursMinutesSeconds(program->totalSeconds()), "00:12:30");
  EXPECT_EQ(VolumeText(program->volumeMl()), "562.5");  // 25 + 500 + 37.5
}

TEST(ProgramTable, EachFaultyCellIsNamedByRowAndColumnInTheOperatorsWords) {
  const auto table = TableOf({{"", "0", "10", "10", "2.0"},
                              {"", "60", "", "201", "2.0"},
                              {"", "1:5", "10", "-1", "2.55"},
                              {"", "60", "7.5", "10", "5.1"}});
  const std::vector<CellFault> expected{
      {0, kSecondsColumn, "步骤 1，时长：时长须为 1 到 360000 秒的整数，或写作 时:分:秒。"},
      {1, kFlowStartColumn, "步骤 2，起始流量：请填写流量。"},
      {1, kFlowEndColumn, "步骤 2，结束流量：流量须为 0 到 200 的整数（ml/min）。"},
      {2, kSecondsColumn, "步骤 3，时长：时长须为 1 到 360000 秒的整数，或写作 时:分:秒。"},
      {2, kFlowEndColumn, "步骤 3，结束流量：流量须为 0 到 200 的整数（ml/min）。"},
      {2, kPressureLimitColumn, "步骤 3，压力上限：压力上限须为 0.0 到 5.0 MPa，最多一位小数。"},
      {3, kFlowStartColumn, "步骤 4，起始流量：流量须为 0 到 200 的整数（ml/min）。"},
      {3, kPressureLimitColumn, "步骤 4，压力上限：压力上限须为 0.0 到 5.0 MPa，最多一位小数。"},
  };
  EXPECT_EQ(table.faults(), expected);
  EXPECT_FALSE(table.program());
  EXPECT_FALSE(table.cellFault(0, kFlowStartColumn));
  // The preview still has the rows that read whole: none here.
  EXPECT_TRUE(table.draft().steps.empty());
}

TEST(ProgramTable, AProgramAsAWholeMayBeEmptyOrTooLong) {
  ProgramTable empty("空");
  EXPECT_EQ(empty.faults(), (std::vector<CellFault>{{-1, -1, "程序至少要有一个步骤。"}}));
  const auto tooLong = TableOf({{"", "100:00:00", "1", "1", "1.0"}, {"", "1", "1", "1", "1.0"}});
  EXPECT_EQ(tooLong.faults(), (std::vector<CellFault>{{-1, -1, "程序总时长不能超过 100 小时。"}}));
  EXPECT_FALSE(tooLong.program());
  const auto justFits = TableOf({{"", "100:00:00", "1", "1", "1.0"}});
  EXPECT_TRUE(justFits.program());
}

TEST(ProgramTable, RowsAreInsertedFollowingThePreviousStepDeletedAndMoved) {
  auto table = TableOf({{"", "60", "0", "50", "3.0"}, {"", "30", "50", "20", "2.0"}});
  table.insertRow(1);
  EXPECT_EQ(RowTexts(table, 1), (std::vector<std::string>{"2", "60", "50", "50", "3.0"}));
  EXPECT_EQ(table.cell(2, kStepColumn), "3");
  table.moveRow(2, 0);
  EXPECT_EQ(RowTexts(table, 0), (std::vector<std::string>{"1", "30", "50", "20", "2.0"}));
  EXPECT_EQ(RowTexts(table, 1), (std::vector<std::string>{"2", "60", "0", "50", "3.0"}));
  table.removeRow(0);
  table.removeRow(5);  // no such row: nothing happens
  EXPECT_EQ(table.rowCount(), 2);
  EXPECT_EQ(RowTexts(table, 0), (std::vector<std::string>{"1", "60", "0", "50", "3.0"}));
  ProgramTable fresh;
  fresh.insertRow(0);
  EXPECT_EQ(RowTexts(fresh, 0), (std::vector<std::string>{"1", "60", "0", "0", "2.0"}));
}

TEST(ProgramTable, SpreadsheetRowsPasteOverAndBelowWithWindowsLineEndsAndAHeading) {
  auto table = TableOf({{"", "60", "0", "0", "1.0"}});
  const auto pasted = table.paste(0, kSecondsColumn,
                                  "步骤\t时长\t起始流量\t结束流量\t压力上限\r\n"
                                  "1\t120\t0\t40\t3.0\r\n"
                                  "2\t 600 \t40\t40\t3.0\r\n"
                                  "\r\n"
                                  "3\t60\t40\t0\t2.5\r\n");
  EXPECT_EQ(pasted.first, 0);
  EXPECT_EQ(pasted.count(), 3);
  ASSERT_TRUE(table.program());
  EXPECT_EQ(table.program()->steps,
            (std::vector<Step>{{120, 0, 40, 30}, {600, 40, 40, 30}, {60, 40, 0, 25}}));
}

TEST(ProgramTable, FieldsWithoutTheStepNumberFillFromTheChosenColumn) {
  auto table = TableOf({{"", "60", "0", "0", "1.0"}, {"", "60", "0", "0", "1.0"}});
  const auto pasted = table.paste(1, kFlowStartColumn, "10\t20\n30\t40\t2.0\t99\n");
  EXPECT_EQ(pasted.first, 1);
  EXPECT_EQ(pasted.last, 2);
  EXPECT_EQ(RowTexts(table, 1), (std::vector<std::string>{"2", "60", "10", "20", "1.0"}));
  // A new row: the fields past the last column are dropped; 时长 stays empty.
  EXPECT_EQ(RowTexts(table, 2), (std::vector<std::string>{"3", "", "30", "40", "2.0"}));
  EXPECT_EQ(table.faults().front().message, "步骤 3，时长：请填写时长。");
}

TEST(ProgramTable, ALoadedProgramShowsItsValuesAndReadsBackTheSame) {
  const Program program{"调理", {{600, 20, 20, 15}, {1800, 50, 50, 40}, {300, 50, 0, 0}}};
  const auto table = ProgramTable::FromProgram(program);
  EXPECT_EQ(RowTexts(table, 1), (std::vector<std::string>{"2", "1800", "50", "50", "4.0"}));
  EXPECT_EQ(RowTexts(table, 2), (std::vector<std::string>{"3", "300", "50", "0", "0.0"}));
  EXPECT_EQ(table.program(), program);
}

TEST(ProgramTable, IsModifiedByAnyEditUntilSavedAndNotByTypingTheOldTextBack) {
  auto table = ProgramTable::FromProgram({"调理", {{600, 20, 20, 15}, {300, 20, 0, 0}}});
  EXPECT_FALSE(table.modified());
  table.setCell(1, kFlowEndColumn, "5");
  EXPECT_TRUE(table.modified());
  table.setCell(1, kFlowEndColumn, "0");
  EXPECT_FALSE(table.modified());
  table.moveRow(0, 1);
  EXPECT_TRUE(table.modified());
  table.markSaved();
  EXPECT_FALSE(table.modified());
  table.setName("调理 2");
  EXPECT_TRUE(table.modified());
  table.setName("调理");
  table.paste(2, kSecondsColumn, "60\t0\t0\t0.0\n");
  EXPECT_TRUE(table.modified());
  table.removeRow(2);
  EXPECT_FALSE(table.modified());
}

}  // namespace
}  // namespace pump::program
