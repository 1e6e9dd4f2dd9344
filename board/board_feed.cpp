#include "board/board_feed.h"

#include <cstdio>
#include <random>

namespace pump::board {
namespace {

// A console's status is a few hundred bytes; a larger payload is no status.
constexpr std::size_t kLargestPayload = 64 * 1024;

}  // namespace

BoardFeed::BoardFeed(Board& board, remote::BrokerConnection& connection, Clock clock,
                     std::function<void()> changed)
    : board_(board),
      connection_(&connection),
      clock_(std::move(clock)),
      changed_(std::move(changed)) {}

void BoardFeed::start() {
  remote::BrokerSession session;
  session.subscriptions = {board_.subscription()};
  session.retainedWanted = true;
  session.largestPayload = kLargestPayload;
  session.statusChanged = [this](const remote::BrokerStatus& status) {
    status_ = status;
    if (changed_) changed_();
  };
  session.messageArrived = [this](const remote::BrokerMessage& message) {
    if (message.payload.size() > kLargestPayload) return;
    const BoardTime now = clock_();
    if (board_.receive(message.topic, message.payload, now) && changed_) changed_();
    if (groups_) {
      sendAll(groups_->receive(message.topic, message.payload, now));
      groupsMoved();
    }
  };
  connection_->start(std::move(session));
}

void BoardFeed::moveTo(remote::BrokerConnection& connection) {
  connection_ = &connection;
  status_ = {};
  board_.forgetPumps();
  start();
  if (changed_) changed_();
}

void BoardFeed::tick() {
  if (board_.tick(clock_()) && changed_) changed_();
  if (groups_) {
    sendAll(groups_->tick(clock_()));
    groupsMoved();
  }
}

void BoardFeed::followGroups(GroupRuns& groups, GroupRecordFile& record) {
  groups_ = &groups;
  record_ = &record;
}

void BoardFeed::sendAll(std::vector<OutgoingCommand> commands) {
  for (auto& command : commands) publish({std::move(command.topic), std::move(command.payload)});
}

// After any change of a group: the tiles name their groups, the record grows.
void BoardFeed::groupsMoved() {
  if (groups_->changes() == groupChangesSeen_) return;
  groupChangesSeen_ = groups_->changes();
  for (const GroupRun& run : groups_->runs()) {
    for (const GroupMemberRun& member : run.members)
      board_.setGroup(member.pumpId, groups_->groupOf(member.pumpId).value_or(""));
  }
  record_->append(groups_->takeRecords());
  if (changed_) changed_();
}

std::string BoardFeed::startGroup(const group::GroupProgram& program,
                                  const std::string& programFile) {
  if (!groups_) return "no groups";
  auto start = groups_->start(program, board_, clock_(), programFile);
  sendAll(std::move(start.commands));
  groupsMoved();
  return start.refusal;
}

void BoardFeed::pauseGroup(const std::string& groupId) {
  if (!groups_) return;
  sendAll(groups_->pause(groupId));
  groupsMoved();
}

void BoardFeed::resumeGroup(const std::string& groupId) {
  if (!groups_) return;
  sendAll(groups_->resume(groupId, clock_()));
  groupsMoved();
}

void BoardFeed::abortGroup(const std::string& groupId) {
  if (!groups_) return;
  sendAll(groups_->abort(groupId, clock_()));
  groupsMoved();
}

bool BoardFeed::publish(remote::BrokerMessage message) {
  message.qos = 1;
  message.retain = false;
  return connection_->publish(std::move(message));
}

bool BoardFeed::send(const std::string& pumpId, std::string_view name, double value) {
  auto command = board_.command(pumpId, name, value, clock_());
  if (!command) return false;
  if (changed_) changed_();
  return publish({std::move(command->topic), std::move(command->payload)});
}

bool BoardFeed::runProgram(const std::string& pumpId, const program::Program& program) {
  auto command = board_.runProgram(pumpId, program, clock_());
  if (!command) return false;
  if (changed_) changed_();
  return publish({std::move(command->topic), std::move(command->payload)});
}

std::vector<std::string> BoardFeed::stopAll() {
  std::vector<std::string> pumps;
  for (auto& stop : board_.stopAll(clock_())) {
    pumps.push_back(stop.pumpId);
    publish({std::move(stop.topic), std::move(stop.payload)});
  }
  if (changed_) changed_();
  return pumps;
}

std::string FreshRequestPrefix() {
  std::random_device random;
  char text[32];
  std::snprintf(text, sizeof text, "board-%08x%08x", random(), random());
  return text;
}

}  // namespace pump::board
