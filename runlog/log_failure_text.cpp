#include "runlog/log_failure_text.h"

#include <cerrno>

#include "texts/operator_texts.h"

namespace pump::runlog {

namespace {

// The reason with the file in the way named, when there is one.
std::string FullReason(const AppendFailure& failure) {
  if (failure.error == ENOTDIR && !failure.fileInTheWay.empty()) {
    return texts::FileInTheWay(failure.fileInTheWay);
  }
  return FailureReason(failure.error);
}

// Stable words for machines reading the broker or the log.
std::string CauseWord(int error) {
  switch (error) {
    case ENOSPC:
    case EDQUOT:
      return "disk_full";
    case EROFS:
      return "read_only";
    case EACCES:
    case EPERM:
      return "permission_denied";
    case ENOTDIR:
      return "not_a_folder";
    case ENOENT:
      return "folder_missing";
    case EIO:
      return "disk_error";
    default:
      return "error_" + std::to_string(error);
  }
}

}  // namespace

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
    case ENOTDIR:
      return texts::kNotAFolder;
    case ENOENT:
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
  return texts::kLogNotWrittenBox + failure.path + "\n" + FullReason(failure) + "。\n\n" +
         texts::kLogPumpUnaffected + texts::LogRetryNotice(retrySeconds);
}

std::string FailureLine(const AppendFailure& failure, int retrySeconds) {
  return texts::LogNotWrittenLine(failure.path, FullReason(failure), retrySeconds);
}

std::string ResumedStatusText(std::uint64_t droppedRows) {
  if (droppedRows == 0) return "";
  return texts::LogRowsDropped(droppedRows);
}

std::string ResumedLine(const std::string& folder, std::uint64_t droppedRows) {
  if (droppedRows == 0) return texts::LogResumedLine(folder);
  return texts::LogResumedDroppedLine(folder, droppedRows);
}

std::string FailureEventDetail(const AppendFailure& failure) {
  const bool inTheWay = failure.error == ENOTDIR && !failure.fileInTheWay.empty();
  return "failed " + CauseWord(failure.error) + " " +
         (inTheWay ? failure.fileInTheWay : failure.path);
}

std::string ResumedEventDetail(std::uint64_t droppedRows) {
  if (droppedRows == 0) return "recovered";
  return "recovered " + std::to_string(droppedRows) + " dropped";
}

}  // namespace pump::runlog
