// The line to the pump: opening a port, losing it, and the link status line.
// Part of the operator texts (operator_texts.h): byte for byte the operator's.
#pragma once

#include <string>

namespace pump::texts {

// --- Communication ------------------------------------------------------------
inline constexpr char kPortPrompt[] = "Input communication port";
inline constexpr char kPortTitle[] = "Commport";
inline constexpr char kCommErrorTitle[] = "通信错误";
inline constexpr char kPortNotOpen[] = "通信端口未打开，请先通过“通信”菜单打开通信端口!";
// Without a window there is no menu to point to: the port is named, and
// whether it is tried again (every `retrySeconds`; 0: it is not).
inline std::string PortNotOpenNoWindow(const std::string& device, int retrySeconds) {
  if (device.empty()) return "通信端口未打开!";
  if (retrySeconds <= 0) return "通信端口 " + device + " 未打开!";
  return "通信端口 " + device + " 未打开，每 " + std::to_string(retrySeconds) + " 秒重试一次!";
}
inline constexpr char kCommandNotSent[] = "命令发送失败，请检查通信端口!";
// The pump stopped reading and its line is full of commands still to go.
inline constexpr char kCommandQueueFull[] = "泵未读取数据，待发送的命令已满，本命令未发送!";
// A timed run goes on while the line is down, because the pump goes on.
inline constexpr char kRunGoesOn[] =
    "\n泵可能仍在运行。定时运行继续计时，到时的停泵命令将在通信恢复后发出!";
// Another port was opened while a stop for the old one waited for its line.
inline std::string StopNotSent(const std::string& device) {
  return "通信端口 " + device +
         " 上的泵未收到停泵命令，可能仍在运行!\n停泵命令不会发往新打开的通信端口。";
}
// Asked before another port is opened; Yes stops the pump on the port open now.
inline constexpr char kPortChangeDuringRun[] =
    "定时运行或程序正在进行。打开通信端口将先停泵并结束运行，确定打开吗?";
inline constexpr char kLineSettingsShown[] = "9600,n,8,1";
inline constexpr char kPortNotFoundAdvice[] = "请检查端口号和串口线!";
#ifdef _WIN32
inline constexpr char kPortPermissionAdvice[] = "请检查当前用户是否有权使用该端口!";
#else
inline constexpr char kPortPermissionAdvice[] = "请将当前用户加入 dialout 组，重新登录后再试!";
#endif
inline constexpr char kPortBusyAdvice[] = "该端口正被其他程序使用，请先关闭该程序!";
inline constexpr char kPortNotSerialAdvice[] = "该设备不是串口!";
inline constexpr char kPortOtherAdvice[] = "请检查通信端口!";

inline std::string NotAPort(const std::string& answer) {
  return "“" + answer + "”不是有效的通信端口，请输入端口号(如 1)或设备名(如 /dev/ttyUSB0)!";
}
// The advice is one of the k...Advice texts above.
// Common causes in the operator's words; any other keeps the system's text in brackets.
inline constexpr char kCauseNotFound[] = "设备不存在";
inline constexpr char kCauseBusy[] = "端口已被占用";
inline constexpr char kCausePermission[] = "没有使用该端口的权限";
inline constexpr char kCauseNotSerial[] = "不是串口设备";
inline constexpr char kCauseInputOutput[] = "输入/输出错误";
inline std::string SystemCause(const std::string& systemText) { return "（" + systemText + "）"; }
// The advice goes on a line of its own, so no fragment of it wraps alone.
inline std::string PortNotOpened(const std::string& device, const std::string& cause,
                                 const char* advice) {
  return "无法打开通信端口 " + device + "：" + cause + "。\n" + advice;
}
// A lock file left by a program that no longer runs; only its removal frees the port.
inline std::string PortLockStale(const std::string& device, const std::string& lockFile,
                                 long owner) {
  return "无法打开通信端口 " + device + "：锁定它的进程 " + std::to_string(owner) +
         " 已结束。\n请删除锁文件 " + lockFile + " 后再试(需管理员权限)!";
}
inline std::string SettingsRefused(const std::string& device) {
  return "通信端口 " + device + " 不接受参数 " + kLineSettingsShown + "，已关闭该端口!";
}
// A lost line is reconnected by itself; a window also offers another port.
inline constexpr char kReconnectingOrMenu[] = "正在自动重连；也可通过“通信”菜单打开其他通信端口。";
inline constexpr char kReconnectingNoWindow[] = "正在自动重连。";
inline std::string LineLost(const std::string& device, const std::string& cause,
                            const char* reconnecting = kReconnectingOrMenu) {
  return "通信端口 " + device + " 已断开：" + cause + "。\n" + reconnecting;
}
// A port that does not open is tried again by its name.
inline std::string OpenRetried(int seconds) {
  return "每 " + std::to_string(seconds) + " 秒重试一次。";
}
// Added to a lost line's box, still up, when the line is lost again.
inline std::string LossesWhileShown(int losses) {
  return "\n本提示框显示期间，通信已断开 " + std::to_string(losses) + " 次。";
}
// Told once when the pump stops reading what the console sends.
inline std::string PumpNotReading(const std::string& device) {
  return "泵未读取通信端口 " + device +
         " 上的数据。\n待发送的命令已暂存，泵恢复读取后依次发出。\n请检查泵和串口线!";
}
inline std::string PollNotWritten(const std::string& device,
                                  const char* reconnecting = kReconnectingOrMenu) {
  return "无法向通信端口 " + device + " 发送查询命令，已关闭该端口。\n" + reconnecting;
}

// --- Link status line ---------------------------------------------------------
inline constexpr char kLinkNotConnected[] = "● 未连接";
inline constexpr char kLinkReconnecting[] = "● 通信中断，正在重连…";
inline constexpr char kStopWaiting[] = "● 停泵命令待发送";
inline constexpr char kLinkNotReading[] = "● 泵未读取数据";
// Open, but the pump has not answered yet.
inline constexpr char kLinkWaiting[] = "● 等待泵应答";
inline std::string LinkAnswering(const std::string& device) { return "● 通信正常  " + device; }
inline std::string LinkNoAnswer(int seconds) {
  return "● 无应答 " + std::to_string(seconds) + " 秒";
}
// Both values as "4.6": one decimal, no leading zero.
inline std::string OverLimit(const std::string& reading, const std::string& limit) {
  return "● 压力超限 " + reading + " MPa ≥ " + limit + " MPa";
}
inline constexpr char kStopSentLateTitle[] = "通信恢复";
// The time as "14:03:27".
inline std::string StopSentLate(const std::string& when) {
  return "通信中断期间未能发出的停泵命令已于 " + when + " 补发。";
}

}  // namespace pump::texts
