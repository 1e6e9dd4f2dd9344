#include "remote/command_line.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

#include "platform/posix/named_file.h"

namespace pump::remote {
namespace {

constexpr std::array kOptions{
    ConsoleOption{"headless", "",
                  "run with no window on the --port device, messages on the standard error, "
                  "until SIGTERM, SIGINT or SIGHUP (a timed run is stopped first)"},
    ConsoleOption{"port", "DEVICE",
                  "with --headless, the port to open, as typed in the port box: 1 for the "
                  "first serial port, a device such as /dev/ttyUSB0, or sim"},
    ConsoleOption{"program", "FILE",
                  "with --headless, run the program in FILE once the pump first answers; the "
                  "console keeps running after it ends"},
    ConsoleOption{"check-program", "FILE",
                  "print the program's steps, total time and volume, or its first fault, and "
                  "exit with 0 or 2"},
    ConsoleOption{"mqtt-url", "URL", "the MQTT broker: mqtt://host:1883 or mqtts://host:8883"},
    ConsoleOption{"mqtt-user", "NAME", "the user name at the broker"},
    ConsoleOption{"mqtt-password-file", "FILE", "the broker password, on the first line of FILE"},
    ConsoleOption{"mqtt-ca", "FILE",
                  "the certificate authority for an mqtts:// broker (default: the system's)"},
    ConsoleOption{"pump-id", "ID", "the pump's name on the broker (default: the host name)"},
    ConsoleOption{"mqtt-topic-prefix", "PREFIX", "topics go under PREFIX (default: pumps/ID)"},
    ConsoleOption{"allow-remote-control", "",
                  "obey set-point, run, stop, timed-run and program commands from the broker; "
                  "=no turns a stored yes off"},
};

using ValueField = std::optional<std::string> RemoteOverrides::*;

struct RemoteValueOption {
  std::string_view name;
  ValueField field;
};

constexpr std::array kRemoteValueOptions{
    RemoteValueOption{"mqtt-url", &RemoteOverrides::brokerUrl},
    RemoteValueOption{"mqtt-user", &RemoteOverrides::user},
    RemoteValueOption{"mqtt-password-file", &RemoteOverrides::passwordFile},
    RemoteValueOption{"mqtt-ca", &RemoteOverrides::caFile},
    RemoteValueOption{"pump-id", &RemoteOverrides::pumpId},
    RemoteValueOption{"mqtt-topic-prefix", &RemoteOverrides::topicPrefix},
};

// Where a remote option's value goes, or nothing for any other name.
std::optional<std::string>* RemoteValueSlot(RemoteOverrides& remote, std::string_view name) {
  for (const auto& option : kRemoteValueOptions) {
    if (option.name == name) return &(remote.*option.field);
  }
  return nullptr;
}

// Why `path`, named by `option`, cannot be read at start, or nothing: it is
// opened as every file a person names is, so a FIFO or a device cannot hold
// the console before it starts.
std::optional<std::string> UnreadableFile(std::string_view option, const std::string& path,
                                          std::uint64_t limitBytes) {
  const posix::NamedFile file(path, limitBytes);
  if (file.opened().ok) return std::nullopt;
  return "--" + std::string(option) + " " + path + ": " + file.opened().error;
}

}  // namespace

std::span<const ConsoleOption> ConsoleOptions() { return kOptions; }

std::optional<std::string> SetOption(CommandLine& line, std::string_view name, std::string value) {
  if (name == "headless") {
    line.headless = true;
  } else if (name == "allow-remote-control") {
    if (value != "" && value != "yes" && value != "no")
      return "--allow-remote-control takes yes or no";
    line.remote.allowRemoteControl = value != "no";
  } else if (name == "port") {
    line.port = std::move(value);
  } else if (name == "program") {
    line.programFile = std::move(value);
  } else if (name == "check-program") {
    line.checkProgramFile = std::move(value);
  } else if (auto* slot = RemoteValueSlot(line.remote, name)) {
    *slot = std::move(value);
  }
  return std::nullopt;
}

std::optional<std::string> CommandLineProblem(const CommandLine& line) {
  if (line.headless && (!line.port || line.port->empty())) return "--headless needs --port DEVICE";
  if (line.programFile && !line.headless) return "--program needs --headless";
  struct NamedOnTheLine {
    std::string_view option;
    const std::optional<std::string>& path;
    std::uint64_t limitBytes;
  };
  const NamedOnTheLine files[] = {
      {"mqtt-ca", line.remote.caFile, kLargestCaFileBytes},
      {"mqtt-password-file", line.remote.passwordFile, kLargestPasswordFileBytes}};
  for (const auto& [option, path, limit] : files) {
    if (!path || path->empty()) continue;  // an empty CA file: the system's
    if (auto problem = UnreadableFile(option, *path, limit)) return problem;
  }
  return std::nullopt;
}

AppliedSettings ApplyOverrides(RemoteSettings stored, const RemoteOverrides& overrides) {
  AppliedSettings applied{std::move(stored), std::nullopt};
  RemoteSettings& settings = applied.settings;
  if (overrides.brokerUrl) settings.brokerUrl = *overrides.brokerUrl;
  if (overrides.user) settings.user = *overrides.user;
  if (overrides.caFile) settings.caFile = *overrides.caFile;
  if (overrides.pumpId) settings.pumpId = *overrides.pumpId;
  if (overrides.topicPrefix) settings.topicPrefix = *overrides.topicPrefix;
  if (overrides.allowRemoteControl) settings.allowRemoteControl = *overrides.allowRemoteControl;
  if (overrides.caFile && !overrides.caFile->empty()) {
    if ((applied.error = CaFileProblem(*overrides.caFile))) return applied;
  }
  if (overrides.passwordFile) {
    std::string bytes;
    const FileResult read =
        posix::ReadNamedFile(*overrides.passwordFile, kLargestPasswordFileBytes, &bytes);
    if (!read.ok || bytes.empty()) {
      applied.error = "cannot read the password file " + *overrides.passwordFile + ": " +
                      (read.ok ? "it is empty" : read.error);
      return applied;
    }
    std::string password = bytes.substr(0, bytes.find('\n'));
    if (password.ends_with('\r')) password.pop_back();
    settings.password = password;
  }
  if (!applied.error) applied.error = SettingsProblem(settings);
  return applied;
}

}  // namespace pump::remote
