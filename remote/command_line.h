// The console's own command-line options, for unattended machines:
//   --headless --port DEV
//   --mqtt-url URL --mqtt-user NAME --mqtt-password-file FILE --mqtt-ca FILE
//   --pump-id ID --mqtt-topic-prefix PREFIX --allow-remote-control
// Each takes its value as the next argument or after "=". Arguments that are
// not ours (the toolkit's own, such as -platform) are passed through.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "remote/remote_settings.h"

namespace pump::remote {

// The remote settings given on the command line; what was not given is empty
// and leaves the stored setting in force.
struct RemoteOverrides {
  std::optional<std::string> brokerUrl;
  std::optional<std::string> user;
  std::optional<std::string> passwordFile;
  std::optional<std::string> caFile;
  std::optional<std::string> pumpId;
  std::optional<std::string> topicPrefix;
  bool allowRemoteControl = false;
};

struct CommandLine {
  bool headless = false;
  std::optional<std::string> port;
  RemoteOverrides remote;
  std::vector<std::string> passedThrough;  // arguments that are not ours, in order
  std::optional<std::string> error;        // set when the line cannot be used
};

// `arguments` excludes the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The stored settings with the command line's on top. The password comes from
// the first line of the password file (without its line end); an unreadable
// file is an error.
struct AppliedSettings {
  RemoteSettings settings;
  std::optional<std::string> error;
};
AppliedSettings ApplyOverrides(RemoteSettings stored, const RemoteOverrides& overrides);

}  // namespace pump::remote
