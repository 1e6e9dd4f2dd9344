// This console's part in a group: a program whose start (or continuation)
// waits for a common moment, and, while it runs, the interlock over the other
// members, fed from their status and pressure topics. Lives in the remote
// station, on the window's thread.
//
// A start or continuation at `start_at` is answered at once; the wait is
// timed on the monotonic clock from the command's arrival, so a wall clock
// set meanwhile moves nothing. When the interlock trips the part is paused
// (STOP, kept like any program pause), the reason goes in the run log and on
// the broker, and the status line tells it; nothing continues it but a
// continue_program.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "group/interlock.h"
#include "platform/ui.h"
#include "remote/broker_connection.h"
#include "remote/remote_command.h"
#include "session/pump_commands.h"
#include "session/session_events.h"

namespace pump::remote {

class GroupPart {
 public:
  using Tripped = std::function<void(const std::string& statusText)>;

  // `ownPrefix` is this console's topic prefix: the members' topics sit beside it.
  GroupPart(std::string ownId, const std::string& ownPrefix, BrokerConnection& broker,
            session::PumpCommands& control, Timer& timer, Tripped tripped);

  // A run_program or continue_program with a start time or a group: true
  // when this part takes it; `result` says how it was answered.
  bool take(const RemoteCommand& command, session::CommandResult& result);
  // A message on a member's topic: true when it was one.
  bool onMessage(const BrokerMessage& message);
  void onBrokerConnected(bool connected);
  void onSessionEvent(const session::SessionEvent& event);

 private:
  session::CommandResult schedule(const RemoteCommand& command);
  session::CommandResult carryOut(const RemoteCommand& command);
  void tick();
  void join(const GroupMembership& group);
  void leave();
  std::string memberPrefix(const std::string& id) const;

  std::string ownId_;
  std::string parentPrefix_;
  BrokerConnection& broker_;
  session::PumpCommands& control_;
  Timer& timer_;
  Tripped tripped_;
  std::optional<RemoteCommand> pending_;  // waits for its start
  std::chrono::steady_clock::time_point startAt_;
  std::optional<GroupMembership> group_;
  std::optional<group::Interlock> interlock_;
  bool brokerConnected_ = false;
};

}  // namespace pump::remote
