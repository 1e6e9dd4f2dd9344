#include "board/group_runs.h"

#include <algorithm>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "group/start_time.h"
#include "runlog/local_time.h"
#include "texts/group_texts.h"

namespace pump::board {

namespace {

using Json = nlohmann::json;

std::int64_t UtcMs(WallTime time) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

bool Live(GroupState state) {
  return state == GroupState::Starting || state == GroupState::Running ||
         state == GroupState::Paused;
}

}  // namespace

const char* GroupStateText(GroupState state) {
  switch (state) {
    case GroupState::Starting:
      return texts::kGroupStarting;
    case GroupState::Running:
      return texts::kGroupRunning;
    case GroupState::Paused:
      return texts::kGroupPaused;
    case GroupState::Ended:
      return texts::kGroupEnded;
    case GroupState::Aborted:
      return texts::kGroupAborted;
    case GroupState::NotStarted:
      return texts::kGroupNotStarted;
  }
  return "";
}

GroupRuns::GroupRuns(std::string root, std::string requestPrefix)
    : root_(std::move(root)), requestPrefix_(std::move(requestPrefix)) {}

std::string GroupRuns::clockProblem(const std::string& pumpId, BoardTime now) const {
  const auto found = clockOffsets_.find(pumpId);
  if (found == clockOffsets_.end() || now.steady - found->second.second > std::chrono::seconds(5))
    return texts::MemberClockUnknown(pumpId);
  const auto offset = found->second.first;
  if (std::chrono::abs(offset) > kLargestClockOffset)
    return texts::MemberClockOff(pumpId, static_cast<double>(offset.count()) / 1000.0);
  return {};
}

GroupRuns::Start GroupRuns::start(const group::GroupProgram& program, const Board& board,
                                  BoardTime now, const std::string& programFile) {
  if (const auto fault = group::FirstGroupFault(program)) return {{}, fault->message};
  for (const std::string& id : program.pumpIds) {
    const auto tile = board.tiles().find(id);
    if (tile == board.tiles().end() || !tile->second.reading.takesCommands())
      return {{}, texts::MemberNotTakingCommands(id)};
    if (const auto group = groupOf(id)) return {{}, texts::MemberInGroup(id, *group)};
    if (auto problem = clockProblem(id, now); !problem.empty()) return {{}, problem};
  }
  GroupRun run{requestPrefix_ + "-g" + std::to_string(++groupsMade_),
               program,
               now.wall + kGroupStartAhead,
               now.steady,
               GroupState::Starting,
               {},
               {}};
  std::vector<OutgoingCommand> commands;
  for (std::size_t i = 0; i < program.pumpIds.size(); ++i) {
    const std::string& id = program.pumpIds[i];
    const std::string requestId = run.id + "-" + std::to_string(++requestsMade_);
    const Json message{{"request_id", requestId},
                       {"start_at", group::UtcTimeText(UtcMs(run.startAt))},
                       {"group", {{"id", run.id}, {"members", program.pumpIds}}},
                       {"program", Json::parse(program::WriteProgram(program.part(i)))}};
    run.members.push_back({id, requestId, CommandOutcome::State::Waiting, {}, {}});
    commands.push_back({id, root_ + "/" + id + "/cmd/run_program", message.dump()});
  }
  std::string detail = "name=" + program.name + " file=" + programFile + " members=";
  for (const std::string& id : program.pumpIds)
    detail += id + (id == program.pumpIds.back() ? "" : ",");
  detail += " start_at=" + group::UtcTimeText(UtcMs(run.startAt));
  record(run, "start", detail, now.wall);
  runs_.push_back(std::move(run));
  return {std::move(commands), {}};
}

GroupRun* GroupRuns::find(const std::string& id) {
  const auto found =
      std::find_if(runs_.begin(), runs_.end(), [&id](const GroupRun& run) { return run.id == id; });
  return found == runs_.end() ? nullptr : &*found;
}

std::optional<std::string> GroupRuns::groupOf(const std::string& pumpId) const {
  for (const GroupRun& run : runs_) {
    if (!Live(run.state)) continue;
    for (const GroupMemberRun& member : run.members)
      if (member.pumpId == pumpId) return run.program.name;
  }
  return std::nullopt;
}

// The same command to every member, with fresh request ids.
std::vector<OutgoingCommand> GroupRuns::toMembers(GroupRun& run, std::string_view name,
                                                  const std::string& payloadExtra) {
  std::vector<OutgoingCommand> commands;
  for (GroupMemberRun& member : run.members) {
    member.requestId = run.id + "-" + std::to_string(++requestsMade_);
    member.answer = CommandOutcome::State::Waiting;
    commands.push_back({member.pumpId, root_ + "/" + member.pumpId + "/cmd/" + std::string(name),
                        "{\"request_id\":\"" + member.requestId + "\"" + payloadExtra + "}"});
  }
  return commands;
}

// A member refused or did not answer: the parts already taken are aborted.
std::vector<OutgoingCommand> GroupRuns::notStarted(GroupRun& run, const std::string& why,
                                                   WallTime at) {
  run.state = GroupState::NotStarted;
  run.cause = why;
  record(run, "not_started", why, at);
  std::vector<OutgoingCommand> aborts;
  for (GroupMemberRun& member : run.members) {
    if (member.answer != CommandOutcome::State::Done) continue;
    aborts.push_back({member.pumpId, root_ + "/" + member.pumpId + "/cmd/abort_program",
                      "{\"request_id\":\"" + run.id + "-abort-" + member.pumpId + "\"}"});
  }
  return aborts;
}

std::vector<OutgoingCommand> GroupRuns::pause(const std::string& groupId) {
  GroupRun* run = find(groupId);
  if (!run || !Live(run->state)) return {};
  return toMembers(*run, "pause_program", "");
}

std::vector<OutgoingCommand> GroupRuns::resume(const std::string& groupId, BoardTime now) {
  GroupRun* run = find(groupId);
  if (!run || !Live(run->state)) return {};
  run->startAt = now.wall + kGroupStartAhead;
  run->cause.clear();
  record(*run, "continue", "start_at=" + group::UtcTimeText(UtcMs(run->startAt)), now.wall);
  return toMembers(*run, "continue_program",
                   ",\"start_at\":\"" + group::UtcTimeText(UtcMs(run->startAt)) + "\"");
}

std::vector<OutgoingCommand> GroupRuns::abort(const std::string& groupId, BoardTime now) {
  GroupRun* run = find(groupId);
  if (!run || !Live(run->state)) return {};
  run->state = GroupState::Aborted;
  record(*run, "aborted", {}, now.wall);
  return toMembers(*run, "abort_program", "");
}

std::vector<OutgoingCommand> GroupRuns::tick(BoardTime now) {
  std::vector<OutgoingCommand> out;
  for (GroupRun& run : runs_) {
    if (run.state != GroupState::Starting || now.steady - run.sentAt < kCommandTimeout) continue;
    for (const GroupMemberRun& member : run.members) {
      if (member.answer != CommandOutcome::State::Waiting) continue;
      auto aborts = notStarted(run, texts::MemberDidNotAnswer(member.pumpId), now.wall);
      out.insert(out.end(), aborts.begin(), aborts.end());
      break;
    }
  }
  return out;
}

// The group's state from its members' parts: running while all run, paused
// when any paused, ended when all parts are gone after running.
void GroupRuns::settle(GroupRun& run, WallTime at) {
  const GroupState before = run.state;
  settleState(run);
  if (run.state == before) return;
  static constexpr const char* kEvents[] = {"starting", "running", "paused",
                                            "ended",    "aborted", "not_started"};
  record(run, kEvents[static_cast<int>(run.state)],
         run.state == GroupState::Paused ? run.cause : "", at);
}

void GroupRuns::settleState(GroupRun& run) {
  if (run.state == GroupState::NotStarted || run.state == GroupState::Aborted) return;
  const auto all = [&run](auto test) {
    return std::all_of(run.members.begin(), run.members.end(), test);
  };
  if (!all([](const GroupMemberRun& m) { return m.answer != CommandOutcome::State::Waiting; }) &&
      run.state == GroupState::Starting)
    return;
  const bool anyPaused = std::any_of(run.members.begin(), run.members.end(), [](const auto& m) {
    return m.part && m.part->state == "paused";
  });
  if (anyPaused) {
    run.state = GroupState::Paused;
  } else if (all([](const GroupMemberRun& m) { return m.part && m.part->state == "running"; })) {
    run.state = GroupState::Running;
  } else if (run.state != GroupState::Starting &&
             all([](const GroupMemberRun& m) { return !m.part; })) {
    run.state = GroupState::Ended;
  }
}

// Each reading carries its console's time: the clock's offset, looked at
// no more than every two seconds a pump.
void GroupRuns::noteClock(const std::string& pumpId, std::string_view payload, BoardTime now) {
  const auto known = clockOffsets_.find(pumpId);
  if (known != clockOffsets_.end() && now.steady - known->second.second < std::chrono::seconds(2))
    return;
  const Json reading = Json::parse(payload, nullptr, false);
  if (!reading.is_object() || !reading.contains("time") || !reading["time"].is_string()) return;
  std::int64_t utcMs = 0;
  int offsetMinutes = 0;
  runlog::LogTimeReader times;
  if (times.parse(reading["time"].get<std::string>(), utcMs, offsetMinutes))
    clockOffsets_[pumpId] = {std::chrono::milliseconds(utcMs - UtcMs(now.wall)), now.steady};
}

bool GroupRuns::inGroup(const std::string& pumpId) const {
  return std::any_of(runs_.begin(), runs_.end(), [&pumpId](const GroupRun& run) {
    return Live(run.state) &&
           std::any_of(run.members.begin(), run.members.end(),
                       [&pumpId](const GroupMemberRun& m) { return m.pumpId == pumpId; });
  });
}

std::vector<OutgoingCommand> GroupRuns::receive(std::string_view topic, std::string_view payload,
                                                BoardTime now) {
  const auto parts = SplitTopic(topic, root_);
  if (!parts) return {};
  if (parts->suffix == TopicSuffix::Pressure) {
    noteClock(parts->pumpId, payload, now);
    return {};
  }
  const std::string& pump = parts->pumpId;
  if (!inGroup(pump)) return {};
  const bool result = parts->suffix == TopicSuffix::Result;
  const bool status = parts->suffix == TopicSuffix::Status;
  const bool event = parts->suffix == TopicSuffix::Event;
  std::vector<OutgoingCommand> out;
  const auto answer = result ? ReadCommandResult(payload) : std::nullopt;
  PumpReading reading;
  if (status) ApplyStatus(payload, reading);
  const Json told = event ? Json::parse(payload, nullptr, false) : Json();
  const bool tripped = told.is_object() && told.value("event", "") == "program" &&
                       told.value("detail", "").starts_with("interlock ");
  for (GroupRun& run : runs_) {
    if (!Live(run.state)) continue;
    for (GroupMemberRun& member : run.members) {
      if (member.pumpId != pump) continue;
      if (answer && member.requestId == answer->requestId) {
        member.answer = answer->ok ? CommandOutcome::State::Done : CommandOutcome::State::Refused;
        member.error = answer->error;
        if (!answer->ok && run.state == GroupState::Starting) {
          auto aborts =
              notStarted(run, texts::MemberRefused(member.pumpId, answer->error), now.wall);
          out.insert(out.end(), aborts.begin(), aborts.end());
        }
      }
      if (status && member.part != reading.program) {
        member.part = reading.program;
        ++changes_;  // its step and time left are shown
      }
      if (tripped) {
        run.cause = member.pumpId + ": " + told.value("detail", "");
        record(run, "interlock", run.cause, now.wall);
      }
    }
    settle(run, now.wall);
  }
  return out;
}

void GroupRuns::record(const GroupRun& run, std::string event, std::string detail, WallTime at) {
  ++changes_;
  records_.push_back({at, run.id, std::move(event), std::move(detail)});
}

}  // namespace pump::board
