// Every caption, prompt, title and message the console can show, in one
// place so that a translation has one file to look at. The texts are the
// operator's, byte for byte: spacing and punctuation included.
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

// --- Record and printing ------------------------------------------------------
inline constexpr char kSaveTitle[] = "存储数据";
inline constexpr char kSaved[] = "当前压力数值以存储";
inline constexpr char kTestPageLine[] = "打印测试";
inline std::string RecordNotWritten(const std::string& path, const std::string& error) {
  return "记录文件无法写入：" + path + "\n" + error;
}
// The record holds 1,000,000 readings: told once when a later one is dropped,
// and added to the save's confirmation of a full record.
inline constexpr char kRecordFull[] = "压力记录已满(1000000 个数值)，之后的读数不再记入记录!";
inline constexpr char kSavedRecordFull[] =
    "\n记录已满：只存储了前 1000000 个数值，之后的读数未记入。";
// The reason a save gives when the disk has no room left.
inline constexpr char kDiskFull[] = "磁盘空间已满";
// Why a file the operator named was not read.
inline constexpr char kFileNotRegular[] = "不是普通文件（而是管道、设备或文件夹）";
inline constexpr char kFileMissing[] = "文件不存在";
inline constexpr char kFileNoPermission[] = "没有读取权限";
inline std::string FileTooLarge(unsigned long long limitBytes) {
  const std::string limit = limitBytes >= 1 << 20   ? std::to_string(limitBytes >> 20) + " MB"
                            : limitBytes >= 1 << 10 ? std::to_string(limitBytes >> 10) + " KB"
                                                    : std::to_string(limitBytes) + " 字节";
  return "文件过大（超过 " + limit + "）";
}
inline std::string FileNotReadable(const std::string& error) { return "读取出错：" + error; }

// --- Record viewer ------------------------------------------------------------
inline constexpr char kRecordViewerTitle[] = "泵启动和停止时间记录";
inline constexpr char kBackButton[] = "退出";
inline constexpr char kLoadButton[] = "Command2";
inline constexpr char kRecordBoxStart[] = "Text1";
inline constexpr char kViewRecordTitle[] = "查看记录";
inline std::string RecordNotRead(const std::string& path, const std::string& error) {
  return "记录文件无法读取：" + path + "\n" + error;
}
// A FIFO, a device, a folder...: the viewer reads regular files only.
inline std::string RecordNotARegularFile(const std::string& path) {
  return "记录文件不是普通文件，无法查看：" + path;
}

// --- Run log ------------------------------------------------------------------
inline constexpr char kRunLogTitle[] = "运行日志";
inline constexpr char kLogNotWrittenStatus[] = "● 日志无法写入: ";
inline constexpr char kLogNotWrittenBox[] = "运行日志无法写入：";
inline constexpr char kLogPumpUnaffected[] = "泵的控制不受影响。";
inline std::string LogRetryNotice(int seconds) {
  return "每 " + std::to_string(seconds) + " 秒重试一次，恢复后补写这期间的记录。";
}
inline std::string LogRowsDropped(unsigned long long rows) {
  return "● 日志已恢复写入，等待期间丢弃了 " + std::to_string(rows) + " 行";
}
inline constexpr char kLogFolderNotOpened[] = "无法打开日志文件夹：";
inline constexpr char kLogDiskFull[] = "磁盘已满";
inline constexpr char kDiskReadOnly[] = "磁盘只读";
inline constexpr char kNoWritePermission[] = "没有写入权限";
inline constexpr char kFolderMissing[] = "文件夹不存在";
inline constexpr char kNotAFolder[] = "不是文件夹";
inline std::string FileInTheWay(const std::string& path) { return path + " 不是文件夹"; }
inline constexpr char kDiskError[] = "磁盘读写出错";
inline std::string SystemError(int number) { return "系统错误 " + std::to_string(number); }
// Without a window: one line each on the standard error.
inline std::string LogNotWrittenLine(const std::string& path, const std::string& reason,
                                     int retrySeconds) {
  return "运行日志无法写入：" + path + "：" + reason + "。泵的控制不受影响，每 " +
         std::to_string(retrySeconds) + " 秒重试一次。";
}
inline std::string LogResumedLine(const std::string& folder) {
  return "运行日志已恢复写入：" + folder;
}
inline std::string LogResumedDroppedLine(const std::string& folder, unsigned long long rows) {
  return LogResumedLine(folder) + "，等待期间丢弃了 " + std::to_string(rows) + " 行";
}
// Neither $HOME nor the password database gives a home folder.
inline constexpr char kLogNoHome[] =
    "找不到用户的主目录（HOME 未设置，账户数据库中也没有），运行日志不记录。泵的控制不受影响。";

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

// --- Operator's guide ---------------------------------------------------------
inline constexpr char kGuideTitle[] = "使用说明";
// `places` lists the files looked for, one a line.
inline std::string GuideNotFound(const std::string& places) {
  return "找不到使用说明。已查找：\n" + places;
}

// --- Run report ---------------------------------------------------------------
inline constexpr char kReportTitle[] = "泵运行报告";
inline constexpr char kReportButton[] = "导出报告…";
inline constexpr char kReportChartHeading[] = "压力、压力上限与设定流量";
inline constexpr char kReportFiguresHeading[] = "统计";
inline constexpr char kReportEventsHeading[] = "事件";
inline constexpr char kReportNoReading[] = "日志中没有压力读数。";
inline constexpr char kReportNoEvents[] = "没有事件。";
inline constexpr char kReportVolumeMethod[] =
    "体积按泵运行的每一段时间累加：段长乘以段首的设定流量（泵保持设定值直到下一次设定）。";
inline constexpr char kReportRunningRule[] =
    "运行时间取日志 pump 列为 RUN 的时段，即控制台命令泵运行的时间；泵因超压自停不单独计。";
inline constexpr char kReportNoAnswerRule[] =
    "两次读数相隔超过 4.5 秒（三个轮询周期）记为无应答，操作员关闭端口的时段除外。";
inline std::string ReportSkippedRows(unsigned long long rows) {
  return "跳过 " + std::to_string(rows) + " 行";
}
inline std::string ReportPageNumber(int page, int pages) {
  return "第 " + std::to_string(page) + " 页，共 " + std::to_string(pages) + " 页";
}
inline std::string ReportEventsLeftOut(unsigned long long events) {
  return "另有 " + std::to_string(events) + " 个事件未列出。";
}
inline constexpr char kReportNotDrawn[] = "无法绘制 PDF";
inline std::string ReportNotWritten(const std::string& path, const std::string& cause) {
  return "无法写入 " + path + "：" + cause;
}
inline std::string ReportOverRunLog(const std::string& path) {
  return "报告不能写在运行日志上：" + path;
}
inline std::string ReportOutputNotAFile(const std::string& path) {
  return path + " 不是普通文件，报告不能写在那里";
}
inline std::string ReportOutputNotAReport(const std::string& path) {
  return path + " 已存在，且不是本程序写的报告，没有覆盖";
}
// A report after a program that could not be written, with pump-report's cause.
inline std::string ReportAfterProgramFailed(const std::string& cause) {
  return "程序结束后的运行报告没有写成：" + cause;
}

}  // namespace pump::texts
