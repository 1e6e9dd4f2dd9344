#include "remote/command_line.h"

#include <array>
#include <string_view>

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
                  "obey set-point, run, stop, timed-run and program commands from the broker"},
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

}  // namespace

std::span<const ConsoleOption> ConsoleOptions() { return kOptions; }

void SetOption(CommandLine& line, std::string_view name, std::string value) {
  if (name == "headless") {
    line.headless = true;
  } else if (name == "allow-remote-control") {
    line.remote.allowRemoteControl = true;
  } else if (name == "port") {
    line.port = std::move(value);
  } else if (name == "program") {
    line.programFile = std::move(value);
  } else if (name == "check-program") {
    line.checkProgramFile = std::move(value);
  } else if (auto* slot = RemoteValueSlot(line.remote, name)) {
    *slot = std::move(value);
  }
}

std::optional<std::string> CommandLineProblem(const CommandLine& line) {
  if (line.headless && (!line.port || line.port->empty())) return "--headless needs --port DEVICE";
  if (line.programFile && !line.headless) return "--program needs --headless";
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
  if (overrides.allowRemoteControl) settings.allowRemoteControl = true;
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
