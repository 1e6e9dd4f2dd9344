// The board on a broker: subscribes to everything under the root (the
// consoles' retained statuses included), feeds every message to the board and
// sends the board's commands. Runs on the window's thread; the connection does
// the network on a thread of its own, so no call here waits on the network.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "board/board.h"
#include "board/group_record.h"
#include "board/group_runs.h"
#include "remote/broker_connection.h"

namespace pump::board {

class BoardFeed {
 public:
  using Clock = std::function<BoardTime()>;
  // `changed` is called after any message or tick that changed a tile.
  BoardFeed(Board& board, remote::BrokerConnection& connection, Clock clock,
            std::function<void()> changed);

  void start();
  // Leaves the connection it had (stopped by its owner) for `connection`,
  // forgets the pumps of the old broker and starts on the new one.
  void moveTo(remote::BrokerConnection& connection);
  // The passing of time; called by the window about every quarter second.
  void tick();

  // A command to one pump; false when the board has none to send (the pump
  // does not take commands) or the connection cannot take it now.
  bool send(const std::string& pumpId, std::string_view name, double value);
  // A program for one pump to run; false as for `send`.
  bool runProgram(const std::string& pumpId, const program::Program& program);
  // A stop to every pump that takes commands; the pumps it went to.
  std::vector<std::string> stopAll();

  // The groups this board starts, and the file that records them; from then
  // on they follow the broker's messages and the ticks.
  void followGroups(GroupRuns& groups, GroupRecordFile& record);
  // Starts a group: empty, or why it cannot start.
  std::string startGroup(const group::GroupProgram& program, const std::string& programFile);
  void pauseGroup(const std::string& groupId);
  void resumeGroup(const std::string& groupId);
  void abortGroup(const std::string& groupId);

  const remote::BrokerStatus& brokerStatus() const { return status_; }
  BoardTime now() const { return clock_(); }

 private:
  bool publish(remote::BrokerMessage message);
  void sendAll(std::vector<OutgoingCommand> commands);
  void groupsMoved();

  Board& board_;
  remote::BrokerConnection* connection_;
  Clock clock_;
  std::function<void()> changed_;
  remote::BrokerStatus status_;
  GroupRuns* groups_ = nullptr;
  GroupRecordFile* record_ = nullptr;
  std::uint64_t groupChangesSeen_ = 0;
};

// A request-id prefix unique to this board and this start: "board-<hex>".
std::string FreshRequestPrefix();

}  // namespace pump::board
