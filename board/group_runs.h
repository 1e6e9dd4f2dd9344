// The groups this board started: each member's part sent with one start_at
// and the group, the members' answers, pause, continue and abort for the
// whole group, and what the members tell of the group afterwards (their
// parts' states, an interlock's trip). Plain C++; the caller supplies the
// time of every call and sends the commands it returns.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "board/board.h"
#include "board/board_time.h"
#include "group/group_program.h"

namespace pump::board {

// The start is set this far ahead: time for every member to get its part.
inline constexpr auto kGroupStartAhead = std::chrono::seconds(2);
// A member clock further off the board's than this refuses the start.
inline constexpr auto kLargestClockOffset = std::chrono::seconds(1);

enum class GroupState { Starting, Running, Paused, Ended, Aborted, NotStarted };
const char* GroupStateText(GroupState state);  // "启动中", "运行", ...

struct GroupMemberRun {
  std::string pumpId;
  std::string requestId;  // of the last command the group sent it
  CommandOutcome::State answer = CommandOutcome::State::Waiting;
  std::string error;                   // its refusal, if it refused
  std::optional<ProgramReading> part;  // its part as its status tells it
};

// A line of the board's record of the groups it started.
struct GroupRecordRow {
  WallTime at;
  std::string groupId;
  std::string event;   // start, running, paused, continue, ended, aborted, not_started
  std::string detail;  // the program file and members at the start; a pause's or refusal's cause
};

struct GroupRun {
  std::string id;  // "board-…-g3": unique among boards
  group::GroupProgram program;
  WallTime startAt;
  SteadyTime sentAt;
  GroupState state = GroupState::Starting;
  std::vector<GroupMemberRun> members;
  std::string cause;  // why it paused or did not start, for the panel
};

class GroupRuns {
 public:
  GroupRuns(std::string root, std::string requestPrefix);

  // Each member's part with one start_at kGroupStartAhead from now, or in
  // `refusal` why the group cannot start: a pump unknown, offline or not
  // taking remote commands, in another running group, or with a clock off.
  struct Start {
    std::vector<OutgoingCommand> commands;
    std::string refusal;
  };
  Start start(const group::GroupProgram& program, const Board& board, BoardTime now,
              const std::string& programFile = {});

  // A message from the broker: member answers, statuses, pressures (their
  // clocks) and events. Returns what must go out in consequence: the aborts
  // of parts already taken when another member refused.
  std::vector<OutgoingCommand> receive(std::string_view topic, std::string_view payload,
                                       BoardTime now);
  // Members that did not answer within kCommandTimeout: the group does not start.
  std::vector<OutgoingCommand> tick(BoardTime now);

  std::vector<OutgoingCommand> pause(const std::string& groupId);
  std::vector<OutgoingCommand> resume(const std::string& groupId, BoardTime now);
  std::vector<OutgoingCommand> abort(const std::string& groupId, BoardTime now);

  const std::vector<GroupRun>& runs() const { return runs_; }
  // Counts the changes of any group's state, so that views follow only changes.
  std::uint64_t changes() const { return changes_; }
  // The record's lines made since the last call.
  std::vector<GroupRecordRow> takeRecords() { return std::exchange(records_, {}); }
  // The name of the running group a pump is in, for its tile.
  std::optional<std::string> groupOf(const std::string& pumpId) const;

 private:
  GroupRun* find(const std::string& id);
  std::vector<OutgoingCommand> toMembers(GroupRun& run, std::string_view name,
                                         const std::string& payloadExtra);
  std::vector<OutgoingCommand> notStarted(GroupRun& run, const std::string& why, WallTime at);
  void settle(GroupRun& run, WallTime at);
  static void settleState(GroupRun& run);
  bool inGroup(const std::string& pumpId) const;
  std::string clockProblem(const std::string& pumpId, BoardTime now) const;
  void noteClock(const std::string& pumpId, std::string_view payload, BoardTime now);
  void record(const GroupRun& run, std::string event, std::string detail, WallTime at);

  std::string root_;
  std::string requestPrefix_;
  int groupsMade_ = 0;
  int requestsMade_ = 0;
  std::vector<GroupRun> runs_;
  std::vector<GroupRecordRow> records_;
  std::uint64_t changes_ = 0;
  // Each pump's clock less the board's, from its last reading, and when that came.
  std::map<std::string, std::pair<std::chrono::milliseconds, SteadyTime>> clockOffsets_;
};

}  // namespace pump::board
