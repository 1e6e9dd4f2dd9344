// The console's own command-line options, for unattended machines:
//   --headless --port DEV --program FILE, --check-program FILE
//   --mqtt-url URL --mqtt-user NAME --mqtt-password-file FILE --mqtt-ca FILE
//   --pump-id ID --mqtt-topic-prefix PREFIX --allow-remote-control[=yes|no]
// What they are and where their values go; the toolkit's parser reads the
// arguments themselves (app/console_command_line.h).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "remote/remote_settings.h"

namespace pump::remote {

// One option as --help lists it.
struct ConsoleOption {
  std::string_view name;       // without the leading "--"
  std::string_view valueName;  // empty for a switch
  std::string_view description;
};

// Every option of the console's own, in the order --help lists them.
std::span<const ConsoleOption> ConsoleOptions();

// The remote settings given on the command line; what was not given is empty
// and leaves the stored setting in force.
struct RemoteOverrides {
  std::optional<std::string> brokerUrl;
  std::optional<std::string> user;
  std::optional<std::string> passwordFile;
  std::optional<std::string> caFile;
  std::optional<std::string> pumpId;
  std::optional<std::string> topicPrefix;
  std::optional<bool> allowRemoteControl;  // --allow-remote-control[=yes|no]
  bool operator==(const RemoteOverrides&) const = default;
};

struct CommandLine {
  bool headless = false;
  std::optional<std::string> port;
  std::optional<std::string> programFile;       // run once the pump first answers
  std::optional<std::string> checkProgramFile;  // only check it, and exit
  RemoteOverrides remote;
  bool operator==(const CommandLine&) const = default;
};

// Records option `name` (one of ConsoleOptions()) as given with `value`. A
// switch takes no value, but --allow-remote-control may be given "yes" or
// "no"; any other is refused with the reason. A later value of an option
// replaces an earlier.
std::optional<std::string> SetOption(CommandLine& line, std::string_view name, std::string value);

// Why the console cannot start with this line, or nothing when it can. The
// files it names must be regular files this user can read.
std::optional<std::string> CommandLineProblem(const CommandLine& line);

// The stored settings with the command line's on top. The password comes from
// the first line of the password file (without its line end); an unreadable
// file is an error.
struct AppliedSettings {
  RemoteSettings settings;
  std::optional<std::string> error;
};
AppliedSettings ApplyOverrides(RemoteSettings stored, const RemoteOverrides& overrides);

}  // namespace pump::remote
