#include "link/outgoing_frames.h"

#include <algorithm>

namespace pump::link {
namespace {

bool IsPoll(PumpCommand::Kind kind) { return kind == PumpCommand::Kind::StatusPoll; }

}  // namespace

OutgoingFrames::Added OutgoingFrames::add(const PumpCommand& command, std::size_t alreadySent) {
  const bool poll = IsPoll(command.kind());
  // One waiting poll asks all there is to ask.
  if (poll && alreadySent == 0 && pollWaiting()) return Added::PollDropped;
  if (frames_.size() >= kCapacity) {
    if (poll) return Added::PollDropped;
    if (!dropWaitingPoll()) return Added::Refused;
  }
  if (frames_.empty()) sentOfFront_ = alreadySent;
  frames_.push_back({command.kind(), command.frame()});
  return Added::Queued;
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
