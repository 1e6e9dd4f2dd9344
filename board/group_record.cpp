#include "board/group_record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "platform/posix/append_file.h"
#include "runlog/local_time.h"
#include "runlog/log_row.h"

namespace pump::board {

std::string GroupRecordLine(const GroupRecordRow& row) {
  return runlog::LocalTimestamp(row.at) + "," + runlog::CsvField(row.groupId) + "," +
         runlog::CsvField(row.event) + "," + runlog::CsvField(row.detail) + "\r\n";
}

bool GroupRecordFile::append(const std::vector<GroupRecordRow>& rows) {
  if (rows.empty()) return true;
  const std::string folder = std::filesystem::path(path_).parent_path().string();
  if (const int failed = posix::MakeFolders(folder); failed != 0) {
    error_ = std::strerror(failed);
    return false;
  }
  const int fd =
      ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) {
    error_ = std::strerror(errno);
    return false;
  }
  struct stat file {};
  std::string text =
      ::fstat(fd, &file) == 0 && file.st_size == 0 ? "time,group,event,detail\r\n" : "";
  for (const GroupRecordRow& row : rows) text += GroupRecordLine(row);
  std::size_t offset = 0;
  const int failed = posix::WriteFrom(fd, text, &offset);
  ::close(fd);
  error_ = failed ? std::strerror(failed) : "";
  return failed == 0;
}

}  // namespace pump::board
