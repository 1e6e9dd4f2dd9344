#include "link/port_name.h"

#include "platform/number_text.h"

namespace pump::link {
namespace {

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool LooksLikeDeviceName(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                    c == '/' || c == '.' || c == '_' || c == '-' || c == '\\' || c == ':';
    if (!ok) return false;
  }
  // A name must hold a letter, so "12-3" is not taken for a device.
  for (char c : s) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> PortDevice(std::string_view answer, PortNaming naming) {
  if (const auto number = ToInteger(answer)) {
    if (*number < 1) return std::nullopt;
    if (naming == PortNaming::Windows) return "COM" + std::to_string(*number);
    return "/dev/ttyS" + std::to_string(*number - 1);
  }
  if (IsNumeric(answer)) return std::nullopt;  // a number out of the Integer range
  const std::string_view name = Trimmed(answer);
  if (!LooksLikeDeviceName(name)) return std::nullopt;
  if (name == kSimulatedPort) return std::string(name);
  if (naming == PortNaming::Posix && name.find('/') == std::string_view::npos &&
      name.substr(0, 3) == "tty") {
    return "/dev/" + std::string(name);
  }
  return std::string(name);
}

}  // namespace pump::link
