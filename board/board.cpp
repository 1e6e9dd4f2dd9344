#include "board/board.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace pump::board {
namespace {

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

SteadyTime ColumnStart(SteadyTime at) {
  const auto since = std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch());
  return SteadyTime(since / kSparklineColumnSpan * kSparklineColumnSpan);
}

}  // namespace

std::optional<TopicParts> SplitTopic(std::string_view topic, const std::string& root) {
  if (topic.size() <= root.size() + 1 || !topic.starts_with(root) || topic[root.size()] != '/')
    return std::nullopt;
  topic.remove_prefix(root.size() + 1);
  static constexpr std::pair<std::string_view, TopicSuffix> kSuffixes[] = {
      {"/status", TopicSuffix::Status},
      {"/pressure", TopicSuffix::Pressure},
      {"/event", TopicSuffix::Event},
      {"/cmd/result", TopicSuffix::Result}};
  for (const auto& [ending, suffix] : kSuffixes) {
    if (!topic.ends_with(ending)) continue;
    const auto id = topic.substr(0, topic.size() - ending.size());
    if (id.empty() || id.find('/') != std::string_view::npos) return std::nullopt;
    return TopicParts{std::string(id), suffix};
  }
  return std::nullopt;
}

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
  if (parts->suffix == TopicSuffix::Status) {
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
  } else if (parts->suffix == TopicSuffix::Pressure) {
    const auto pressure = ReadPressure(payload);
    if (pressure) {
      tile->reading.pressure = pressure;
      addPressure(*tile, *pressure, now.steady);
    }
  } else if (parts->suffix == TopicSuffix::Result) {
    applyResult(*tile, payload);
  }
  tile->lastMessage = now.steady;
  evaluateAlarms(*tile, now);
  watchSilence(*tile);
  ++tile->version;
  return true;
}

void Board::addPressure(PumpTile& tile, double mpa, SteadyTime at) {
  auto& line = tile.sparkline;
  const SteadyTime start = ColumnStart(at);
  if (!line.empty() && line.back().start == start) {
    line.back().low = std::min(line.back().low, mpa);
    line.back().high = std::max(line.back().high, mpa);
  } else if (line.empty() || line.back().start < start) {
    line.push_back({start, mpa, mpa});
  }
  while (line.front().start <= start - kSparklineSpan) line.pop_front();
}

bool Board::applyResult(PumpTile& tile, std::string_view payload) {
  const auto result = ReadCommandResult(payload);
  if (!result) return false;
  applyStopAllResult(tile.id, *result);
  // Results of other clients' requests, and late ones, are not ours to show.
  if (!Waiting(tile.command) || result->requestId != tile.command->requestId) return false;
  tile.command->state = result->ok ? CommandOutcome::State::Done : CommandOutcome::State::Refused;
  tile.command->error = result->error;
  return true;
}

void Board::applyStopAllResult(const std::string& pumpId, const CommandResult& result) {
  const auto answer = std::lower_bound(
      stopAll_.begin(), stopAll_.end(), pumpId,
      [](const StopAllAnswer& entry, const std::string& id) { return entry.pumpId < id; });
  if (answer == stopAll_.end() || answer->pumpId != pumpId ||
      answer->requestId != result.requestId || answer->state != CommandOutcome::State::Waiting)
    return;
  answer->state = result.ok ? CommandOutcome::State::Done : CommandOutcome::State::Refused;
  answer->error = result.error;
}

bool Board::evaluateAlarms(PumpTile& tile, BoardTime now) {
  const PumpReading& reading = tile.reading;
  bool wanted[kAlarmKinds] = {};
  const bool online = !reading.offline();
  wanted[static_cast<int>(AlarmKind::Offline)] = !online;
  wanted[static_cast<int>(AlarmKind::LinkNotAnswering)] = online && LinkNotAnswering(reading.link);
  wanted[static_cast<int>(AlarmKind::PressureAtLimit)] =
      online && reading.pressure && reading.limit && *reading.pressure >= *reading.limit;
  wanted[static_cast<int>(AlarmKind::Silent)] =
      online && reading.running == true && now.steady - tile.lastMessage >= kSilentAfter;
  bool changed = false;
  for (int kind = 0; kind < kAlarmKinds; ++kind) {
    if (wanted[kind] == tile.alarms[kind]) continue;
    tile.alarms[kind] = wanted[kind];
    activeAlarms_ += wanted[kind] ? 1 : -1;
    alarmLog_.push_back({tile.id, static_cast<AlarmKind>(kind), wanted[kind], now.wall});
    ++alarmRecordsMade_;
    if (alarmLog_.size() > kAlarmLogLength) alarmLog_.pop_front();
    changed = true;
  }
  return changed;
}

// One entry per tile at most: a tile that heard more since it was watched
// is put back at its new time, not added again.
void Board::watchSilence(PumpTile& tile) {
  if (tile.silenceWatched) return;
  tile.silenceWatched = true;
  silenceDue_.emplace(tile.lastMessage + kSilentAfter, &tile);
}

bool Board::checkSilences(BoardTime now) {
  bool changed = false;
  while (!silenceDue_.empty() && silenceDue_.begin()->first <= now.steady) {
    PumpTile* tile = silenceDue_.begin()->second;
    silenceDue_.erase(silenceDue_.begin());
    const SteadyTime due = tile->lastMessage + kSilentAfter;
    if (due > now.steady) {
      silenceDue_.emplace(due, tile);
      continue;
    }
    // Only a message changes what the silence means; the next one watches again.
    tile->silenceWatched = false;
    if (evaluateAlarms(*tile, now)) {
      ++tile->version;
      changed = true;
    }
  }
  return changed;
}

bool Board::checkCommandTimeouts(BoardTime now) {
  bool changed = false;
  while (!commandDue_.empty() && commandDue_.begin()->first <= now.steady) {
    const auto [tile, requestId] = commandDue_.begin()->second;
    commandDue_.erase(commandDue_.begin());
    if (!Waiting(tile->command) || tile->command->requestId != requestId) continue;
    tile->command->state = CommandOutcome::State::NoAnswer;
    ++tile->version;
    changed = true;
  }
  if (!stopAll_.empty() && now.steady - stopAllSentAt_ >= kCommandTimeout) {
    for (auto& answer : stopAll_) {
      if (answer.state == CommandOutcome::State::Waiting)
        answer.state = CommandOutcome::State::NoAnswer;
    }
  }
  return changed;
}

bool Board::tick(BoardTime now) {
  const bool silences = checkSilences(now);
  return checkCommandTimeouts(now) || silences;
}

std::string Board::nextRequestId() {
  return requestPrefix_ + "-" + std::to_string(++requestCount_);
}

std::optional<std::string> Board::awaitCommand(const std::string& pumpId, std::string_view name,
                                               BoardTime now) {
  PumpTile* tile = tileFor(pumpId);
  if (!tile || !tile->reading.takesCommands()) return std::nullopt;
  const std::string requestId = nextRequestId();
  tile->command =
      CommandOutcome{std::string(name), requestId, CommandOutcome::State::Waiting, {}, now.steady};
  commandDue_.emplace(now.steady + kCommandTimeout, std::pair(tile, requestId));
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
  stopAll_.clear();
  stopAllSentAt_ = now.steady;
  for (const auto& [id, tile] : tiles_) {
    auto stop = command(id, "stop", 0, now);
    if (!stop) continue;
    stopAll_.push_back({id, tiles_.at(id).command->requestId, CommandOutcome::State::Waiting, {}});
    sent.push_back(std::move(*stop));
  }
  return sent;
}

bool Board::stopAllSettled() const {
  return std::none_of(stopAll_.begin(), stopAll_.end(), [](const StopAllAnswer& answer) {
    return answer.state == CommandOutcome::State::Waiting;
  });
}

void Board::setGroup(const std::string& pumpId, const std::string& group) {
  const auto tile = tiles_.find(pumpId);
  if (tile == tiles_.end() || tile->second.group == group) return;
  tile->second.group = group;
  ++tile->second.version;
}

void Board::forgetPumps() {
  silenceDue_.clear();
  commandDue_.clear();
  tiles_.clear();
  stopAll_.clear();
  activeAlarms_ = 0;
  ++forgettings_;
}

}  // namespace pump::board
