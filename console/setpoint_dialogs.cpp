// Setpoint dialogs and the run and stop menu items.
//
// These handlers write no display: the setpoint read-outs change only when the
// pump answers. Their frames always carry address "00". A failed write has
// already been reported by the sender; there is nothing left to undo.
#include "console/main_window.h"
#include "console/setpoint_rules.h"
#include "link/pump_frame.h"
#include "platform/number_text.h"

namespace pump::console {
namespace {

constexpr int kDialogAddress = 0;

constexpr char kFlowPrompt[] = "请输入您需要的流量 单位 ml/min \r\n流量范围为1—200ml/min";
constexpr char kPressurePrompt[] = "请输入您需要保护压 单位 MPa\r\n压力设定范围为0—5.0MPa";
constexpr char kPumpNumberPrompt[] = "请输入要控制泵的编号 ";

}  // namespace

// The answer is stored before its range test, so a refused value stays in
// setliq until the next flow dialog. A negative flow has no four-digit form
// and is refused like one above the limit.
void Form1::liquid_Click() {
  const auto answer = ToDouble(dialogs_.InputBox(kFlowPrompt, "流量设定", 0));
  if (!answer) return;
  setliq = *answer;
  const auto field = setliq < 0 || setliq > kFlowLimit ? std::nullopt : link::FlowField(setliq);
  if (!field) {
    dialogs_.MsgBox(kDialogFlowRefusal, kDialogRefusalTitle);
    return;
  }
  if (const auto frame = link::BuildFrame(kDialogAddress, 'L', *field)) sender_.send(*frame);
}

void Form1::pressure_Click() {
  const auto answer = ToDouble(dialogs_.InputBox(kPressurePrompt, "压力设定", 2));
  if (!answer) return;
  setpresure = *answer;
  const auto field = setpresure < 0 || setpresure > kPressureLimit
                         ? std::nullopt
                         : link::PressureField(setpresure);
  if (!field) {
    dialogs_.MsgBox(kDialogPressureRefusal, kDialogRefusalTitle);
    return;
  }
  if (const auto frame = link::BuildFrame(kDialogAddress, 'P', *field)) sender_.send(*frame);
}

// The default is always 0, not the present number. A text that is not a
// number, or lies beyond the Integer range, ends the dialog silently; a number
// the frame's two address digits cannot carry is refused and the old kept.
void Form1::Pump_NO_Click() {
  const auto number = ToInteger(dialogs_.InputBox(kPumpNumberPrompt, "编号设定", 0));
  if (!number) return;
  if (*number < 0 || *number > kHighestPumpNumber) {
    dialogs_.MsgBox(kPumpNumberRefusal, kDialogRefusalTitle);
    return;
  }
  Set_Pump_NO = *number;
}

// The menu items send only; the run-state display belongs to the keypad keys.
void Form1::run_Click() { sender_.send(link::kRunFrame); }
void Form1::stop_Click() { sender_.send(link::kStopFrame); }
void Form1::rrun_Click() { sender_.send(link::kRunFrame); }
void Form1::rstop_Click() { sender_.send(link::kStopFrame); }

}  // namespace pump::console
