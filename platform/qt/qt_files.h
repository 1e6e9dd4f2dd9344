// Whole-file access on QFile and QSaveFile.
#pragma once

#include "platform/files.h"

namespace pump::qt {

class QtFiles : public Files {
 public:
  // Writes to a temporary file in the same folder, syncs it and renames it over
  // the target, so the old file stays whole until the new one is complete.
  FileResult writeWhole(const std::string& path, std::string_view bytes) override;
  FileResult readWhole(const std::string& path, std::string* bytes) override;
};

}  // namespace pump::qt
