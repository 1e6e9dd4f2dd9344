#include "console/form1_design.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "console/form1_controls.h"
#include "tests/support/form1_fixture.h"

namespace pump {
namespace {

namespace design = console::design;
using testing::Form1Fixture;

TEST(Form1Design, EveryLabelHasItsModelLabelHoldingTheDesignCaption) {
  Form1Fixture f;
  for (const design::LabelDesign& d : design::Labels()) {
    const Label* model = console::FindLabel(*f.form, d.name, d.index);
    ASSERT_NE(model, nullptr) << d.name << "(" << d.index << ")";
    EXPECT_EQ(model->caption(), d.caption) << d.name << "(" << d.index << ")";
  }
  EXPECT_EQ(console::FindLabel(*f.form, "Label4", 3), nullptr);
  EXPECT_EQ(console::FindLabel(*f.form, "LsetF", 0), nullptr);
}

TEST(Form1Design, EveryKeyAndMenuEntryReachesAHandler) {
  Form1Fixture f;
  for (const design::KeyDesign& d : design::Keys()) {
    EXPECT_NE(console::FindKeyHandler(d.name), nullptr) << d.name;
  }
  for (const design::MenuDesign& d : design::Menus()) {
    const bool clickable =
        d.kind == design::MenuKind::Item || d.kind == design::MenuKind::BarCommand;
    if (clickable) {
      EXPECT_NE(console::FindMenuHandler(d.name), nullptr) << d.name;
    }
    if (d.level == 1) {
      EXPECT_NE(console::FindMenuEntry(*f.form, d.name), nullptr) << d.name;
    }
  }
}

TEST(Form1Design, ArrowKeysAreMembersOfTheZeroKeyArray) {
  Form1Fixture f;
  int zeroMembers = 0;
  for (const design::KeyDesign& d : design::Keys()) {
    if (d.face == "▲" || d.face == "▼" || d.face == "0") {
      EXPECT_EQ(d.name, "Cmd0");
      ++zeroMembers;
    }
  }
  EXPECT_EQ(zeroMembers, 3);
  EXPECT_EQ(console::FindKeyHandler("Cmd0"), &console::Form1::Cmd0_Click);
}

TEST(Form1Design, FocusOrderVisitsEveryKeyOnceThenTheChart) {
  const auto order = design::FocusOrder();
  ASSERT_EQ(order.size(), design::Keys().size() + 1);
  EXPECT_EQ(order.back(), (design::ControlId{"Picture1", design::kNoIndex}));
  std::set<std::pair<std::string_view, int>> seen;
  for (const design::ControlId& id : order.first(order.size() - 1)) {
    const auto keys = design::Keys();
    EXPECT_TRUE(std::any_of(keys.begin(), keys.end(), [&](const design::KeyDesign& k) {
      return k.name == id.name && k.index == id.index;
    })) << id.name;
    EXPECT_TRUE(seen.insert({id.name, id.index}).second) << id.name << " twice";
  }
}

TEST(Form1Design, TwipsBecomePixelsAtFifteenToTheNearestPixel) {
  EXPECT_EQ(design::ToPixels(10905), 727);
  EXPECT_EQ(design::ToPixels(7360), 491);
  EXPECT_EQ(design::ToPixels(8020), 535);
  EXPECT_EQ(design::ToPixels(2175), 145);
}

}  // namespace
}  // namespace pump
