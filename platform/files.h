// Whole-file access by path.
#pragma once

#include <string>
#include <string_view>

namespace pump {

struct FileResult {
  bool ok = false;
  std::string error;  // the system's reason when !ok
};

class Files {
 public:
  virtual ~Files() = default;
  // Replaces the file with exactly these bytes, atomically: on failure the
  // previous file is left as it was.
  virtual FileResult writeWhole(const std::string& path, std::string_view bytes) = 0;
  // Reads the whole file into *bytes.
  virtual FileResult readWhole(const std::string& path, std::string* bytes) = 0;
};

}  // namespace pump
