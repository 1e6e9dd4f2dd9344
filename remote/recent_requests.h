// The answers given lately, by request id, so that a command sent again with
// the same id (a dashboard retrying, a message delivered twice) is answered
// again but not carried out again. Ids are kept for 10 minutes, and at most
// the last 1,000 of them; commands without an id are not kept.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace pump::remote {

class RecentRequests {
 public:
  using Clock = std::chrono::steady_clock;

  static constexpr std::size_t kKept = 1000;
  static constexpr auto kKeptFor = std::chrono::minutes(10);

  struct Answer {
    bool ok = true;
    std::string error;
  };
  // What an id was first used for and how it was answered.
  struct Earlier {
    Answer answer;
    bool sameCommand = false;  // the same topic and payload: a true repeat
  };

  // `id` is the request id's JSON text; `name` and `payload` the command's
  // topic level and payload as they came.
  std::optional<Earlier> find(const std::string& id, std::string_view name,
                              std::string_view payload, Clock::time_point now);
  void remember(std::string id, std::string_view name, std::string_view payload, Answer answer,
                Clock::time_point now);

 private:
  struct Entry {
    std::string id;
    std::size_t command;  // a hash of topic level and payload
    Answer answer;
    Clock::time_point at;
  };

  static std::size_t CommandHash(std::string_view name, std::string_view payload);
  void forgetOlderThan(Clock::time_point oldest);

  std::deque<Entry> entries_;  // oldest first
};

}  // namespace pump::remote
