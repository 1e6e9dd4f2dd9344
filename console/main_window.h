// The main window Form1 as plain state and handlers: every control the
// handlers read or write, the window-level variables, and one handler per
// event. The Qt front end binds widgets to these objects and calls the
// handlers; tests call them directly.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/command_sender.h"
#include "link/frame_assembler.h"
#include "platform/files.h"
#include "platform/printer.h"
#include "platform/serial_port.h"
#include "platform/ui.h"
#include "records/pressure_record.h"
#include "records/trend_chart.h"
#include "timedrun/run_timer.h"

namespace pump::console {

// What the window needs from the outside world.
struct Form1Services {
  SerialPort& serial;      // MSComm1
  Timer& timer1;           // run clock
  Timer& timer2;           // status poll
  Dialogs& dialogs;        // message and input boxes
  Canvas& picture1;        // trend chart surface
  Printer& printer;        // printer dialog and default printer
  Files& files;            // record file
  Application& app;        // ending the program
  PopupMenu& rightkeyPopup;  // shows rightkey's items at the mouse
  WindowHandle& recordViewer;  // Form2
  std::string recordPath;  // where the record file lives
};

class Form1 {
 public:
  explicit Form1(Form1Services services);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // --- Controls -----------------------------------------------------------
  // Read-out labels, with their design captions.
  std::array<Label, 3> Label4{Label{"当前压力"}, Label{"设定压力"}, Label{"设定流量"}};
  Label LcurrP{"00.0"};
  Label LsetP{"02.0"};
  Label LsetF{"000"};
  std::array<Label, 3> Label5{Label{" MPa"}, Label{" MPa"}, Label{" ml/m"}};
  Label LSetState{""};
  Label Lstate{"     STOP"};
  // Run clock; visible by design, hidden by the start-up step.
  Label lhour{"00"};
  Label Label1{"时"};
  Label lmin{"00"};
  Label Label2{"分"};
  Label lsed{"00"};
  Label Label3{"秒"};

  // Top-level menu entries that can be enabled and disabled.
  MenuEntry file, settime, Pump, seting, Communication, rightkey, help;

  // --- Window-level variables ----------------------------------------------
  std::int16_t lq = 0;
  std::int16_t pr = 0;
  std::int16_t Set_Pump_NO = 0;
  std::string setliqstr;
  double setliq = 0;
  double setpresure = 0;

  // --- Events ----------------------------------------------------------------
  void Form_Load();
  void Form_MouseDown(int button, int shift, float x, float y);
  void Form_Unload();

  // Keypad: every key is a control-array member; the index is not used.
  void Cmd0_Click(int index);  // the "0" key and both arrow keys
  void Cmd1_Click(int index);
  void Cmd2_Click(int index);
  void Cmd3_Click(int index);
  void Cmd4_Click(int index);
  void Cmd5_Click(int index);
  void Cmd6_Click(int index);
  void Cmd7_Click(int index);
  void Cmd8_Click(int index);
  void Cmd9_Click(int index);
  void Cmdl_Click(int index);
  void Cmdp_Click(int index);
  void Cmdr_Click(int index);
  void Cmds_Click(int index);

  // Menu items.
  void save_Click();
  void print_Click();
  void viewrecord_Click();
  void end_Click();
  void stset_Click();
  void ststart_Click();
  void stzanting_Click();
  void stcontiune_Click();
  void stend_Click();
  void run_Click();
  void stop_Click();
  void liquid_Click();
  void pressure_Click();
  void Pump_NO_Click();
  void Communication_Click();
  void rrun_Click();
  void rstop_Click();
  void help_Click();

  // Timers and the serial control.
  void Timer1_Timer();
  void Timer2_Timer();
  void MSComm1_OnComm();

  // --- Parts owned by the window --------------------------------------------
  const records::TrendChart& chart() const { return chart_; }
  const records::PressureRecord& record() const { return record_; }
  const timedrun::RunTimer& runTimer() const { return runTimer_; }
  bool connected() const { return connected_; }

 private:
  // Writes frames to MSComm1 and tells the operator when one cannot go out.
  class LineSender : public link::CommandSender {
   public:
    explicit LineSender(Form1& form) : form_(form) {}
    bool send(std::string_view frame) override;

   private:
    Form1& form_;
  };

  void DigitKey(char digit);
  void HandleReply(std::string_view frame);
  void SetConnected(bool connected);
  // Gives up a failing line: closes it, locks the menus, stops the poll, then tells the operator.
  void DropLine(const std::string& message);

  Form1Services services_;
  SerialPort& MSComm1;
  Timer& Timer1;
  Timer& Timer2;
  Dialogs& dialogs_;

  LineSender sender_{*this};
  link::FrameAssembler assembler_;
  records::TrendChart chart_;
  records::PressureRecord record_;
  timedrun::RunTimer runTimer_;
  bool connected_ = false;  // the five menus are released and the poll runs
};

}  // namespace pump::console
