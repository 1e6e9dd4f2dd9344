// 联动运行…, offscreen: a group opened into the table, its preview and
// volumes, 开始 handing the group over, and a faulty cell that starts nothing.
#include "board/qt/group_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace pump::board::qt {
namespace {

const group::GroupProgram kGradient{"梯度", {"B", "A"}, {{1200, 10, 10, {95, 5}, {5, 95}, 30}}};

TEST(GroupDialog, AGroupFilledInStartsAsItWasWithEachPumpsVolumeShown) {
  std::optional<group::GroupProgram> started;
  GroupDialog dialog({"A", "B", "C"}, [&](const group::GroupProgram& program, const std::string&) {
    started = program;
    return std::string();
  });
  dialog.fill(kGradient, "gradient.json");
  auto* table = dialog.findChild<QTableWidget*>("groupSteps");
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->columnCount(), 8);  // time, two totals, two shares a pump, the limit
  EXPECT_EQ(table->horizontalHeaderItem(3)->text(), "B 份额 起 (%)") << "the file's order of pumps";
  EXPECT_EQ(table->item(0, 3)->text(), "95");
  // B ramps from 10 to 1 ml/min, A from 0 to 9: ties at 9.5 and 0.5 go to B, the earlier pump.
  EXPECT_EQ(dialog.findChild<QLabel*>("groupVolumes")->text(),
            "B 将输送 110.0 ml　A 将输送 90.0 ml");
  dialog.findChild<QPushButton*>("groupStart")->click();
  ASSERT_TRUE(started);
  EXPECT_EQ(*started, kGradient);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(GroupDialog, AFaultyCellOrARefusedStartStartsNothingAndSaysWhy) {
  int starts = 0;
  GroupDialog dialog({"A", "B"}, [&](const group::GroupProgram&, const std::string&) {
    ++starts;
    return std::string();
  });
  dialog.fill(kGradient);
  auto* table = dialog.findChild<QTableWidget*>("groupSteps");
  table->item(0, 4)->setText("90");  // B's shares at the end no longer add up to 100
  dialog.findChild<QPushButton*>("groupStart")->click();
  EXPECT_EQ(starts, 0);
  EXPECT_EQ(dialog.findChild<QLabel*>("groupFault")->text(),
            "step 1: shares_end must add up to 100");
  table->item(0, 4)->setText("x");
  EXPECT_TRUE(dialog.findChild<QLabel*>("groupFault")->text().contains("须为数字"));
}

}  // namespace
}  // namespace pump::board::qt
