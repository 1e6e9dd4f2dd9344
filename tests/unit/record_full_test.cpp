// The record holds a million readings: when it is full the operator hears so
// once, and a save of it says so in its box.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/console_harness.h"

namespace pump {
namespace {

using testing::ConsoleHarness;

constexpr const char* kFull = "压力记录已满(1000000 个数值)，之后的读数不再记入记录!";

std::string Readings(int count) {
  std::string replies;
  replies.reserve(static_cast<std::size_t>(count) * 9);
  for (int i = 0; i < count; ++i) replies += "Q00N0" + std::to_string(i % 10) + ".5Y";
  return replies;
}

TEST(RecordFull, TheOperatorIsToldOnceWhenTheFirstReadingIsDroppedAndTheSaveSaysItIsFull) {
  ConsoleHarness f({.recordPath = "rec.txt"});
  f.openPort("1");
  f.serial.receive(Readings(records::PressureRecord::kCapacity - 1));
  f.window->saveRecord();
  ASSERT_EQ(f.dialogs.messages().size(), 1U);
  EXPECT_EQ(f.dialogs.messages()[0].prompt, "当前压力数值以存储") << "not full yet";

  f.serial.receive(Readings(1));  // the millionth fills the record: nothing dropped yet
  EXPECT_EQ(f.dialogs.messages().size(), 1U);
  f.serial.receive(Readings(5));
  ASSERT_EQ(f.dialogs.messages().size(), 2U);
  EXPECT_EQ(f.dialogs.messages()[1].prompt, kFull);
  EXPECT_EQ(f.dialogs.messages()[1].title, "存储数据");
  f.serial.receive(Readings(20));
  EXPECT_EQ(f.dialogs.messages().size(), 2U) << "told once only";
  EXPECT_EQ(f.window->record().count(), records::PressureRecord::kCapacity);

  f.window->saveRecord();
  ASSERT_EQ(f.dialogs.messages().size(), 3U);
  EXPECT_EQ(f.dialogs.messages()[2].prompt,
            "当前压力数值以存储\n记录已满：只存储了前 1000000 个数值，之后的读数未记入。");
  EXPECT_EQ(f.dialogs.messages()[2].title, "存储数据");
}

}  // namespace
}  // namespace pump
