// Writes a session's rows back out in the run log's CSV format.
#pragma once

#include <ostream>
#include <string>

#include "trend/session.h"

namespace pump::trend {

// The rows whose axis time is within [startMs, endMs], header first.
void WriteRunLogRows(const Session& session, double startMs, double endMs, std::ostream& out);

// The same into a file; empty on success, else why it failed.
std::string ExportRunLogRows(const Session& session, double startMs, double endMs,
                             const std::string& path);

}  // namespace pump::trend
