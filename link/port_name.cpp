#include "link/port_name.h"

#include "platform/number_text.h"

namespace pump::link {
namespace {

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Letters, digits and the few punctuation marks device names use.
bool HasNameCharactersOnly(std::string_view s) {
  for (char c : s) {
    if (!IsLetter(c) && !IsDigit(c) && c != '/' && c != '.' && c != '_' && c != '-' && c != '\\' &&
        c != ':') {
      return false;
    }
  }
  return true;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// "COM" followed by a port number, in any case.
bool IsComName(std::string_view s) {
  if (s.size() < 4) return false;
  for (std::size_t i = 0; i < 3; ++i) {
    if ((s[i] | 0x20) != "com"[i]) return false;
  }
  for (char c : s.substr(3)) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

std::optional<std::string> DeviceName(std::string_view name, PortNaming naming) {
  if (name.empty() || !HasNameCharactersOnly(name)) return std::nullopt;
  if (name == kSimulatedPort || IsComName(name)) return std::string(name);
  if (naming == PortNaming::Windows) {
    if (StartsWith(name, "\\\\.\\")) return std::string(name);
    return std::nullopt;
  }
  // Opening the pseudo-terminal multiplexer makes a new master that no pump is on.
  if (name == "/dev/ptmx" || name == "/dev/pts/ptmx") return std::nullopt;
  if (name.size() > 1 && name.front() == '/') return std::string(name);
  if (name.find('/') == std::string_view::npos &&
      (StartsWith(name, "tty") || StartsWith(name, "cu.") || StartsWith(name, "rfcomm"))) {
    return "/dev/" + std::string(name);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> PortDevice(std::string_view answer, PortNaming naming) {
  if (const auto number = ToInteger(answer)) {
    if (*number < 1) return std::nullopt;
    if (naming == PortNaming::Windows) return "COM" + std::to_string(*number);
    return "/dev/ttyS" + std::to_string(*number - 1);
  }
  if (IsNumeric(answer)) return std::nullopt;  // a number beyond the Integer range
  return DeviceName(Trimmed(answer), naming);
}

}  // namespace pump::link
