#include "console/keypad_entry.h"

#include "platform/number_text.h"
#include "session/command_checks.h"
#include "texts/operator_texts.h"

namespace pump::console {
namespace {

constexpr std::size_t kFlowEntryLength = 3;
constexpr std::size_t kPressureDigitsBeforePoint = 2;
constexpr std::size_t kPressureEntryLength = 4;

}  // namespace

// A key that starts an entry is ignored while either entry is going on.
KeyOutcome KeypadEntry::pressFlowKey() {
  if (mode_ != EntryMode::Idle) return {};
  mode_ = EntryMode::Flow;
  typed_.clear();
  return {.flowShown = "", .modeShown = texts::kFlowEntry};
}

KeyOutcome KeypadEntry::pressPressureKey() {
  if (mode_ != EntryMode::Idle) return {};
  mode_ = EntryMode::Pressure;
  typed_.clear();
  return {.pressureShown = "", .modeShown = texts::kPressureEntry};
}

KeyOutcome KeypadEntry::pressDigit(char digit) {
  if (mode_ == EntryMode::Flow) {
    typed_ += digit;
    if (typed_.size() == kFlowEntryLength) return completeFlow();
    return {.flowShown = typed_};
  }
  if (mode_ == EntryMode::Pressure) {
    typed_ += digit;
    // The point is the program's, added in the same key press as the second digit.
    if (typed_.size() == kPressureDigitsBeforePoint) typed_ += '.';
    if (typed_.size() == kPressureEntryLength) return completePressure();
    return {.pressureShown = typed_};
  }
  return {};
}

// The entry is over before anything else happens, whether the value is then
// sent or refused.
KeyOutcome KeypadEntry::completeFlow() {
  mode_ = EntryMode::Idle;
  KeyOutcome outcome{.flowShown = typed_};
  const auto flow = ToDouble(typed_);
  if (!flow || *flow > session::kFlowLimit) {
    outcome.refusal = Refusal{texts::kKeypadFlowRefusal, texts::kKeypadRefusalTitle, typed_};
  } else {
    outcome.command = link::PumpCommand::SetFlow(address_, *flow);
  }
  return outcome;
}

KeyOutcome KeypadEntry::completePressure() {
  mode_ = EntryMode::Idle;
  KeyOutcome outcome{.pressureShown = typed_};
  const auto pressure = ToDouble(typed_);
  if (!pressure || *pressure > session::kPressureLimit) {
    outcome.refusal = Refusal{texts::kKeypadPressureRefusal, texts::kKeypadRefusalTitle, typed_};
  } else {
    outcome.command = link::PumpCommand::SetPressureLimit(address_, *pressure);
  }
  return outcome;
}

}  // namespace pump::console
