#include "console/main_window.h"

namespace pump::console {

Form1::Form1(Form1Services services)
    : services_(std::move(services)),
      MSComm1(services_.serial),
      Timer1(services_.timer1),
      Timer2(services_.timer2),
      dialogs_(services_.dialogs),
      chart_(services_.picture1),
      runTimer_(services_.timer1, {lhour, lmin, lsed, Label1, Label2, Label3}, sender_,
                services_.dialogs) {
  Timer1.setOnTick([this] { Timer1_Timer(); });
  Timer2.setOnTick([this] { Timer2_Timer(); });
  MSComm1.setOnComm([this] { MSComm1_OnComm(); });
}

void Form1::Form_Load() {
  file.setEnabled(false);
  settime.setEnabled(false);
  Pump.setEnabled(false);
  rightkey.setEnabled(false);
  seting.setEnabled(false);
  lq = 0;
  pr = 0;
  Set_Pump_NO = 0;
  Timer1.setInterval(1000);
  Timer1.setEnabled(false);
  Timer2.setInterval(1500);
  Timer2.setEnabled(false);
  for (Label* clock : {&lhour, &lmin, &lsed, &Label1, &Label2, &Label3}) clock->setVisible(false);
  chart_.setUp();
}

void Form1::Form_MouseDown(int button, int /*shift*/, float /*x*/, float /*y*/) {
  constexpr int kRightButton = 2;
  // A disabled pop-up offers nothing to choose, so it is not shown at all.
  if (button == kRightButton && rightkey.enabled()) services_.rightkeyPopup.popup();
}

void Form1::end_Click() { services_.app.endNow(); }

void Form1::help_Click() {}

void Form1::SetConnected(bool connected) {
  connected_ = connected;
  for (MenuEntry* menu : {&file, &settime, &Pump, &rightkey, &seting}) menu->setEnabled(connected);
  Timer2.setEnabled(connected);
}

bool Form1::LineSender::send(std::string_view frame) {
  Form1& form = form_;
  if (!form.MSComm1.isOpen()) {
    form.dialogs_.MsgBox("通信端口未打开，请先通过“通信”菜单打开通信端口!", "通信错误");
    return false;
  }
  if (!form.MSComm1.output(frame)) {
    form.dialogs_.MsgBox("命令发送失败，请检查通信端口!", "通信错误");
    return false;
  }
  return true;
}

// The timed run lives in its own component; the window forwards its events.
void Form1::stset_Click() { runTimer_.stset_Click(); }
void Form1::ststart_Click() { runTimer_.ststart_Click(); }
void Form1::stzanting_Click() { runTimer_.stzanting_Click(); }
void Form1::stcontiune_Click() { runTimer_.stcontiune_Click(); }
void Form1::stend_Click() { runTimer_.stend_Click(); }
void Form1::Timer1_Timer() { runTimer_.Timer1_Timer(); }

}  // namespace pump::console
