#include "remote/remote_settings.h"

#include <unistd.h>

#include <charconv>
#include <climits>

#include "platform/posix/named_file.h"

namespace pump::remote {
namespace {

constexpr std::string_view kPlainScheme = "mqtt://";
constexpr std::string_view kTlsScheme = "mqtts://";
constexpr std::uint16_t kPlainPort = 1883;
constexpr std::uint16_t kTlsPort = 8883;

std::optional<std::uint16_t> ParsePort(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (value == 0 || value > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(value);
}

bool IsHostCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == ':';
}

bool IsHostName(std::string_view host) {
  if (host.empty() || host.size() > 253) return false;
  for (char c : host) {
    if (!IsHostCharacter(c)) return false;
  }
  return true;
}

// MQTT topic levels must not carry wildcards, and a prefix has no empty ends.
bool IsTopicPrefix(std::string_view prefix) {
  if (prefix.empty() || prefix.front() == '/' || prefix.back() == '/') return false;
  return prefix.find_first_of("#+") == std::string_view::npos &&
         prefix.find('\0') == std::string_view::npos;
}

}  // namespace

std::optional<BrokerAddress> ParseBrokerUrl(std::string_view url) {
  BrokerAddress address;
  if (url.starts_with(kTlsScheme)) {
    address.tls = true;
    url.remove_prefix(kTlsScheme.size());
  } else if (url.starts_with(kPlainScheme)) {
    url.remove_prefix(kPlainScheme.size());
  } else {
    return std::nullopt;
  }
  if (url.ends_with('/')) url.remove_suffix(1);
  address.port = address.tls ? kTlsPort : kPlainPort;

  std::string_view host = url;
  std::string_view port;
  if (url.starts_with('[')) {  // an IPv6 address in brackets
    const auto close = url.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = url.substr(1, close - 1);
    const auto rest = url.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') return std::nullopt;
      port = rest.substr(1);
      if (port.empty()) return std::nullopt;
    }
  } else if (const auto colon = url.rfind(':'); colon != std::string_view::npos) {
    host = url.substr(0, colon);
    port = url.substr(colon + 1);
    if (port.empty() || host.find(':') != std::string_view::npos) return std::nullopt;
  }
  if (!IsHostName(host)) return std::nullopt;
  if (!port.empty()) {
    const auto number = ParsePort(port);
    if (!number) return std::nullopt;
    address.port = *number;
  }
  address.host = std::string(host);
  return address;
}

std::string HostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "pump";
  return name;
}

std::string EffectivePumpId(const RemoteSettings& settings) {
  return settings.pumpId.empty() ? HostName() : settings.pumpId;
}

std::string EffectiveTopicPrefix(const RemoteSettings& settings) {
  return settings.topicPrefix.empty() ? "pumps/" + EffectivePumpId(settings) : settings.topicPrefix;
}

std::optional<std::string> SettingsProblem(const RemoteSettings& settings) {
  if (settings.brokerUrl.empty()) return std::nullopt;
  const auto address = ParseBrokerUrl(settings.brokerUrl);
  if (!address) return "broker URL must look like mqtt://host:1883 or mqtts://host:8883";
  if (!settings.caFile.empty() && !address->tls) return "a CA file needs an mqtts:// URL";
  if (!IsTopicPrefix(EffectiveTopicPrefix(settings))) {
    return "topic prefix must not be empty, start or end with \"/\", or hold \"#\" or \"+\"";
  }
  return std::nullopt;
}

std::optional<std::string> CaFileProblem(const std::string& caFile) {
  const posix::NamedFile file(caFile, kLargestCaFileBytes);
  if (file.opened().ok) return std::nullopt;
  return "cannot use the CA file " + caFile + ": " + file.opened().error;
}

}  // namespace pump::remote
