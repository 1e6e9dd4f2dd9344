// For the tests that set the flow, the pressure limit and the pump number:
// a console with its line open, and what one setpoint entry ended in (the
// frame it sent and the box that refused it).
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/console_harness.h"

namespace pump::testing {

struct OpenLine : ConsoleHarness {
  OpenLine() {
    openPort();
    dialogs.shown.clear();  // only the boxes of the test itself count
  }
};

// Chooses the pump the keypad addresses, through its dialog.
inline void ChoosePump(ConsoleHarness& f, int number) {
  f.dialogs.answers.push_back(std::to_string(number));
  f.window->askPumpNumber();
}

// The line carries exactly `sent`, or nothing; one box titled `title` said
// `refusal`, or no box came.
inline void ExpectSentAndRefused(const ConsoleHarness& f, const std::optional<std::string>& sent,
                                 const std::optional<std::string>& refusal,
                                 const std::string& title) {
  if (sent) {
    EXPECT_EQ(f.serial.written, std::vector<std::string>{*sent});
  } else {
    EXPECT_TRUE(f.serial.written.empty());
  }
  const auto messages = f.dialogs.messages();
  if (refusal) {
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].prompt, *refusal);
    EXPECT_EQ(messages[0].title, title);
  } else {
    EXPECT_TRUE(messages.empty());
  }
}

}  // namespace pump::testing
