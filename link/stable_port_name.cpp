#include "link/stable_port_name.h"

#include <filesystem>
#include <system_error>

namespace pump::link {
namespace fs = std::filesystem;

namespace {

bool NameCanChange(const fs::path& device) {
  const std::string name = device.filename().string();
  return name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0;
}

}  // namespace

std::optional<std::string> StableAdapterName(const std::string& device, const std::string& folder) {
  std::error_code error;
  // The node itself, not a link the operator typed: that name is kept.
  if (!NameCanChange(device) || fs::is_symlink(device, error)) return std::nullopt;
  const fs::path target = fs::canonical(device, error);
  if (error) return std::nullopt;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    std::error_code ignored;
    if (fs::canonical(entry.path(), ignored) == target) return entry.path().string();
  }
  return std::nullopt;
}

}  // namespace pump::link
