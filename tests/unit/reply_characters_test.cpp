// A reply's value bytes reach the displays one character per byte, whatever
// the bytes are.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/console_harness.h"

namespace pump {
namespace {

using testing::ConsoleHarness;

// Code points in a UTF-8 text: every byte that does not continue a sequence.
int CharacterCount(const std::string& utf8) {
  int count = 0;
  for (const char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return count;
}

struct Connected : ConsoleHarness {
  Connected() { openPort("1"); }
  std::string pressure() const { return window->display.currentPressure.caption(); }
};

TEST(ReplyCharacters, BytesAreLatin1CharactersNotUtf8) {
  Connected f;
  f.serial.receive("Q00N\xC3\xA9\xC3\xA9Y");
  EXPECT_EQ(f.pressure(), "\u00C3\u00A9\u00C3\u00A9");
  f.serial.receive(
      "Q00L\xFF"
      "0\xE9"
      "1Y");
  EXPECT_EQ(f.window->display.flowSetpoint.caption(), "\u00FF0\u00E91");
  f.serial.receive("Q00P\xB0\xB1x\xB2Y");
  EXPECT_EQ(f.window->display.pressureLimit.caption(), "\u00B0\u00B1.\u00B2");
}

TEST(ReplyCharacters, ControlBytesShowAsAVisibleStandInAndCutNothing) {
  Connected f;
  f.serial.receive(
      std::string("Q00N01\0"
                  "5Y",
                  9));
  EXPECT_EQ(f.pressure(), "01\uFFFD5");
  f.serial.receive("Q00N\x7F\x80\x9F\xADY");
  EXPECT_EQ(f.pressure(), "\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(f.window->record().count(), 0) << "none of these is a reading";
}

TEST(ReplyCharacters, EveryByteInEveryPlaceGivesAFourCharacterCaption) {
  Connected f;
  for (int byte = 0; byte < 256; ++byte) {
    for (int place = 0; place < 4; ++place) {
      std::string value = "01.5";
      value[static_cast<std::size_t>(place)] = static_cast<char>(byte);
      f.serial.receive("Q00N" + value + "Y");
      ASSERT_EQ(CharacterCount(f.pressure()), 4) << "byte " << byte << " at " << place;
    }
  }
}

}  // namespace
}  // namespace pump
