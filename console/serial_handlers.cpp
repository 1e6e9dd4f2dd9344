// Opening the line, the status poll, the close and the reply handling.
#include <string>

#include "console/main_window.h"
#include "link/port_name.h"
#include "link/pump_frame.h"
#include "platform/number_text.h"

namespace pump::console {
namespace {

constexpr const char* kLineSettings = "9600,n,8,1";
// One frame's worth: each reply arriving alone raises one receive event.
constexpr int kReceiveThreshold = 9;
constexpr const char* kCommErrorTitle = "通信错误";
constexpr const char* kTimedRunHalted = "\n定时运行已中断，泵可能仍在运行，请检查泵的状态!";

std::string NotAPortMessage(const std::string& answer) {
  return "“" + answer + "”不是有效的通信端口，请输入端口号(如 1)或设备名(如 /dev/ttyUSB0)!";
}

std::string OpenFailedMessage(const std::string& device, const PortError& error) {
  std::string text = "无法打开通信端口 " + device + ": " + error.reason + "。";
  switch (error.kind) {
    case PortError::Kind::NotFound:
      text += "请检查端口号和串口线!";
      break;
    case PortError::Kind::PermissionDenied:
#ifdef _WIN32
      text += "请检查当前用户是否有权使用该端口!";
#else
      text += "请将当前用户加入 dialout 组，重新登录后再试!";
#endif
      break;
    case PortError::Kind::Busy:
      text += "该端口正被其他程序使用，请先关闭该程序!";
      break;
    case PortError::Kind::NotSerial:
      text += "该设备不是串口!";
      break;
    case PortError::Kind::Other:
      text += "请检查通信端口!";
      break;
  }
  return text;
}

std::string SettingsRefusedMessage(const std::string& device) {
  return std::string("通信端口 ") + device + " 不接受参数 " + kLineSettings + "，已关闭该端口!";
}

std::string LineLostMessage(const std::string& device, const std::string& reason) {
  return "通信端口 " + device + " 已断开: " + reason +
         "。请检查连接后通过“通信”菜单重新打开通信端口!";
}

std::string PollFailedMessage(const std::string& device) {
  return "无法向通信端口 " + device + " 发送查询命令，已关闭该端口。请检查连接后重新打开通信端口!";
}

}  // namespace

void Form1::Communication_Click() {
  const std::string answer = dialogs_.InputBox("Input communication port", "Commport", 1);
  if (answer.empty()) return;  // Cancel leaves everything as it was.
  const auto device = link::PortDevice(answer);
  if (!device) {
    dialogs_.MsgBox(NotAPortMessage(answer), kCommErrorTitle);
    return;
  }
  // Another port is asked for: the old one is given up first.
  if (MSComm1.isOpen()) MSComm1.close();
  SetConnected(false);
  assembler_.reset();

  MSComm1.setCommPort(*device);
  if (const auto error = MSComm1.open()) {
    dialogs_.MsgBox(OpenFailedMessage(*device, *error), kCommErrorTitle);
    return;
  }
  if (!MSComm1.setSettings(kLineSettings)) {
    MSComm1.close();
    dialogs_.MsgBox(SettingsRefusedMessage(*device), kCommErrorTitle);
    return;
  }
  MSComm1.setInputLen(0);
  MSComm1.setRThreshold(kReceiveThreshold);
  SetConnected(true);
}

void Form1::Timer2_Timer() {
  if (!MSComm1.output(link::kPollFrame)) DropLine(PollFailedMessage(MSComm1.commPort()));
}

void Form1::Form_Unload() { MSComm1.close(); }

void Form1::MSComm1_OnComm() {
  switch (MSComm1.commEvent()) {
    case CommEvent::Receive:
      assembler_.feed(MSComm1.input(), [this](std::string_view frame) { HandleReply(frame); });
      // A reply whose head came with the last read is complete once its tail
      // is in: wait for just that many characters, not a whole frame more.
      if (MSComm1.isOpen()) {
        MSComm1.setRThreshold(kReceiveThreshold - static_cast<int>(assembler_.pending().size()));
      }
      break;
    case CommEvent::LineLost:
      // The serial layer reports a failing port once and has closed it; a
      // report for a line already given up is not repeated.
      if (connected_) DropLine(LineLostMessage(MSComm1.commPort(), MSComm1.lineError()));
      break;
    case CommEvent::None:
      break;
  }
}

void Form1::HandleReply(std::string_view frame) {
  switch (link::FrameKind(frame)) {
    case 'N': {
      const std::string value = link::FrameValue(frame);
      LcurrP.setCaption(value);
      if (const auto reading = ToDouble(value)) record_.add(*reading);
      break;
    }
    case 'P':
      LsetP.setCaption(link::PressureDisplay(frame));
      break;
    case 'L':
      LsetF.setCaption(link::FrameValue(frame));
      break;
    default:
      break;  // any other kind changes no display but still counts for the chart
  }
  chart_.update(LcurrP.caption());
}

void Form1::DropLine(const std::string& message) {
  MSComm1.close();
  SetConnected(false);
  assembler_.reset();
  // The pump may still be running: the operator must know the console no
  // longer times the run and cannot stop it.
  const bool runHalted = runTimer_.haltForLostLine();
  dialogs_.MsgBox(runHalted ? message + kTimedRunHalted : message, kCommErrorTitle);
}

}  // namespace pump::console
