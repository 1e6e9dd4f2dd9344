#include "runlog/log_failure_text.h"

#include <cerrno>

#include "texts/operator_texts.h"

namespace pump::runlog {

std::string FailureReason(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return texts::kLogDiskFull;
    case EROFS:
      return texts::kDiskReadOnly;
    case EACCES:
    case EPERM:
      return texts::kNoWritePermission;
    case ENOENT:
    case ENOTDIR:
      return texts::kFolderMissing;
    case EIO:
      return texts::kDiskError;
    default:
      return texts::SystemError(error);
  }
}

std::string FailureStatusText(const AppendFailure& failure) {
  return texts::kLogNotWrittenStatus + FailureReason(failure.error);
}

std::string FailureBoxText(const AppendFailure& failure, int retrySeconds) {
  return texts::kLogNotWrittenBox + failure.path + "\n" + FailureReason(failure.error) + "。\n\n" +
         texts::kLogPumpUnaffected + texts::LogRetryNotice(retrySeconds);
}

std::string ResumedStatusText(std::uint64_t droppedRows) {
  if (droppedRows == 0) return "";
  return texts::LogRowsDropped(droppedRows);
}

}  // namespace pump::runlog
