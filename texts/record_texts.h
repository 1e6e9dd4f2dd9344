// The record, printing, the record viewer and the run log.
// Part of the operator texts (operator_texts.h): byte for byte the operator's.
#pragma once

#include <string>

namespace pump::texts {

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

}  // namespace pump::texts
