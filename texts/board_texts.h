// The pump board.
// Part of the operator texts (operator_texts.h): byte for byte the operator's.
#pragma once

#include <string>

namespace pump::texts {

// --- Pump board ---------------------------------------------------------------
inline constexpr char kBoardTitle[] = "泵站总览";
inline std::string BoardTitleWithAlarms(int alarms) {
  return std::string(kBoardTitle) + " — 报警 " + std::to_string(alarms);
}
inline constexpr char kBoardStop[] = "停泵";
inline constexpr char kBoardSetFlow[] = "设定流量…";
inline constexpr char kBoardSetPressureLimit[] = "设定压力上限…";
// The same commands on a tile, while their result is awaited.
inline constexpr char kBoardSetFlowName[] = "设定流量";
inline constexpr char kBoardSetPressureLimitName[] = "设定压力上限";
inline constexpr char kBoardRunProgramName[] = "运行程序";
inline constexpr char kBoardRunProgram[] = "运行程序…";
inline constexpr char kBoardProgramFiles[] = "程序文件 (*.json)";
inline constexpr char kBoardProgramRefusedTitle[] = "程序文件有误";
inline constexpr char kBoardStopAll[] = "全部停泵";
inline constexpr char kBoardNoAnswer[] = "无回应";
inline constexpr char kBoardCommandWaiting[] = "等待回应…";
inline constexpr char kBoardCommandDone[] = "已执行";
inline constexpr char kBoardCommandRefused[] = "已拒绝";
inline constexpr char kBoardOffline[] = "离线";
inline constexpr char kBoardLinkNotAnswering[] = "泵无应答";
inline constexpr char kBoardLinkNotConnected[] = "未连接";
inline constexpr char kBoardLinkWaiting[] = "等待泵应答";
inline constexpr char kBoardLinkAnswering[] = "通信正常";
inline constexpr char kBoardLinkLost[] = "通信中断";
inline constexpr char kBoardLinkReconnecting[] = "正在重连";
inline constexpr char kBoardTimedRunning[] = "定时运行";
inline constexpr char kBoardTimedPaused[] = "定时暂停";
inline constexpr char kBoardTimedStopPending[] = "停泵待发送";
inline constexpr char kBoardProgram[] = "程序";
inline constexpr char kBoardStep[] = "步骤";
inline constexpr char kBoardLeft[] = "剩余";
inline constexpr char kBoardPaused[] = "暂停";
inline constexpr char kBoardPressureAtLimit[] = "压力达到上限";
inline constexpr char kBoardSilent[] = "10 秒无消息";
inline constexpr char kBoardAlarmStarted[] = "开始";
inline constexpr char kBoardAlarmEnded[] = "结束";
inline constexpr char kBoardNoPumpToStop[] = "没有可远程停泵的泵。";
inline std::string BoardStopAllQuestion(const std::string& pumps) {
  return "向以下泵发送停泵命令？\n" + pumps;
}
inline std::string BoardStopAllUnanswered(const std::string& pumps) {
  return "以下泵没有回应：\n" + pumps;
}
inline constexpr char kBoardStopAllAnswered[] = "全部泵已回应停泵命令。";
inline std::string BoardStopAllRefused(const std::string& pumpsWithReasons) {
  return "以下泵拒绝了停泵命令：\n" + pumpsWithReasons;
}
inline std::string BoardStopAllObeyed(const std::string& pumps) {
  return "以下泵已停泵：\n" + pumps;
}
// A field no message from the pump has carried yet.
inline constexpr char kBoardUnknown[] = "—";

}  // namespace pump::texts
