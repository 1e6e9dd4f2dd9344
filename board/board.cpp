#include "board/board.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace pump::board {
namespace {

enum class Suffix { Status, Pressure, Event, Result };

struct TopicParts {
  std::string pumpId;
  Suffix suffix;
};

// "<root>/<id>/status" and the like; an id may not be empty nor hold a '/'.
std::optional<TopicParts> SplitTopic(std::string_view topic, const std::string& root) {
  if (topic.size() <= root.size() + 1 || !topic.starts_with(root) || topic[root.size()] != '/')
    return std::nullopt;
  topic.remove_prefix(root.size() + 1);
  static constexpr std::pair<std::string_view, Suffix> kSuffixes[] = {
      {"/status", Suffix::Status},
      {"/pressure", Suffix::Pressure},
      {"/event", Suffix::Event},
      {"/cmd/result", Suffix::Result}};
  for (const auto& [ending, suffix] : kSuffixes) {
    if (!topic.ends_with(ending)) continue;
    const auto id = topic.substr(0, topic.size() - ending.size());
    if (id.empty() || id.find('/') != std::string_view::npos) return std::nullopt;
    return TopicParts{std::string(id), suffix};
  }
  return std::nullopt;
}

bool Waiting(const std::optional<CommandOutcome>& command) {
  return command && command->state == CommandOutcome::State::Waiting;
}

std::string CommandPayload(std::string_view name, double value, const std::string& requestId) {
  nlohmann::json message{{"request_id", requestId}};
  if (name == "set_flow") message["ml_min"] = value;
  if (name == "set_pressure_limit") message["mpa"] = value;
  return message.dump();
}

bool KnownCommand(std::string_view name) {
  return name == "stop" || name == "set_flow" || name == "set_pressure_limit";
}

}  // namespace

bool PumpTile::inAlarm() const {
  return std::any_of(std::begin(alarms), std::end(alarms), [](bool on) { return on; });
}

Board::Board(std::string root, std::string requestPrefix)
    : root_(std::move(root)), requestPrefix_(std::move(requestPrefix)) {}

PumpTile* Board::tileFor(const std::string& id) {
  const auto found = tiles_.find(id);
  return found == tiles_.end() ? nullptr : &found->second;
}

bool Board::receive(std::string_view topic, std::string_view payload, BoardTime now) {
  const auto parts = SplitTopic(topic, root_);
  if (!parts) return false;
  PumpTile* tile = tileFor(parts->pumpId);
  if (parts->suffix == Suffix::Status) {
    PumpReading reading = tile ? tile->reading : PumpReading{};
    if (!ApplyStatus(payload, reading)) return false;
    if (!tile) {
      tile = &tiles_[parts->pumpId];
      tile->id = parts->pumpId;
    }
    tile->reading = reading;
    if (reading.pressure) addPressure(*tile, *reading.pressure, now.steady);
  } else if (!tile) {
    return false;  // a tile comes with a status only
  } else if (parts->suffix == Suffix::Pressure) {
    const auto pressure = ReadPressure(payload);
    if (pressure) {
      tile->reading.pressure = pressure;
      addPressure(*tile, *pressure, now.steady);
    }
  } else if (parts->suffix == Suffix::Result) {
    applyResult(*tile, payload);
  }
  tile->lastMessage = now.steady;
  evaluateAlarms(*tile, now);
  ++tile->version;
  return true;
}

void Board::addPressure(PumpTile& tile, double mpa, SteadyTime at) {
  tile.sparkline.push_back({at, mpa});
  while (tile.sparkline.front().at < at - kSparklineSpan) tile.sparkline.pop_front();
}

bool Board::applyResult(PumpTile& tile, std::string_view payload) {
  const auto result = ReadCommandResult(payload);
  // Results of other clients' requests, and late ones, are not ours to show.
  if (!result || !Waiting(tile.command) || result->requestId != tile.command->requestId)
    return false;
  tile.command->state = result->ok ? CommandOutcome::State::Done : CommandOutcome::State::Refused;
  tile.command->error = result->error;
  return true;
}

bool Board::evaluateAlarms(PumpTile& tile, BoardTime now) {
  const PumpReading& reading = tile.reading;
  bool wanted[kAlarmKinds] = {};
  wanted[static_cast<int>(AlarmKind::Offline)] = !reading.online;
  wanted[static_cast<int>(AlarmKind::LinkNotAnswering)] =
      reading.online && LinkNotAnswering(reading.link);
  wanted[static_cast<int>(AlarmKind::PressureAtLimit)] =
      reading.online && reading.pressure && reading.limit && *reading.pressure >= *reading.limit;
  wanted[static_cast<int>(AlarmKind::Silent)] =
      reading.online && reading.running && now.steady - tile.lastMessage >= kSilentAfter;
  bool changed = false;
  for (int kind = 0; kind < kAlarmKinds; ++kind) {
    if (wanted[kind] == tile.alarms[kind]) continue;
    tile.alarms[kind] = wanted[kind];
    alarmLog_.push_back({tile.id, static_cast<AlarmKind>(kind), wanted[kind], now.wall});
    ++alarmRecordsMade_;
    if (alarmLog_.size() > kAlarmLogLength) alarmLog_.pop_front();
    changed = true;
  }
  return changed;
}

bool Board::tick(BoardTime now) {
  bool changed = false;
  for (auto& [id, tile] : tiles_) {
    bool tileChanged = evaluateAlarms(tile, now);
    if (Waiting(tile.command) && now.steady - tile.command->sentAt >= kCommandTimeout) {
      tile.command->state = CommandOutcome::State::NoAnswer;
      tileChanged = true;
    }
    while (!tile.sparkline.empty() && tile.sparkline.front().at < now.steady - kSparklineSpan) {
      tile.sparkline.pop_front();
      tileChanged = true;
    }
    if (tileChanged) ++tile.version;
    changed |= tileChanged;
  }
  return changed;
}

std::string Board::nextRequestId() {
  return requestPrefix_ + "-" + std::to_string(++requestCount_);
}

std::optional<std::string> Board::awaitCommand(const std::string& pumpId, std::string_view name,
                                               BoardTime now) {
  PumpTile* tile = tileFor(pumpId);
  if (!tile || !tile->reading.remoteControl || !tile->reading.online) return std::nullopt;
  const std::string requestId = nextRequestId();
  tile->command =
      CommandOutcome{std::string(name), requestId, CommandOutcome::State::Waiting, {}, now.steady};
  ++tile->version;
  return requestId;
}

std::optional<OutgoingCommand> Board::command(const std::string& pumpId, std::string_view name,
                                              double value, BoardTime now) {
  if (!KnownCommand(name)) return std::nullopt;
  const auto requestId = awaitCommand(pumpId, name, now);
  if (!requestId) return std::nullopt;
  return OutgoingCommand{pumpId, root_ + "/" + pumpId + "/cmd/" + std::string(name),
                         CommandPayload(name, value, *requestId)};
}

std::optional<OutgoingCommand> Board::runProgram(const std::string& pumpId,
                                                 const program::Program& program, BoardTime now) {
  const auto requestId = awaitCommand(pumpId, "run_program", now);
  if (!requestId) return std::nullopt;
  const nlohmann::json message{{"request_id", *requestId},
                               {"program", nlohmann::json::parse(program::WriteProgram(program))}};
  return OutgoingCommand{pumpId, root_ + "/" + pumpId + "/cmd/run_program", message.dump()};
}

std::vector<OutgoingCommand> Board::stopAll(BoardTime now) {
  std::vector<OutgoingCommand> sent;
  stopAllRequests_.clear();
  for (const auto& [id, tile] : tiles_) {
    auto stop = command(id, "stop", 0, now);
    if (!stop) continue;
    stopAllRequests_.emplace_back(id, tiles_.at(id).command->requestId);
    sent.push_back(std::move(*stop));
  }
  return sent;
}

std::vector<std::string> Board::stopAllUnanswered(bool orWaiting) const {
  std::vector<std::string> unanswered;
  for (const auto& [id, requestId] : stopAllRequests_) {
    const auto& command = tiles_.at(id).command;
    // A later command on the tile replaced the stop: its answer is not known here.
    if (!command || command->requestId != requestId) continue;
    const bool waiting = command->state == CommandOutcome::State::Waiting;
    if (command->state == CommandOutcome::State::NoAnswer || (orWaiting && waiting))
      unanswered.push_back(id);
  }
  return unanswered;
}

bool Board::stopAllSettled() const {
  for (const auto& [id, requestId] : stopAllRequests_) {
    const auto& command = tiles_.at(id).command;
    if (command && command->requestId == requestId && Waiting(command)) return false;
  }
  return true;
}

int Board::activeAlarms() const {
  int count = 0;
  for (const auto& [id, tile] : tiles_)
    count += static_cast<int>(std::count(std::begin(tile.alarms), std::end(tile.alarms), true));
  return count;
}

void Board::forgetPumps() {
  tiles_.clear();
  stopAllRequests_.clear();
  ++forgettings_;
}

}  // namespace pump::board
