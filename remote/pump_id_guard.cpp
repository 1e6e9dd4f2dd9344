#include "remote/pump_id_guard.h"

#include <cstdio>
#include <nlohmann/json.hpp>
#include <random>

namespace pump::remote {
namespace {

// Anyone may publish on the topic: a flood of made-up ids is not kept.
constexpr std::size_t kMostOthersKept = 16;

}  // namespace

const std::string& ProcessInstanceId() {
  static const std::string id = [] {
    std::random_device source;
    char text[17];
    std::snprintf(text, sizeof text, "%08x%08x", static_cast<unsigned>(source()),
                  static_cast<unsigned>(source()));
    return std::string(text);
  }();
  return id;
}

PumpIdGuard::Seen PumpIdGuard::onStatus(std::string_view payload, bool retained) {
  if (retained) return Seen::Nothing;
  const auto status = nlohmann::json::parse(payload, nullptr, /*allow_exceptions=*/false);
  if (!status.is_object()) return Seen::Nothing;
  const auto named = status.find("instance_id");
  const std::string instance =
      named != status.end() && named->is_string() ? named->get<std::string>() : "";
  if (instance == own_) return Seen::Nothing;
  const auto online = status.find("online");
  if (online != status.end() && *online == true) {
    if (others_.contains(instance) || others_.size() >= kMostOthersKept) return Seen::Nothing;
    others_.insert(instance);
    return Seen::OtherOnline;
  }
  others_.erase(instance);
  return Seen::OtherOffline;
}

}  // namespace pump::remote
