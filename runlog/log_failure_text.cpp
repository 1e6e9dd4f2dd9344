#include "runlog/log_failure_text.h"

#include <cerrno>

namespace pump::runlog {

std::string FailureReason(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return "磁盘已满";
    case EROFS:
      return "磁盘只读";
    case EACCES:
    case EPERM:
      return "没有写入权限";
    case ENOENT:
    case ENOTDIR:
      return "文件夹不存在";
    case EIO:
      return "磁盘读写出错";
    default:
      return "系统错误 " + std::to_string(error);
  }
}

std::string FailureStatusText(const AppendFailure& failure) {
  return "● 日志无法写入: " + FailureReason(failure.error);
}

std::string FailureBoxText(const AppendFailure& failure, int retrySeconds) {
  return "运行日志无法写入：" + failure.path + "\n" + FailureReason(failure.error) +
         "。\n\n泵的控制不受影响。每 " + std::to_string(retrySeconds) +
         " 秒重试一次，恢复后补写这期间的记录。";
}

std::string ResumedStatusText(std::uint64_t droppedRows) {
  if (droppedRows == 0) return "";
  return "● 日志已恢复写入，等待期间丢弃了 " + std::to_string(droppedRows) + " 行";
}

}  // namespace pump::runlog
