#include "group/interlock.h"

#include "texts/group_texts.h"

namespace pump::group {

namespace {

bool LinkDown(const std::string& link) {
  return link == "no_answer" || link == "lost" || link == "reconnecting" || link == "not_connected";
}

Trip MemberTripOf(TripCause cause, const std::string& id, const std::string& what) {
  return Trip{cause, id, "interlock " + id + " " + what};
}

}  // namespace

Interlock::Interlock(const std::string& ownId, const std::vector<std::string>& members) {
  for (const std::string& id : members)
    if (id != ownId) others_.push_back(id);
}

void Interlock::arm(Clock::time_point now) {
  armed_ = true;
  armedAt_ = now;
  for (const std::string& id : others_) {
    Watched& member = watched_[id];
    member.lastHeard = now;
    member.partSeen = false;
  }
}

void Interlock::memberStatus(const std::string& id, const MemberStatus& status) {
  const auto found = watched_.find(id);
  if (found == watched_.end()) return;
  Watched& member = found->second;
  member.status = status;
  member.statusSeen = true;
  if (status.programState == "running") member.partSeen = true;
}

void Interlock::memberReading(const std::string& id, std::optional<double> pressureMpa,
                              Clock::time_point now) {
  const auto found = watched_.find(id);
  if (found == watched_.end()) return;
  found->second.lastHeard = now;
  if (pressureMpa) found->second.status.pressureMpa = pressureMpa;
}

void Interlock::brokerConnected(bool connected, Clock::time_point now) {
  if (connected) {
    brokerDownSince_.reset();
  } else if (!brokerDownSince_) {
    brokerDownSince_ = now;
  }
}

std::optional<Trip> Interlock::memberTrip(const std::string& id, const Watched& member,
                                          Clock::time_point now) const {
  const MemberStatus& s = member.status;
  if (member.statusSeen && !s.online) return MemberTripOf(TripCause::Offline, id, "offline");
  if (member.statusSeen && LinkDown(s.link))
    return MemberTripOf(TripCause::LinkDown, id, "link " + s.link);
  if (s.pressureMpa && s.limitMpa && *s.pressureMpa >= *s.limitMpa)
    return MemberTripOf(TripCause::PressureLimit, id, "pressure at limit");
  if (now - member.lastHeard >= kReadingSilence)
    return MemberTripOf(TripCause::NoReading, id, "no reading for 5 s");
  if (nearOwnEnd()) return std::nullopt;
  if (member.partSeen && s.programState == "paused")
    return MemberTripOf(TripCause::PartPaused, id, "program paused");
  if (member.partSeen && !s.programState)
    return MemberTripOf(TripCause::PartGone, id, "program gone");
  if (!member.partSeen && now - armedAt_ >= kStartGrace)
    return MemberTripOf(TripCause::PartGone, id, "program not running");
  return std::nullopt;
}

std::optional<Trip> Interlock::check(Clock::time_point now) {
  if (!armed_) return std::nullopt;
  std::optional<Trip> trip;
  if (brokerDownSince_ && now - *brokerDownSince_ >= kBrokerSilence) {
    trip = Trip{TripCause::BrokerDown, "", "interlock broker down for 3 s"};
  }
  for (const std::string& id : others_) {
    if (trip) break;
    trip = memberTrip(id, watched_.at(id), now);
  }
  if (trip) armed_ = false;
  return trip;
}

std::string TripText(const Trip& trip) {
  switch (trip.cause) {
    case TripCause::Offline:
      return trip.member + texts::kMemberOffline;
    case TripCause::LinkDown:
      return trip.member + texts::kMemberLinkDown;
    case TripCause::PressureLimit:
      return trip.member + texts::kMemberAtPressureLimit;
    case TripCause::NoReading:
      return trip.member + texts::kMemberSilent;
    case TripCause::PartPaused:
      return trip.member + texts::kMemberPartPaused;
    case TripCause::PartGone:
      return trip.member + texts::kMemberPartGone;
    case TripCause::BrokerDown:
      return texts::kOwnBrokerDown;
  }
  return {};
}

}  // namespace pump::group
