// Pumps that run together: what the operator reads of a group.
#pragma once

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

}  // namespace pump::texts
