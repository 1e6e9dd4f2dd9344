#include "platform/files.h"

#include "texts/operator_texts.h"

namespace pump {

std::string FailureForOperator(const FileResult& result) {
  switch (result.failure) {
    case FileFailure::NotARegularFile:
      return texts::kFileNotRegular;
    case FileFailure::Missing:
      return texts::kFileMissing;
    case FileFailure::NoPermission:
      return texts::kFileNoPermission;
    case FileFailure::TooLarge:
      return texts::FileTooLarge(result.limitBytes);
    case FileFailure::DiskFull:
      return texts::kDiskFull;
    case FileFailure::Other:
      break;
  }
  return texts::FileNotReadable(result.error);
}

}  // namespace pump
