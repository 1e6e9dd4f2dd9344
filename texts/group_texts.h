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

// The board's 联动运行… dialog and its group panel.
inline constexpr char kGroupRunItem[] = "联动运行…";
inline constexpr char kGroupRunTitle[] = "联动运行";
inline constexpr char kGroupPumps[] = "泵（选 2 到 4 台）";
inline constexpr char kGroupName[] = "名称";
inline constexpr char kGroupOpen[] = "打开…";
inline constexpr char kGroupAddStep[] = "添加步骤";
inline constexpr char kGroupRemoveStep[] = "删除步骤";
inline constexpr char kGroupStart[] = "开始";
inline constexpr char kGroupCancel[] = "取消";
inline constexpr char kGroupSeconds[] = "时长 (s)";
inline constexpr char kGroupTotalStart[] = "总流量 起";
inline constexpr char kGroupTotalEnd[] = "总流量 止";
inline constexpr char kGroupShareStart[] = " 份额 起 (%)";
inline constexpr char kGroupShareEnd[] = " 份额 止 (%)";
inline constexpr char kGroupLimit[] = "压力上限 (MPa)";
inline constexpr char kGroupTotal[] = "总流量";
inline constexpr char kGroupFiles[] = "联动程序 (*.json)";
inline constexpr char kGroupNotStartedTitle[] = "联动运行未开始";
inline constexpr char kGroupCellWrong[] = "须为数字";
// The group panel's columns and buttons.
inline constexpr const char* kGroupPanelColumns[] = {"联动组", "泵",   "步骤",
                                                     "剩余",   "状态", "原因"};
inline constexpr char kGroupPause[] = "暂停";
inline constexpr char kGroupContinue[] = "继续";
inline constexpr char kGroupAbort[] = "中止";
// "P01 将输送 98.3 ml"
inline std::string MemberVolume(const std::string& pump, double ml) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", ml);
  return pump + " 将输送 " + text + " ml";
}

}  // namespace pump::texts
