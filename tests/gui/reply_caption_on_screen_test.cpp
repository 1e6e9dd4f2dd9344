// The current-pressure read-out on screen shows a reply's value as four
// characters, whatever its bytes.
#include <gtest/gtest.h>

#include <QLabel>

#include "tests/gui/main_window_view_harness.h"

namespace pump {
namespace {

TEST(ReplyCaptionOnScreen, AnyFourValueBytesShowAsFourCharacters) {
  testing::MainWindowViewHarness f;
  f.openPort("1");
  const QLabel* shown = f.find<QLabel>("LcurrP");
  ASSERT_NE(shown, nullptr);
  f.serial.receive(
      std::string("Q00N01\0"
                  "5Y",
                  9));
  EXPECT_EQ(shown->text(), QStringLiteral("01\uFFFD5"));
  f.serial.receive("Q00N\xC3\xA9\xC3\xA9Y");
  EXPECT_EQ(shown->text(), QStringLiteral("\u00C3\u00A9\u00C3\u00A9"));
  f.serial.receive("Q00N\xFF\xFF\xFF\xFFY");
  EXPECT_EQ(shown->text(), QStringLiteral("\u00FF\u00FF\u00FF\u00FF"));
}

}  // namespace
}  // namespace pump
