// File access on the POSIX calls: paths pass to the system as the bytes they
// are, and a failure keeps its exact cause.
#pragma once

#include "platform/files.h"

namespace pump::posix {

class PosixFiles : public Files {
 public:
  // Writes a temporary file in the target's folder, syncs it and renames it
  // over the target, so the old file stays whole until the new one is
  // complete. A symbolic link is followed, not replaced; the file keeps the
  // old one's permissions.
  FileResult writeWhole(const std::string& path, std::string_view bytes) override;
  FileResult readTail(const std::string& path, std::size_t maxBytes, std::string* bytes) override;
};

}  // namespace pump::posix
