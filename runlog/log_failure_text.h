// What the operator is told when the run log cannot be written.
#pragma once

#include <cstdint>
#include <string>

#include "platform/append_only_log.h"

namespace pump::runlog {

// The reason in a few words: "磁盘已满", "磁盘只读", "没有写入权限", ...
std::string FailureReason(int error);

// For the status line: "● 日志无法写入: 磁盘已满".
std::string FailureStatusText(const AppendFailure& failure);

// For the one message box: where, why, and that the pump is not affected.
std::string FailureBoxText(const AppendFailure& failure, int retrySeconds);

// For the status line when writing works again: empty when nothing was lost,
// else how many rows were dropped while the disk could not take them.
std::string ResumedStatusText(std::uint64_t droppedRows);

}  // namespace pump::runlog
