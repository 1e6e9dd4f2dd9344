#include "remote/remote_station.h"

#include "remote/json_messages.h"

namespace pump::remote {
namespace {

// A pressure that alone changed is carried by the pressure topic at every
// reading; the retained status follows it at most this often, so a fast
// stream does not rewrite the retained message 1,280 times a second.
constexpr auto kPressureOnlyStatusInterval = std::chrono::seconds(1);

constexpr char kRemoteMark[] = "● 远程: ";

}  // namespace

RemoteStation::RemoteStation(const RemoteSettings& settings, BrokerConnection& broker,
                             session::PumpCommands& control, RemoteStationHooks hooks,
                             const session::PumpState& shown, Timer* groupTimer)
    : settings_(settings),
      prefix_(EffectiveTopicPrefix(settings)),
      pressureTopic_(prefix_ + "/pressure"),
      statusTopic_(prefix_ + "/status"),
      broker_(broker),
      control_(control),
      hooks_(std::move(hooks)),
      tracker_(EffectivePumpId(settings), shown),
      pumpIdGuard_(ProcessInstanceId()) {
  tracker_.setRemoteControl(settings.allowRemoteControl);
  tracker_.setInstanceId(ProcessInstanceId());
  if (groupTimer) {
    groupPart_ = std::make_unique<GroupPart>(EffectivePumpId(settings), prefix_, broker_, control_,
                                             *groupTimer, [this](const std::string& text) {
                                               if (hooks_.interlockTripped)
                                                 hooks_.interlockTripped(text);
                                             });
  }
}

void RemoteStation::start() {
  if (started_) return;
  started_ = true;
  BrokerSession session;
  session.lastWill = {statusTopic_, LastWillJson(EffectivePumpId(settings_), ProcessInstanceId()),
                      1, true};
  // Statuses come with the retain flag only when the broker kept them: a
  // live one from another console must not look like an old one.
  session.subscriptions = {{prefix_ + "/cmd/+"}, {statusTopic_, false}};
  session.largestPayload = kLargestProgramPayload;
  session.statusChanged = [this](const BrokerStatus& status) { onBrokerStatus(status); };
  session.messageArrived = [this](const BrokerMessage& message) { onMessage(message); };
  broker_.start(std::move(session));
}

RemoteStation::~RemoteStation() {
  if (started_) broker_.stop(statusMessage(false));
}

void RemoteStation::stop() {
  if (!started_) return;
  started_ = false;
  broker_.stop(statusMessage(false));
  brokerStatus_ = {BrokerState::Disconnected, {}};
  if (hooks_.brokerStatusChanged) hooks_.brokerStatusChanged(brokerStatus_);
}

void RemoteStation::onSessionEvent(const session::SessionEvent& event) {
  tracker_.apply(event);
  if (groupPart_) groupPart_->onSessionEvent(event);
  // Only a timed run has seconds left: no need to ask at every reading.
  const bool timing = tracker_.status().runState != "idle";
  tracker_.setSecondsLeft(timing ? control_.timedRunSecondsLeft() : std::nullopt);
  if (brokerStatus_.state == BrokerState::Connected) {
    if (event.kind == EventKind::Reading) {
      broker_.publish({pressureTopic_, PressureJson(event, readingTimes_), 0, false});
    }
    publishStatus(event.monotonicTime, false);
  }
  if (event.kind != EventKind::Reading) {
    publishOrHold({prefix_ + "/event", EventJson(event), 1, false});
  }
}

void RemoteStation::onBrokerStatus(const BrokerStatus& status) {
  brokerStatus_ = status;
  if (groupPart_) groupPart_->onBrokerConnected(status.state == BrokerState::Connected);
  if (status.state == BrokerState::Connected) {
    // The retained status may be the will's by now: say we are back first.
    publishStatus(std::chrono::steady_clock::now(), true);
    while (!held_.empty() && broker_.publish(held_.front())) held_.pop_front();
  }
  if (hooks_.brokerStatusChanged) hooks_.brokerStatusChanged(status);
}

void RemoteStation::onMessage(const BrokerMessage& message) {
  if (message.topic == statusTopic_) return onOwnTopicStatus(message);
  if (groupPart_ && groupPart_->onMessage(message)) return;
  const std::string commandTopic = prefix_ + "/cmd/";
  if (!message.topic.starts_with(commandTopic)) return;
  const std::string name = message.topic.substr(commandTopic.size());
  if (name == "result") return;  // our own answers come back to us
  onCommand(name, message);
}

void RemoteStation::onCommand(const std::string& name, const BrokerMessage& message) {
  const ParsedCommand parsed = ParseCommand(name, message.payload);
  // A command the broker kept was meant for another moment: obeyed at a
  // reconnection, it could start a pump stopped since.
  if (message.retain) {
    return answer(name, parsed, session::CommandResult::Refused("retained command ignored"));
  }
  const bool hasId = parsed.requestId.json != "null";
  const auto now = std::chrono::steady_clock::now();
  if (hasId) {
    const auto earlier = recentRequests_.find(parsed.requestId.json, name, message.payload, now);
    if (earlier && earlier->sameCommand) return answerAgain(parsed, earlier->answer);
    if (earlier) {
      return answer(name, parsed,
                    session::CommandResult::Refused("request_id already used for another command"));
    }
  }
  const session::CommandResult result = decide(parsed);
  answer(name, parsed, result);
  // Refused only while another console is there: the same request may be
  // sent again once it has gone.
  if (hasId && !pumpIdGuard_.conflict()) {
    recentRequests_.remember(parsed.requestId.json, name, message.payload,
                             {result.ok(), result.refusal}, now);
  }
}

// Another console online under our pump id: commands are refused until it
// leaves. Its will or farewell took the retained status for itself: ours is
// published again, so that the topic tells of this console.
void RemoteStation::onOwnTopicStatus(const BrokerMessage& message) {
  const auto seen = pumpIdGuard_.onStatus(message.payload, message.retain);
  if (seen == PumpIdGuard::Seen::Nothing) return;
  tracker_.setPumpIdInUse(pumpIdGuard_.conflict());
  if (brokerStatus_.state == BrokerState::Connected) {
    publishStatus(std::chrono::steady_clock::now(), true);
  }
  if (seen == PumpIdGuard::Seen::OtherOnline && !toldPumpIdInUse_) {
    toldPumpIdInUse_ = true;
    if (hooks_.pumpIdInUse) hooks_.pumpIdInUse();
  }
}

session::CommandResult RemoteStation::decide(const ParsedCommand& parsed) {
  if (pumpIdGuard_.conflict()) return session::CommandResult::Refused(kPumpIdInUse);
  if (!parsed.command) return session::CommandResult::Refused(parsed.refusal);
  if (!settings_.allowRemoteControl)
    return session::CommandResult::Refused("remote control is off");
  return carryOut(*parsed.command);
}

session::CommandResult RemoteStation::carryOut(const RemoteCommand& command) {
  if (session::CommandResult result; groupPart_ && groupPart_->take(command, result)) return result;
  if (command.startAtUtcMs || command.group)
    return session::CommandResult::Refused("start_at and group are not taken here");
  switch (command.kind) {
    case CommandKind::SetFlow:
      return control_.setFlow(command.value);
    case CommandKind::SetPressureLimit:
      return control_.setPressureLimit(command.value);
    case CommandKind::Run:
      return control_.run();
    case CommandKind::Stop:
      return control_.stop();
    case CommandKind::TimedRun:
      return control_.timedRun(command.value);
    case CommandKind::RunProgram:
      if (!command.program) break;
      return control_.startProgram(*command.program);
    case CommandKind::PauseProgram:
      return control_.pauseProgram();
    case CommandKind::ContinueProgram:
      return control_.continueProgram();
    case CommandKind::AbortProgram:
      return control_.abortProgram();
  }
  return session::CommandResult::Refused("unknown command");
}

void RemoteStation::answer(const std::string& name, const ParsedCommand& parsed,
                           const session::CommandResult& result) {
  publishOrHold({prefix_ + "/cmd/result", ResultJson(parsed.requestId, result.ok(), result.refusal),
                 1, false});
  RemoteCommandNotice notice{
      kRemoteMark,
      name,
      parsed.requestId.text,
      result.ok(),
      result.refusal,
      CommandLogDetail(name, parsed, result.ok(),
                       result.reason.empty() ? result.refusal : result.reason)};
  notice.statusText += parsed.command ? DescribeCommand(*parsed.command) : name;
  if (!result.ok()) notice.statusText += " 已拒绝 (" + result.refusal + ")";
  if (hooks_.commandHandled) hooks_.commandHandled(notice);
}

// A repeat changes nothing here: no status line, no run-log row.
void RemoteStation::answerAgain(const ParsedCommand& parsed, const RecentRequests::Answer& first) {
  publishOrHold(
      {prefix_ + "/cmd/result", ResultJson(parsed.requestId, first.ok, first.error), 1, false});
}

void RemoteStation::publishStatus(std::chrono::steady_clock::time_point now, bool evenIfSame) {
  const PumpStatus& status = tracker_.status();
  if (!evenIfSame && published_) {
    if (status.sameStateAs(*published_)) return;
    const bool onlyPressure = status.sameStateApartFromPressure(*published_);
    if (onlyPressure && now - publishedAt_ < kPressureOnlyStatusInterval) return;
  }
  if (broker_.publish(statusMessage(true))) {
    published_ = status;
    publishedAt_ = now;
  }
}

void RemoteStation::publishOrHold(BrokerMessage message) {
  if (brokerStatus_.state == BrokerState::Connected && held_.empty() && broker_.publish(message)) {
    return;
  }
  held_.push_back(std::move(message));
  if (held_.size() > kHeldMessages) held_.pop_front();
}

BrokerMessage RemoteStation::statusMessage(bool online) const {
  PumpStatus status = tracker_.status();
  status.online = online;
  if (!online) status.time = std::chrono::system_clock::now();
  return {prefix_ + "/status", StatusJson(status), 1, true};
}

}  // namespace pump::remote
