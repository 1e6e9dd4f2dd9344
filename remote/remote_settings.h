// How the console reaches an MQTT broker, and what it may let the broker do.
// Remote monitoring is off while the broker URL is empty.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pump::remote {

struct RemoteSettings {
  std::string brokerUrl;  // mqtt://host[:port] or mqtts://host[:port]; empty: off
  std::string user;       // empty: connect without a user name
  std::string password;
  std::string caFile;       // for mqtts://; empty: the system's certificate store
  std::string pumpId;       // empty: the computer's host name
  std::string topicPrefix;  // empty: pumps/<pump id>
  bool allowRemoteControl = false;
};

// A CA file is a few certificates (the whole system store is under 300 KB); a
// password file's first line is the password.
inline constexpr std::uint64_t kLargestCaFileBytes = 1024 * 1024;
inline constexpr std::uint64_t kLargestPasswordFileBytes = 64 * 1024;

// Why the CA file cannot be used, or nothing when it can: it is opened as any
// file a person names is, so a FIFO or a device is refused rather than left to
// hold whoever reads it next.
std::optional<std::string> CaFileProblem(const std::string& caFile);

// A broker URL taken apart.
struct BrokerAddress {
  std::string host;
  std::uint16_t port = 0;
  bool tls = false;
};

// Reads "mqtt://host", "mqtts://host:8883", "mqtt://[::1]:1883"; a trailing "/"
// is allowed. Default ports 1883 and 8883. Nothing for any other form.
std::optional<BrokerAddress> ParseBrokerUrl(std::string_view url);

// The computer's host name, or "pump" when it cannot be read.
std::string HostName();

// The pump id and topic prefix in force: the settings' own, or the defaults.
std::string EffectivePumpId(const RemoteSettings& settings);
std::string EffectiveTopicPrefix(const RemoteSettings& settings);

// Why these settings cannot be used, or nothing when they can. Settings with
// an empty URL are valid: they switch remote monitoring off.
std::optional<std::string> SettingsProblem(const RemoteSettings& settings);

}  // namespace pump::remote
