#include "link/outgoing_frames.h"

#include <algorithm>

namespace pump::link {
namespace {

bool IsPoll(PumpCommand::Kind kind) { return kind == PumpCommand::Kind::StatusPoll; }

// What a stop makes stale: a run, or a flow the pump would take up again
// when it reads. A pressure limit protects the pump, stopped or not.
bool StaleAfterStop(PumpCommand::Kind kind) {
  return kind == PumpCommand::Kind::Run || kind == PumpCommand::Kind::SetFlow;
}

}  // namespace

OutgoingFrames::Added OutgoingFrames::add(const PumpCommand& command, std::size_t alreadySent) {
  if (frames_.empty()) sentOfFront_ = alreadySent;
  if (command.kind() == PumpCommand::Kind::Stop && !frames_.empty()) return stopFirst(command);
  const bool poll = IsPoll(command.kind());
  // One waiting poll asks all there is to ask.
  if (poll && alreadySent == 0 && pollWaiting()) return {Outcome::PollDropped, {}};
  if (frames_.size() >= kCapacity) {
    if (poll) return {Outcome::PollDropped, {}};
    if (!dropWaitingPoll()) return {Outcome::Refused, {}};
  }
  frames_.push_back({command.kind(), command.frame()});
  return {};
}

// The stop goes right behind a frame the line took in part, ahead of all
// else; a stop already waiting is this one. What is kept (limits, a poll)
// follows in its order. Dropping the stale frames makes room; should none be
// stale, the stop is the one frame allowed over the capacity, and a waiting
// poll gives way to bring it back.
OutgoingFrames::Added OutgoingFrames::stopFirst(const PumpCommand& stop) {
  const auto firstNotBegun = frames_.begin() + (sentOfFront_ > 0 ? 1 : 0);
  std::deque<Frame> kept(frames_.begin(), firstNotBegun);
  kept.push_back({stop.kind(), stop.frame()});
  Added added;
  for (auto frame = firstNotBegun; frame != frames_.end(); ++frame) {
    if (StaleAfterStop(frame->kind)) {
      added.stale.push_back(std::move(frame->bytes));
    } else if (frame->kind != PumpCommand::Kind::Stop) {
      kept.push_back(std::move(*frame));
    }
  }
  frames_ = std::move(kept);
  if (frames_.size() > kCapacity) dropWaitingPoll();
  return added;
}

std::string_view OutgoingFrames::unsent() const {
  if (frames_.empty()) return {};
  return std::string_view(frames_.front().bytes).substr(sentOfFront_);
}

void OutgoingFrames::taken(std::size_t bytes) {
  if (frames_.empty()) return;
  sentOfFront_ = std::min(sentOfFront_ + bytes, frames_.front().bytes.size());
  if (sentOfFront_ < frames_.front().bytes.size()) return;
  frames_.pop_front();
  sentOfFront_ = 0;
}

bool OutgoingFrames::holdsStop() const {
  return std::any_of(frames_.begin(), frames_.end(),
                     [](const Frame& frame) { return frame.kind == PumpCommand::Kind::Stop; });
}

void OutgoingFrames::clear() {
  frames_.clear();
  sentOfFront_ = 0;
}

// A poll partly on the line is finished like any frame; only one wholly
// unsent is a waiting poll.
bool OutgoingFrames::pollWaiting() const {
  for (std::size_t i = 0; i < frames_.size(); ++i) {
    const bool partlySent = i == 0 && sentOfFront_ > 0;
    if (IsPoll(frames_[i].kind) && !partlySent) return true;
  }
  return false;
}

bool OutgoingFrames::dropWaitingPoll() {
  for (std::size_t i = 0; i < frames_.size(); ++i) {
    const bool partlySent = i == 0 && sentOfFront_ > 0;
    if (!IsPoll(frames_[i].kind) || partlySent) continue;
    frames_.erase(frames_.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
  }
  return false;
}

}  // namespace pump::link
