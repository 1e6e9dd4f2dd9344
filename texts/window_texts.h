// The main window: its captions, menus, setpoint entry and the timed run.
// Part of the operator texts (operator_texts.h): byte for byte the operator's.
#pragma once

#include <string>

namespace pump::texts {

// --- Main window --------------------------------------------------------------
inline constexpr char kMainWindowTitle[] = "LP-200 计量泵控制台";
inline constexpr char kCurrentPressureTitle[] = "当前压力";
inline constexpr char kPressureLimitTitle[] = "设定压力";
inline constexpr char kFlowSetpointTitle[] = "设定流量";
inline constexpr char kPressureUnit[] = " MPa";
inline constexpr char kFlowUnit[] = " ml/m";  // the main window's caption, cut to fit its box
inline constexpr char kFlowUnitInFull[] = " ml/min";
inline constexpr char kStartPressure[] = "00.0";
inline constexpr char kStartPressureLimit[] = "02.0";
inline constexpr char kStartFlow[] = "000";
inline constexpr char kPumpStopped[] = "     STOP";
inline constexpr char kPumpRunning[] = "     RUN ";
inline constexpr char kNoEntry[] = "";
inline constexpr char kFlowEntry[] = "Lset";
inline constexpr char kPressureEntry[] = "Pset";
inline constexpr char kClockStart[] = "00";
inline constexpr char kHourUnit[] = "时";
inline constexpr char kMinuteUnit[] = "分";
inline constexpr char kSecondUnit[] = "秒";

// --- Menus --------------------------------------------------------------------
inline constexpr char kFileMenu[] = "文件(F)";
inline constexpr char kSaveItem[] = "保存";
inline constexpr char kPrintItem[] = "打印";
inline constexpr char kViewRecordItem[] = "查看记录";
inline constexpr char kExitItem[] = "退出";
inline constexpr char kTimedRunMenu[] = "定时(T)";
inline constexpr char kRunLengthItem[] = "设定";
inline constexpr char kTimedRunOperationMenu[] = "操作";
inline constexpr char kStartItem[] = "开始";
inline constexpr char kPauseItem[] = "暂停";
inline constexpr char kContinueItem[] = "继续";
inline constexpr char kEndItem[] = "结束";
inline constexpr char kPumpMenu[] = "泵(O)";
inline constexpr char kRunItem[] = "运行";
inline constexpr char kStopItem[] = "停止";
inline constexpr char kSetpointMenu[] = "设定(S)";
inline constexpr char kFlowItem[] = "流量";
inline constexpr char kPressureItem[] = "压力";
inline constexpr char kPumpNumberItem[] = "泵编号";
inline constexpr char kCommunicationCommand[] = "通信";
inline constexpr char kToolsMenu[] = "工具(U)";
inline constexpr char kLogFolderItem[] = "日志文件夹";
inline constexpr char kTrendItem[] = "趋势图";
inline constexpr char kRemoteMonitorItem[] = "远程监控…";
// Another console is online on the broker under this console's pump id.
inline constexpr char kRemoteTitle[] = "远程监控";
inline std::string PumpIdInUse(const std::string& pumpId) {
  return "泵编号 " + pumpId +
         " 已被另一台控制台使用：远程命令一律拒绝。请为每台控制台设定各自的泵编号 (--pump-id)。";
}
inline constexpr char kGuideItem[] = "使用说明";
inline constexpr char kPopupMenu[] = "右键";
inline constexpr char kHelpCommand[] = "帮助(H)";

// --- Setpoints ----------------------------------------------------------------
inline constexpr char kFlowPrompt[] = "请输入您需要的流量 单位 ml/min \r\n流量范围为1—200ml/min";
inline constexpr char kFlowTitle[] = "流量设定";
inline constexpr char kPressurePrompt[] = "请输入您需要保护压 单位 MPa\r\n压力设定范围为0—5.0MPa";
inline constexpr char kPressureTitle[] = "压力设定";
inline constexpr char kPumpNumberPrompt[] = "请输入要控制泵的编号 ";
inline constexpr char kPumpNumberTitle[] = "编号设定";
// Keypad refusals: no "!".
inline constexpr char kKeypadRefusalTitle[] = "设定错误";
inline constexpr char kKeypadFlowRefusal[] = "流量设定错误";
inline constexpr char kKeypadPressureRefusal[] = "压力设定错误";
// Dialog refusals, with an ASCII "!".
inline constexpr char kDialogRefusalTitle[] = "错误";
inline constexpr char kDialogFlowRefusal[] = "流量设定错误!";
inline constexpr char kDialogPressureRefusal[] = "压力设定错误!";
inline constexpr char kPumpNumberRefusal[] = "泵编号设定错误!";

// --- Timed run ----------------------------------------------------------------
inline constexpr char kRunLengthPrompt[] = "请输入设定时间 单位 分 ";
inline constexpr char kRunLengthTitle[] = "时间设定";
// A remote timed run of no length, or of one that is not a number.
inline constexpr char kRunLengthRefusal[] = "定时时间设定错误!";

}  // namespace pump::texts
