#include "remote/command_line.h"

#include <array>
#include <fstream>
#include <string_view>

namespace pump::remote {
namespace {

using ValueField = std::optional<std::string> RemoteOverrides::*;

struct ValueOption {
  std::string_view name;
  ValueField field;
};

constexpr std::array kValueOptions{
    ValueOption{"--mqtt-url", &RemoteOverrides::brokerUrl},
    ValueOption{"--mqtt-user", &RemoteOverrides::user},
    ValueOption{"--mqtt-password-file", &RemoteOverrides::passwordFile},
    ValueOption{"--mqtt-ca", &RemoteOverrides::caFile},
    ValueOption{"--pump-id", &RemoteOverrides::pumpId},
    ValueOption{"--mqtt-topic-prefix", &RemoteOverrides::topicPrefix},
};

// Splits "--name=value" into its two halves; "--name" alone has no value.
std::pair<std::string_view, std::optional<std::string_view>> SplitOption(std::string_view arg) {
  const auto equals = arg.find('=');
  if (!arg.starts_with("--") || equals == std::string_view::npos) return {arg, std::nullopt};
  return {arg.substr(0, equals), arg.substr(equals + 1)};
}

// Finds where the option's value goes, or nothing when the name is not a
// value-taking option of ours.
std::optional<std::string>* ValueSlot(CommandLine& line, std::string_view name) {
  if (name == "--port") return &line.port;
  for (const auto& option : kValueOptions) {
    if (option.name == name) return &(line.remote.*option.field);
  }
  return nullptr;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const auto [name, inlineValue] = SplitOption(arguments[i]);
    if (name == "--headless" && !inlineValue) {
      line.headless = true;
    } else if (name == "--allow-remote-control" && !inlineValue) {
      line.remote.allowRemoteControl = true;
    } else if (auto* slot = ValueSlot(line, name)) {
      if (inlineValue) {
        *slot = std::string(*inlineValue);
      } else if (i + 1 < arguments.size()) {
        *slot = arguments[++i];
      } else {
        line.error = std::string(name) + " needs a value";
        return line;
      }
    } else {
      line.passedThrough.push_back(arguments[i]);
    }
  }
  if (line.headless && (!line.port || line.port->empty())) {
    line.error = "--headless needs --port DEVICE";
  }
  return line;
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
  if (overrides.passwordFile) {
    std::ifstream file(*overrides.passwordFile);
    std::string password;
    if (!file || !std::getline(file, password)) {
      applied.error = "cannot read the password file " + *overrides.passwordFile;
      return applied;
    }
    if (password.ends_with('\r')) password.pop_back();
    settings.password = password;
  }
  if (!applied.error) applied.error = SettingsProblem(settings);
  return applied;
}

}  // namespace pump::remote
