// The interlock each member of a group runs while its part of the group's
// program runs: it follows the other members as the broker tells of them and
// trips, once, on the first sign that one of them no longer pumps its part,
// or that this console can no longer see them. The console then pauses its
// own part; it never goes on by itself.
#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pump::group {

using Clock = std::chrono::steady_clock;

// What a member's retained status says, as far as the interlock cares.
struct MemberStatus {
  bool online = true;
  std::string link;  // "answering", "no_answer", "lost", ...
  std::optional<double> pressureMpa;
  std::optional<double> limitMpa;
  std::optional<std::string> programState;  // "running", "paused"; nothing without a program
};

enum class TripCause {
  Offline,        // its last will, or a clean exit
  LinkDown,       // its link not answering, lost or closed
  PressureLimit,  // its pressure at or over its limit
  NoReading,      // nothing from it for 5 s
  PartPaused,     // its part paused
  PartGone,       // its part aborted, or gone before its scheduled end
  BrokerDown,     // this console's own broker connection down for 3 s
};

struct Trip {
  TripCause cause;
  std::string member;  // empty for BrokerDown
  std::string detail;  // for the run log and the broker: "interlock P02 offline"
};

class Interlock {
 public:
  static constexpr auto kReadingSilence = std::chrono::seconds(5);
  static constexpr auto kBrokerSilence = std::chrono::seconds(3);
  // How long a member may take to show its part running after the start.
  static constexpr auto kStartGrace = std::chrono::seconds(3);
  // A member's part that ends this close to this console's own end ended normally.
  static constexpr long kEndGraceSeconds = 2;

  Interlock(const std::string& ownId, const std::vector<std::string>& members);

  // Watching starts (the part started or continued); every member's clock
  // starts afresh.
  void arm(Clock::time_point now);
  // Watching stops: the own part ended, paused or aborted.
  void disarm() { armed_ = false; }
  bool armed() const { return armed_; }

  void memberStatus(const std::string& id, const MemberStatus& status);
  void memberReading(const std::string& id, std::optional<double> pressureMpa,
                     Clock::time_point now);
  void brokerConnected(bool connected, Clock::time_point now);
  // Whole seconds the own part has still to run.
  void ownSecondsLeft(long seconds) { ownSecondsLeft_ = seconds; }

  // The first cause found while armed; the interlock disarms when it trips.
  std::optional<Trip> check(Clock::time_point now);

  const std::vector<std::string>& others() const { return others_; }

 private:
  struct Watched {
    MemberStatus status;
    bool statusSeen = false;
    bool partSeen = false;
    Clock::time_point lastHeard;
  };

  std::optional<Trip> memberTrip(const std::string& id, const Watched& member,
                                 Clock::time_point now) const;
  bool nearOwnEnd() const { return ownSecondsLeft_ <= kEndGraceSeconds; }

  std::vector<std::string> others_;
  std::map<std::string, Watched> watched_;
  bool armed_ = false;
  Clock::time_point armedAt_;
  std::optional<Clock::time_point> brokerDownSince_;
  long ownSecondsLeft_ = 0;
};

// "离线", "通信中断", ... for "● 联动暂停：P02 离线".
std::string TripText(const Trip& trip);

}  // namespace pump::group
