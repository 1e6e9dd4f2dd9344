// Keypad setpoint entry and the RUN and STOP keys.
//
// An entry ends by its length alone: three digits for flow, two digits, a
// point and a digit for pressure. The typed text is kept in keypadEntry_ as
// well as shown in LsetF/LsetP, because a pump reply may rewrite the display
// between two key presses; the next digit then carries on with what the
// operator typed, so the entry always completes at its usual length.
#include "console/main_window.h"
#include "console/setpoint_rules.h"
#include "link/pump_frame.h"
#include "platform/number_text.h"

namespace pump::console {
namespace {

constexpr std::size_t kFlowEntryLength = 3;
constexpr std::size_t kPressureDigitsBeforePoint = 2;
constexpr std::size_t kPressureEntryLength = 4;

}  // namespace

void Form1::Cmdl_Click(int) {
  if (lq == 1 || pr == 1) return;
  lq = 1;
  keypadEntry_.clear();
  LsetF.setCaption("");
  LSetState.setCaption("Lset");
}

void Form1::Cmdp_Click(int) {
  if (pr == 1 || lq == 1) return;
  pr = 1;
  keypadEntry_.clear();
  LsetP.setCaption("");
  LSetState.setCaption("Pset");
}

void Form1::DigitKey(char digit) {
  if (lq == 1) {
    keypadEntry_ += digit;
    LsetF.setCaption(keypadEntry_);
    if (keypadEntry_.size() == kFlowEntryLength) CompleteFlowEntry();
  } else if (pr == 1) {
    keypadEntry_ += digit;
    // The point is the program's, added in the same key press as the second digit.
    if (keypadEntry_.size() == kPressureDigitsBeforePoint) keypadEntry_ += '.';
    LsetP.setCaption(keypadEntry_);
    if (keypadEntry_.size() == kPressureEntryLength) CompletePressureEntry();
  }
}

// The entry is over before anything else happens, whether the value is then
// sent, refused or the send fails; a refused entry leaves "Lset" showing.
void Form1::CompleteFlowEntry() {
  lq = 0;
  const auto flow = ToDouble(keypadEntry_);
  if (!flow || *flow > kFlowLimit) {
    dialogs_.MsgBox(kKeypadFlowRefusal, kKeypadRefusalTitle);
    return;
  }
  if (SendKeypadSetpoint('L', link::FlowField(*flow))) LSetState.setCaption("");
}

void Form1::CompletePressureEntry() {
  pr = 0;
  const auto pressure = ToDouble(keypadEntry_);
  if (!pressure || *pressure > kPressureLimit) {
    dialogs_.MsgBox(kKeypadPressureRefusal, kKeypadRefusalTitle);
    return;
  }
  if (SendKeypadSetpoint('P', link::PressureField(*pressure))) LSetState.setCaption("");
}

// Keypad setpoints go to the address chosen in the pump-number dialog. The
// frame body is kept in setliqstr before the write, so it stands even when
// the write is refused.
bool Form1::SendKeypadSetpoint(char letter, const std::optional<std::string>& field) {
  if (!field) return false;
  const auto frame = link::BuildFrame(Set_Pump_NO, letter, *field);
  if (!frame) {
    dialogs_.MsgBox(kPumpNumberRefusal, kDialogRefusalTitle);
    return false;
  }
  setliqstr = frame->substr(1);
  return sender_.send("Q" + setliqstr);
}

void Form1::Cmd0_Click(int) { DigitKey('0'); }
void Form1::Cmd1_Click(int) { DigitKey('1'); }
void Form1::Cmd2_Click(int) { DigitKey('2'); }
void Form1::Cmd3_Click(int) { DigitKey('3'); }
void Form1::Cmd4_Click(int) { DigitKey('4'); }
void Form1::Cmd5_Click(int) { DigitKey('5'); }
void Form1::Cmd6_Click(int) { DigitKey('6'); }
void Form1::Cmd7_Click(int) { DigitKey('7'); }
void Form1::Cmd8_Click(int) { DigitKey('8'); }
void Form1::Cmd9_Click(int) { DigitKey('9'); }

// RUN and STOP always address pump "00". The run-state display changes only
// once the frame has gone out.
void Form1::Cmdr_Click(int) {
  if (sender_.send(link::kRunFrame)) Lstate.setCaption("     RUN ");
}

void Form1::Cmds_Click(int) {
  if (sender_.send(link::kStopFrame)) Lstate.setCaption("     STOP");
}

}  // namespace pump::console
