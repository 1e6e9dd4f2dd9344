// Every pump of a lab as the broker tells it: fed topic and payload by the
// network thread's hand-over, read by the tiles. Plain C++; the caller
// supplies the time of every call, so tests script the clock.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "board/board_time.h"
#include "board/pump_reading.h"
#include "program/program.h"

namespace pump::board {

enum class AlarmKind { Offline, LinkNotAnswering, PressureAtLimit, Silent };
inline constexpr int kAlarmKinds = 4;

inline constexpr auto kSilentAfter = std::chrono::seconds(10);
inline constexpr auto kSparklineSpan = std::chrono::minutes(10);
inline constexpr auto kCommandTimeout = std::chrono::seconds(5);
inline constexpr std::size_t kAlarmLogLength = 2000;  // lines kept in the alarm pane

// The sparkline keeps one column per pixel column of a tile, whatever the
// reading rate: the lowest and highest pressure of the column's time span, so
// that a spike survives.
inline constexpr int kSparklineColumns = 200;
inline constexpr auto kSparklineColumnSpan =
    std::chrono::duration_cast<std::chrono::milliseconds>(kSparklineSpan) / kSparklineColumns;

struct SparkColumn {
  SteadyTime start;  // a multiple of kSparklineColumnSpan
  double low;
  double high;
};

// The outcome of the last command sent to a pump from this board.
struct CommandOutcome {
  enum class State { Waiting, Done, Refused, NoAnswer };
  std::string name;  // "stop", "set_flow", ...
  std::string requestId;
  State state = State::Waiting;
  std::string error;
  SteadyTime sentAt;
};

struct PumpTile {
  std::string id;
  PumpReading reading;
  SteadyTime lastMessage;
  std::deque<SparkColumn> sparkline;  // the last ten minutes, oldest first
  bool alarms[kAlarmKinds] = {};
  std::optional<CommandOutcome> command;
  std::string group;            // the name of the running group it is in, if any
  std::uint64_t version = 0;    // counts the changes, so that a view redraws only changed tiles
  bool silenceWatched = false;  // a silence check is due for it

  bool inAlarm() const;
  bool hasAlarm(AlarmKind kind) const { return alarms[static_cast<int>(kind)]; }
};

// One line of the alarm pane: an alarm started, or ended.
struct AlarmRecord {
  std::string pumpId;
  AlarmKind kind;
  bool started;
  WallTime at;
};

// How one pump answered the last 全部停泵.
struct StopAllAnswer {
  std::string pumpId;
  std::string requestId;
  CommandOutcome::State state = CommandOutcome::State::Waiting;
  std::string error;  // the console's reason, when it refused
};

// A topic under the root: the pump it is about and what it carries.
enum class TopicSuffix { Status, Pressure, Event, Result };
struct TopicParts {
  std::string pumpId;
  TopicSuffix suffix;
};
// "<root>/<id>/status" and the like; nothing for another topic. An id may
// not be empty nor hold a '/'.
std::optional<TopicParts> SplitTopic(std::string_view topic, const std::string& root);

// A command ready for the broker.
struct OutgoingCommand {
  std::string pumpId;
  std::string topic;
  std::string payload;
};

class Board {
 public:
  // `root` is the topic root ("pumps"); `requestPrefix` starts every request
  // id this board makes, so that ids stay unique among boards and restarts.
  Board(std::string root, std::string requestPrefix);

  // The subscription that covers every pump under the root.
  std::string subscription() const { return root_ + "/#"; }

  // A message from the broker. True if a tile changed.
  bool receive(std::string_view topic, std::string_view payload, BoardTime now);
  // The passing of time: silent pumps and command timeouts. Costs what is
  // due, not what the board holds: idle pumps cost nothing here.
  bool tick(BoardTime now);

  // A command for one pump, with a fresh request id; nothing if the pump is
  // unknown or its console does not take remote commands. `value` is ml/min
  // for set_flow and MPa for set_pressure_limit, ignored for stop.
  std::optional<OutgoingCommand> command(const std::string& pumpId, std::string_view name,
                                         double value, BoardTime now);
  // The program for one pump to run, as `cmd/run_program`; nothing as for `command`.
  std::optional<OutgoingCommand> runProgram(const std::string& pumpId,
                                            const program::Program& program, BoardTime now);
  // A stop for every pump that takes remote commands; remembers each
  // pump's answer to it, sorted by pump id, whatever is sent to it later.
  std::vector<OutgoingCommand> stopAll(BoardTime now);
  const std::vector<StopAllAnswer>& stopAllAnswers() const { return stopAll_; }
  bool stopAllSettled() const;

  // Another broker: the pumps of this one are no longer known. The alarm log
  // keeps its history.
  void forgetPumps();
  // Counts the times the board forgot its pumps.
  std::uint64_t forgettings() const { return forgettings_; }

  const std::map<std::string, PumpTile>& tiles() const { return tiles_; }
  // The running group a pump is in, shown on its tile; empty for none.
  void setGroup(const std::string& pumpId, const std::string& group);
  int activeAlarms() const { return activeAlarms_; }
  // The last kAlarmLogLength lines, oldest first, and how many were ever made.
  const std::deque<AlarmRecord>& alarmLog() const { return alarmLog_; }
  std::uint64_t alarmRecordsMade() const { return alarmRecordsMade_; }

 private:
  PumpTile* tileFor(const std::string& id);
  // Marks the tile as waiting on `name`; its fresh request id, or nothing
  // when the pump does not take commands.
  std::optional<std::string> awaitCommand(const std::string& pumpId, std::string_view name,
                                          BoardTime now);
  void addPressure(PumpTile& tile, double mpa, SteadyTime at);
  bool evaluateAlarms(PumpTile& tile, BoardTime now);
  bool applyResult(PumpTile& tile, std::string_view payload);
  void applyStopAllResult(const std::string& pumpId, const CommandResult& result);
  void watchSilence(PumpTile& tile);
  bool checkSilences(BoardTime now);
  bool checkCommandTimeouts(BoardTime now);
  std::string nextRequestId();

  std::string root_;
  std::string requestPrefix_;
  std::uint64_t requestCount_ = 0;
  std::map<std::string, PumpTile> tiles_;
  std::uint64_t forgettings_ = 0;
  std::deque<AlarmRecord> alarmLog_;
  std::uint64_t alarmRecordsMade_ = 0;
  int activeAlarms_ = 0;
  // When a tile's silence may start, and when a command's answer is late:
  // tick looks at the due ones only.
  std::multimap<SteadyTime, PumpTile*> silenceDue_;
  std::multimap<SteadyTime, std::pair<PumpTile*, std::string>> commandDue_;
  std::vector<StopAllAnswer> stopAll_;
  SteadyTime stopAllSentAt_;
};

}  // namespace pump::board
