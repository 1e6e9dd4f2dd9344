// Reads a run log (CSV) back into a session, all or nothing: a damaged or
// foreign file loads no row and gets a message naming the line at fault.
//
// A log that is still being written may end in a row cut short. A last row
// with no line end after it is therefore left out rather than refused, and
// the result says so; every earlier row must be whole.
#pragma once

#include <memory>
#include <string>

#include "trend/session.h"

namespace pump::trend {

struct LogLoad {
  std::unique_ptr<Session> session;  // null if the file was refused
  std::string error;                 // why, in the operator's words
  bool lastLineIncomplete = false;   // a cut-off last row was left out
};

LogLoad LoadRunLog(const std::string& path);

}  // namespace pump::trend
