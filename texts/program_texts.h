// Programs: their status, faults and the program window.
// Part of the operator texts (operator_texts.h): byte for byte the operator's.
#pragma once

#include <string>

namespace pump::texts {

// --- Programs -----------------------------------------------------------------
inline constexpr char kProgramTitle[] = "运行程序";
inline constexpr char kProgramWhileTimedRun[] = "定时运行正在进行，不能开始程序!";
inline constexpr char kTimedRunWhileProgram[] = "程序正在运行，不能开始定时运行!";
inline constexpr char kProgramAlreadyRunning[] = "已有程序正在运行，请先中止该程序!";
inline constexpr char kNoProgramRunning[] = "没有正在运行的程序!";
inline constexpr char kNoProgramPaused[] = "程序未暂停!";
// The first fault of a program, as the loader names it (step and field).
inline std::string ProgramFault(const std::string& fault) { return "程序有误：" + fault; }
// The status line while a program runs; `left` as "01:02:03".
inline std::string ProgramStatus(const std::string& name, int step, int steps,
                                 const std::string& left) {
  return "● 程序 " + name + " 步骤 " + std::to_string(step) + "/" + std::to_string(steps) +
         " 剩余 " + left;
}
inline constexpr char kProgramPausedMark[] = "（已暂停）";
inline constexpr char kProgramAbortedByHand[] = "● 程序已因手动操作中止";
// Appended to a lost line's notice while a program runs.
inline constexpr char kProgramPausedByLoss[] =
    "\n程序已暂停，停泵命令将在通信恢复后发出。程序不会自动继续!";
inline constexpr char kCloseDuringProgram[] = "程序正在运行。关闭窗口将停泵并中止程序，确定关闭吗?";

// --- Program window -----------------------------------------------------------
inline constexpr char kProgramItem[] = "运行程序…";
inline constexpr char kNewProgramName[] = "新程序";
inline constexpr char kProgramNameLabel[] = "名称";
inline constexpr char kStepColumn[] = "步骤";
inline constexpr char kSecondsColumn[] = "时长";
inline constexpr char kFlowStartColumn[] = "起始流量";
inline constexpr char kFlowEndColumn[] = "结束流量";
inline constexpr char kPressureLimitColumn[] = "压力上限";
inline constexpr char kProgramUnitsHint[] =
    "时长以秒计（也可写 时:分:秒），流量以 ml/min 计，压力上限以 MPa 计。可从电子表格粘贴。";
inline constexpr char kInsertStepButton[] = "插入步骤";
inline constexpr char kDeleteStepButton[] = "删除步骤";
inline constexpr char kMoveStepUpButton[] = "上移";
inline constexpr char kMoveStepDownButton[] = "下移";
inline constexpr char kOpenProgramButton[] = "打开…";
inline constexpr char kSaveProgramButton[] = "保存…";
inline constexpr char kStartProgramButton[] = "开始";
inline constexpr char kPauseProgramButton[] = "暂停";
inline constexpr char kContinueProgramButton[] = "继续";
inline constexpr char kAbortProgramButton[] = "中止";
inline constexpr char kPlannedFlowSeries[] = "计划流量 (ml/min)";
inline constexpr char kPressureLimitSeries[] = "压力上限 (MPa)";
inline constexpr char kProgramTimeAxis[] = "时间 (分)";
inline constexpr char kProgramFileFilter[] = "程序文件 (*.json)";
inline constexpr char kProgramFileNotRead[] = "程序文件读不出：";
inline constexpr char kProgramFileRefused[] = "程序文件不能使用，未载入：";
inline constexpr char kProgramFileNotSaved[] = "程序未保存：";
inline constexpr char kProgramNotStarted[] = "程序未开始：";
inline constexpr char kProgramHasNoFault[] = "程序无误，可以开始。";
// Before 打开… or closing the window replaces a table edited since it was saved or opened.
inline constexpr char kDiscardProgramEdits[] = "程序已修改，是否放弃修改？";
// The cells of a step, and the program as a whole, as the editor explains them.
inline constexpr char kSecondsEmpty[] = "请填写时长。";
inline constexpr char kSecondsWrong[] = "时长须为 1 到 360000 秒的整数，或写作 时:分:秒。";
inline constexpr char kFlowEmpty[] = "请填写流量。";
inline constexpr char kFlowWrong[] = "流量须为 0 到 200 的整数（ml/min）。";
inline constexpr char kPressureLimitEmpty[] = "请填写压力上限。";
inline constexpr char kPressureLimitWrong[] = "压力上限须为 0.0 到 5.0 MPa，最多一位小数。";
inline constexpr char kProgramHasNoSteps[] = "程序至少要有一个步骤。";
inline constexpr char kProgramTooManySteps[] = "程序最多 999 个步骤。";
inline constexpr char kProgramTooLong[] = "程序总时长不能超过 100 小时。";
// "步骤 3，起始流量：…" — where a fault is, before what it is.
inline std::string CellFaultPlace(int step, const std::string& column) {
  return "步骤 " + std::to_string(step) + "，" + column + "：";
}
// "总时长 00:16:30　体积 412.5 ml"
inline std::string ProgramTotals(const std::string& hms, const std::string& volumeMl) {
  return "总时长 " + hms + "　体积 " + volumeMl + " ml";
}

}  // namespace pump::texts
