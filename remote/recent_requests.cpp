#include "remote/recent_requests.h"

#include <functional>

namespace pump::remote {

std::size_t RecentRequests::CommandHash(std::string_view name, std::string_view payload) {
  const std::size_t nameHash = std::hash<std::string_view>{}(name);
  return nameHash ^ (std::hash<std::string_view>{}(payload) + 0x9e3779b97f4a7c15u +
                     (nameHash << 6) + (nameHash >> 2));
}

std::optional<RecentRequests::Earlier> RecentRequests::find(const std::string& id,
                                                            std::string_view name,
                                                            std::string_view payload,
                                                            Clock::time_point now) {
  forgetOlderThan(now - kKeptFor);
  for (const auto& entry : entries_) {
    if (entry.id == id) return Earlier{entry.answer, entry.command == CommandHash(name, payload)};
  }
  return std::nullopt;
}

void RecentRequests::remember(std::string id, std::string_view name, std::string_view payload,
                              Answer answer, Clock::time_point now) {
  entries_.push_back({std::move(id), CommandHash(name, payload), std::move(answer), now});
  if (entries_.size() > kKept) entries_.pop_front();
}

void RecentRequests::forgetOlderThan(Clock::time_point oldest) {
  while (!entries_.empty() && entries_.front().at < oldest) entries_.pop_front();
}

}  // namespace pump::remote
