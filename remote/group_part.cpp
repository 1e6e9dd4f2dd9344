#include "remote/group_part.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "group/start_time.h"
#include "texts/group_texts.h"

namespace pump::remote {

namespace {

using Json = nlohmann::json;
using Clock = std::chrono::steady_clock;

// While a part runs the interlock looks this often.
constexpr int kWatchMs = 100;

std::optional<double> NumberIn(const Json& message, const char* key) {
  const auto found = message.find(key);
  if (found == message.end() || !found->is_number()) return std::nullopt;
  return found->get<double>();
}

// A member's retained status or last will, as far as the interlock cares.
std::optional<group::MemberStatus> ReadMemberStatus(const std::string& payload) {
  const Json message = Json::parse(payload, nullptr, false);
  if (!message.is_object()) return std::nullopt;
  group::MemberStatus status;
  const auto online = message.find("online");
  status.online = online != message.end() && online->is_boolean() && online->get<bool>();
  const auto link = message.find("link");
  if (link != message.end() && link->is_string()) status.link = link->get<std::string>();
  status.pressureMpa = NumberIn(message, "pressure_mpa");
  status.limitMpa = NumberIn(message, "pressure_limit_mpa");
  const auto program = message.find("program");
  if (program != message.end() && program->is_object()) {
    const auto state = program->find("state");
    status.programState = state != program->end() && state->is_string() ? state->get<std::string>()
                                                                        : std::string("running");
  }
  return status;
}

std::int64_t WallNowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

GroupPart::GroupPart(std::string ownId, const std::string& ownPrefix, BrokerConnection& broker,
                     session::PumpCommands& control, Timer& timer, Tripped tripped)
    : ownId_(std::move(ownId)),
      parentPrefix_(ownPrefix.substr(
          0, ownPrefix.rfind('/') == std::string::npos ? 0 : ownPrefix.rfind('/') + 1)),
      broker_(broker),
      control_(control),
      timer_(timer),
      tripped_(std::move(tripped)) {
  timer_.setEnabled(false);
  timer_.setOnTick([this] { tick(); });
}

std::string GroupPart::memberPrefix(const std::string& id) const { return parentPrefix_ + id; }

bool GroupPart::take(const RemoteCommand& command, session::CommandResult& result) {
  const bool starts =
      command.kind == CommandKind::RunProgram || command.kind == CommandKind::ContinueProgram;
  if (!starts || (!command.startAtUtcMs && !command.group)) return false;
  result = schedule(command);
  return true;
}

session::CommandResult GroupPart::schedule(const RemoteCommand& command) {
  using session::CommandResult;
  if (pending_) return CommandResult::Refused("a program start is pending");
  if (command.group && std::find(command.group->members.begin(), command.group->members.end(),
                                 ownId_) == command.group->members.end())
    return CommandResult::Refused("group members must include this pump (" + ownId_ + ")");
  if (!command.startAtUtcMs) return carryOut(command);
  const std::int64_t nowMs = WallNowMs();
  switch (group::JudgeStart(*command.startAtUtcMs, nowMs)) {
    case group::StartVerdict::InThePast:
      return CommandResult::Refused("start_at is in the past");
    case group::StartVerdict::TooFarAhead:
      return CommandResult::Refused("start_at is more than 60 s ahead");
    case group::StartVerdict::Accepted:
      break;
  }
  pending_ = command;
  startAt_ = Clock::now() + std::chrono::milliseconds(*command.startAtUtcMs - nowMs);
  timer_.setEnabled(false);
  timer_.setInterval(static_cast<int>(*command.startAtUtcMs - nowMs));
  timer_.setEnabled(true);
  return CommandResult::Done();
}

session::CommandResult GroupPart::carryOut(const RemoteCommand& command) {
  if (command.kind == CommandKind::ContinueProgram) {
    const auto result = control_.continueProgram();
    if (result.ok() && interlock_) interlock_->arm(Clock::now());
    return result;
  }
  if (!command.program) return session::CommandResult::Refused("program is missing");
  leave();
  const auto result = control_.startProgram(*command.program);
  if (result.ok() && command.group) join(*command.group);
  return result;
}

void GroupPart::tick() {
  const auto now = Clock::now();
  if (pending_) {
    if (now < startAt_) {
      timer_.setInterval(
          static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(startAt_ - now).count()));
      return;
    }
    const RemoteCommand command = std::move(*pending_);
    pending_.reset();
    timer_.setEnabled(false);
    carryOut(command);
  }
  if (!interlock_) return timer_.setEnabled(false);
  if (timer_.interval() != kWatchMs) timer_.setInterval(kWatchMs);
  timer_.setEnabled(true);
  if (const auto trip = interlock_->check(now)) {
    control_.pauseProgramBecause(trip->detail);
    if (tripped_) tripped_(texts::kInterlockPaused + group::TripText(*trip));
  }
}

void GroupPart::join(const GroupMembership& group) {
  group_ = group;
  std::string named = "group " + group.id;
  for (const std::string& member : group.members) named += " " + member;
  control_.noteProgramStep(named);
  interlock_.emplace(ownId_, group.members);
  interlock_->brokerConnected(brokerConnected_, Clock::now());
  for (const std::string& id : interlock_->others()) {
    broker_.subscribe(Subscription(memberPrefix(id) + "/status", false, true));
    broker_.subscribe(Subscription(memberPrefix(id) + "/pressure", false));
  }
  interlock_->arm(Clock::now());
  timer_.setInterval(kWatchMs);
  timer_.setEnabled(true);
}

void GroupPart::leave() {
  if (!interlock_) return;
  for (const std::string& id : interlock_->others()) {
    broker_.unsubscribe(memberPrefix(id) + "/status");
    broker_.unsubscribe(memberPrefix(id) + "/pressure");
  }
  interlock_.reset();
  group_.reset();
  if (!pending_) timer_.setEnabled(false);
}

bool GroupPart::onMessage(const BrokerMessage& message) {
  if (!interlock_) return false;
  for (const std::string& id : interlock_->others()) {
    const std::string prefix = memberPrefix(id);
    if (message.topic == prefix + "/status") {
      if (const auto status = ReadMemberStatus(message.payload))
        interlock_->memberStatus(id, *status);
      return true;
    }
    if (message.topic == prefix + "/pressure") {
      const Json reading = Json::parse(message.payload, nullptr, false);
      interlock_->memberReading(
          id, reading.is_object() ? NumberIn(reading, "pressure_mpa") : std::nullopt, Clock::now());
      return true;
    }
  }
  return false;
}

void GroupPart::onBrokerConnected(bool connected) {
  brokerConnected_ = connected;
  if (interlock_) interlock_->brokerConnected(connected, Clock::now());
}

// The own part's steps: a pause by anyone disarms, a continue arms, an end
// or abort leaves the group.
void GroupPart::onSessionEvent(const session::SessionEvent& event) {
  if (!interlock_) return;
  if (event.state.program) interlock_->ownSecondsLeft(event.state.program->secondsLeft);
  if (event.kind != EventKind::Program) return;
  if (event.detail == "pause") interlock_->disarm();
  if (event.detail == "continue") interlock_->arm(Clock::now());
  if (event.detail == "end" || event.detail.starts_with("abort")) leave();
}

}  // namespace pump::remote
