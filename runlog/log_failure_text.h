// What the operator, and the broker's event topic, are told when the run log
// cannot be written.
#pragma once

#include <cstdint>
#include <string>

#include "platform/append_only_log.h"

namespace pump::runlog {

// The reason in a few words: "磁盘已满", "磁盘只读", "没有写入权限", "不是文件夹", ...
std::string FailureReason(int error);

// For the status line: "● 日志无法写入: 磁盘已满".
std::string FailureStatusText(const AppendFailure& failure);

// For the one message box: where, why (naming a file that stands where a
// folder should be), and that the pump is not affected.
std::string FailureBoxText(const AppendFailure& failure, int retrySeconds);

// The same in one line, for the standard error of a console without a window.
std::string FailureLine(const AppendFailure& failure, int retrySeconds);

// For the status line when writing works again: empty when nothing was lost,
// else how many rows were dropped while the disk could not take them.
std::string ResumedStatusText(std::uint64_t droppedRows);

// One line for the standard error when writing to `folder` works again.
std::string ResumedLine(const std::string& folder, std::uint64_t droppedRows);

// The detail of the `log` event, ASCII words first: "failed disk_full
// /home/op/Documents/pump-logs", "failed not_a_folder /home/op/Documents".
std::string FailureEventDetail(const AppendFailure& failure);
// "recovered", or "recovered 15 dropped" when rows were dropped meanwhile.
std::string ResumedEventDetail(std::uint64_t droppedRows);

}  // namespace pump::runlog
