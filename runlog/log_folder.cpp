#include "runlog/log_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace pump::runlog {

namespace {

constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";

// The value of one `XDG_DOCUMENTS_DIR="$HOME/Documents"` line: quotes removed,
// a leading $HOME replaced. The file format allows only "$HOME/..." or an
// absolute path.
std::string ExpandValue(std::string_view value, const std::string& home) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  constexpr std::string_view kHome = "$HOME";
  if (value.substr(0, kHome.size()) == kHome) {
    return home + std::string(value.substr(kHome.size()));
  }
  return std::string(value);
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value && *value ? value : fallback;
}

// The account's home in the password database; empty when it has none.
std::string AccountHome() {
  const long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::string buffer(size > 0 ? static_cast<std::size_t>(size) : 16384, '\0');
  passwd entry{};
  passwd* found = nullptr;
  while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
         buffer.size() < (std::size_t{1} << 20)) {
    buffer.resize(buffer.size() * 2);
  }
  return found && found->pw_dir ? found->pw_dir : "";
}

}  // namespace

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home && *home ? home : AccountHome();
}

std::string DocumentsFolder(std::string_view userDirsText, const std::string& home) {
  std::string found;
  std::istringstream lines{std::string(userDirsText)};
  for (std::string line; std::getline(lines, line);) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, kKey.size(), kKey) != 0) continue;
    std::string_view value = std::string_view(line).substr(start + kKey.size());
    while (!value.empty() && (value.back() == ' ' || value.back() == '\r')) value.remove_suffix(1);
    found = ExpandValue(value, home);  // the last line wins, as when the shell sources it
  }
  while (found.size() > 1 && found.back() == '/') found.pop_back();
  return found.empty() ? home + "/Documents" : found;
}

std::string DefaultLogFolder() {
  const std::string home = HomeFolder();
  if (home.empty()) return "";
  const std::string config = EnvOr("XDG_CONFIG_HOME", home + "/.config");
  std::ifstream file(config + "/user-dirs.dirs");
  std::ostringstream text;
  if (file) text << file.rdbuf();
  return DocumentsFolder(text.str(), home) + "/pump-logs";
}

}  // namespace pump::runlog
