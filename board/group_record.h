// The board's record of the groups it started, one CSV row per happening,
// appended to a file under its data folder, so that a run can be traced
// afterwards: time, group, event, detail.
#pragma once

#include <string>
#include <vector>

#include "board/group_runs.h"

namespace pump::board {

class GroupRecordFile {
 public:
  explicit GroupRecordFile(std::string path) : path_(std::move(path)) {}
  // Appends the rows, the header first in a new file; false with the cause in
  // error() when the file cannot be written.
  bool append(const std::vector<GroupRecordRow>& rows);
  const std::string& path() const { return path_; }
  const std::string& error() const { return error_; }

 private:
  std::string path_;
  std::string error_;
};

// One row as the file holds it, CRLF ended.
std::string GroupRecordLine(const GroupRecordRow& row);

}  // namespace pump::board
