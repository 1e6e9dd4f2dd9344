#include "console/window_design.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace pump {
namespace {

namespace design = console::design;

TEST(WindowDesign, ArrowKeysAreMembersOfTheZeroKeyArrayAndTypeAZero) {
  int zeroMembers = 0;
  for (const design::KeyDesign& d : design::Keys()) {
    if (d.face == "▲" || d.face == "▼" || d.face == "0") {
      EXPECT_EQ(d.name, "Cmd0");
      EXPECT_EQ(d.press, nullptr);
      EXPECT_EQ(d.digit, '0');
      ++zeroMembers;
    }
  }
  EXPECT_EQ(zeroMembers, 3);
}

TEST(WindowDesign, FocusOrderVisitsEveryKeyOnceThenTheChart) {
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

TEST(WindowDesign, TwipsBecomePixelsAtFifteenToTheNearestPixel) {
  EXPECT_EQ(ToPixels(10905), 727);
  EXPECT_EQ(ToPixels(7360), 491);
  EXPECT_EQ(ToPixels(8020), 535);
  EXPECT_EQ(ToPixels(2175), 145);
}

}  // namespace
}  // namespace pump
