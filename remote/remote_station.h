// The console as a client of an MQTT broker: publishes its state, readings
// and events under the topic prefix, and answers commands from the broker
// through the operator's own rules. Lives on the window's thread.
//
//   <prefix>/status      retained; the last will marks it offline. Watched
//                        too: another console online here makes every
//                        command refused (see pump_id_guard.h)
//   <prefix>/pressure    every reading, QoS 0
//   <prefix>/event       every event but readings, QoS 1
//   <prefix>/cmd/<name>  commands in; one answer each on <prefix>/cmd/result
//
// Only live commands are carried out: one the broker retained is answered as
// ignored. A command whose request id was answered in the last 10 minutes
// (the last 1,000 ids) gets that answer again and is not carried out again.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "remote/broker_connection.h"
#include "remote/group_part.h"
#include "remote/pump_id_guard.h"
#include "remote/pump_status.h"
#include "remote/recent_requests.h"
#include "remote/remote_command.h"
#include "remote/remote_settings.h"
#include "runlog/local_time.h"
#include "session/pump_commands.h"
#include "session/session_events.h"

namespace pump::remote {

// What the console shows and logs for each command from the broker.
struct RemoteCommandNotice {
  std::string statusText;  // "● 远程: 设定流量 150"
  std::string command;     // the topic's last level: "set_flow"
  std::string requestId;   // printable ASCII; empty when none was given
  bool ok = false;
  std::string error;      // why it was refused, when !ok
  std::string logDetail;  // for the run log: "remote set_flow 150 request_id=abc", ASCII
};

struct RemoteStationHooks {
  std::function<void(const BrokerStatus&)> brokerStatusChanged;
  std::function<void(const RemoteCommandNotice&)> commandHandled;
  // Once, the first time another console is seen online under the pump id.
  std::function<void()> pumpIdInUse;
  // The group's interlock paused this console's part: "● 联动暂停：P02 离线".
  std::function<void(const std::string& statusText)> interlockTripped;
};

class RemoteStation {
 public:
  // Events and results that wait for the broker to come back; older ones
  // give way to newer ones beyond this.
  static constexpr std::size_t kHeldMessages = 1000;

  // With a `groupTimer`, programs may start at a set moment and run in a
  // group (see group_part.h); without, such commands are refused.
  RemoteStation(const RemoteSettings& settings, BrokerConnection& broker,
                session::PumpCommands& control, RemoteStationHooks hooks,
                const session::PumpState& shown = {}, Timer* groupTimer = nullptr);
  // Leaves the broker as stop() does, without telling the hooks.
  ~RemoteStation();
  RemoteStation(const RemoteStation&) = delete;
  RemoteStation& operator=(const RemoteStation&) = delete;

  void start();
  // Leaves the status retained as offline and disconnects.
  void stop();
  // Subscribe this to the console's event feed.
  void onSessionEvent(const session::SessionEvent& event);

  const BrokerStatus& brokerStatus() const { return brokerStatus_; }
  const std::string& topicPrefix() const { return prefix_; }

 private:
  void onBrokerStatus(const BrokerStatus& status);
  void onMessage(const BrokerMessage& message);
  void onCommand(const std::string& name, const BrokerMessage& message);
  void onOwnTopicStatus(const BrokerMessage& message);
  session::CommandResult decide(const ParsedCommand& parsed);
  session::CommandResult carryOut(const RemoteCommand& command);
  void answer(const std::string& name, const ParsedCommand& parsed,
              const session::CommandResult& result);
  void answerAgain(const ParsedCommand& parsed, const RecentRequests::Answer& first);
  void publishStatus(std::chrono::steady_clock::time_point now, bool evenIfSame);
  void publishOrHold(BrokerMessage message);
  BrokerMessage statusMessage(bool online) const;

  RemoteSettings settings_;
  std::string prefix_;
  std::string pressureTopic_;
  std::string statusTopic_;
  BrokerConnection& broker_;
  session::PumpCommands& control_;
  RemoteStationHooks hooks_;
  StatusTracker tracker_;
  PumpIdGuard pumpIdGuard_;
  bool toldPumpIdInUse_ = false;
  BrokerStatus brokerStatus_;
  std::optional<PumpStatus> published_;
  std::chrono::steady_clock::time_point publishedAt_;
  std::deque<BrokerMessage> held_;
  RecentRequests recentRequests_;
  runlog::LocalTimestamps readingTimes_;
  bool started_ = false;
  std::unique_ptr<GroupPart> groupPart_;
};

}  // namespace pump::remote
