// Pumps that run together: what the operator reads of a group.
#pragma once

#include <cstdio>
#include <string>

namespace pump::texts {

// The status line when the interlock paused this console's part: "● 联动暂停：P02 离线".
inline constexpr char kInterlockPaused[] = "● 联动暂停：";
// Why, after the member's id.
inline constexpr char kMemberOffline[] = " 离线";
inline constexpr char kMemberLinkDown[] = " 通信中断";
inline constexpr char kMemberAtPressureLimit[] = " 压力超限";
inline constexpr char kMemberSilent[] = " 5 秒无读数";
inline constexpr char kMemberPartPaused[] = " 程序暂停";
inline constexpr char kMemberPartGone[] = " 程序已停";
inline constexpr char kOwnBrokerDown[] = "代理服务器断开 3 秒";

// A group's state on the board's group panel.
inline constexpr char kGroupStarting[] = "启动中";
inline constexpr char kGroupRunning[] = "运行";
inline constexpr char kGroupPaused[] = "暂停";
inline constexpr char kGroupEnded[] = "结束";
inline constexpr char kGroupAborted[] = "中止";
inline constexpr char kGroupNotStarted[] = "未启动";

// Why the board did not start a group.
inline std::string MemberNotTakingCommands(const std::string& pump) {
  return pump + " 不在线或不接受远程控制。";
}
inline std::string MemberInGroup(const std::string& pump, const std::string& group) {
  return pump + " 已在联动组“" + group + "”中运行。";
}
inline std::string MemberClockUnknown(const std::string& pump) {
  return pump + " 最近 5 秒没有读数，无法核对它的时钟。";
}
inline std::string MemberClockOff(const std::string& pump, double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%+.1f", seconds);
  return pump + " 的时钟与本机相差 " + text + " 秒，超过 1 秒。";
}
inline std::string MemberRefused(const std::string& pump, const std::string& why) {
  return pump + " 拒绝了它的部分：" + why + "。已发出的部分已中止。";
}
inline std::string MemberDidNotAnswer(const std::string& pump) {
  return pump + " 5 秒内没有回答。已发出的部分已中止。";
}

}  // namespace pump::texts
