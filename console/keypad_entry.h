// Setpoint entry on the keypad. "L" starts a flow entry, "P" a pressure entry;
// digits fill it. An entry ends by its length alone: three digits for flow,
// two digits, a point and a digit for pressure. Each key press says what the
// display should show and whether a command goes out or a refusal is shown.
#pragma once

#include <optional>
#include <string>

#include "link/pump_command.h"

namespace pump::console {

enum class EntryMode { Idle, Flow, Pressure };

// A box that refuses what was typed.
struct Refusal {
  const char* text;
  const char* title;
  std::string typed;  // the value as typed
};

struct KeyOutcome {
  std::optional<std::string> flowShown = std::nullopt;  // new text of the flow read-out
  std::optional<std::string> pressureShown =
      std::nullopt;                                     // new text of the pressure-limit read-out
  std::optional<std::string> modeShown = std::nullopt;  // new text of the entry-mode read-out
  // Set when the entry is complete and accepted; once it has gone out the
  // entry-mode read-out is cleared.
  std::optional<link::PumpCommand> command = std::nullopt;
  std::optional<Refusal> refusal = std::nullopt;  // the entry is over; the mode read-out stays
};

class KeypadEntry {
 public:
  KeyOutcome pressFlowKey();
  KeyOutcome pressPressureKey();
  KeyOutcome pressDigit(char digit);

  // Keypad setpoints go to the pump chosen in the pump-number dialog.
  void setAddress(int address) { address_ = address; }

 private:
  KeyOutcome completeFlow();
  KeyOutcome completePressure();

  EntryMode mode_ = EntryMode::Idle;
  // The entry as typed. The read-out shows it, but a pump reply may overwrite
  // the read-out mid-entry; the entry goes on from this text, so it always
  // completes at its usual length.
  std::string typed_;
  int address_ = 0;
};

}  // namespace pump::console
