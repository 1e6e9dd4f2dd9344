// Frames the line has not taken yet because the pump stopped reading. The
// front frame may be partly on the line: its rest goes out before anything
// else, so frames never interleave and none is left torn. The queue is small
// and bounded; polls give way to commands, and a command is never dropped
// once queued, unless a stop makes it stale.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "link/pump_command.h"

namespace pump::link {

class OutgoingFrames {
 public:
  static constexpr std::size_t kCapacity = 16;

  enum class Outcome {
    Queued,
    PollDropped,  // a poll already waits, or there is no room for another
    Refused,      // full of commands: the new command is not taken
  };
  struct Added {
    Outcome outcome = Outcome::Queued;
    // The frames a stop made stale and dropped, in the order they waited.
    std::vector<std::string> stale;
  };

  // `alreadySent` bytes of the frame are on the line already (a short write).
  // A command finding the queue full takes a waiting poll's place. A stop is
  // never refused: it goes ahead of every frame not begun, and the runs and
  // flows waiting before it leave the queue (see `stopFirst`).
  Added add(const PumpCommand& command, std::size_t alreadySent = 0);
  bool empty() const { return frames_.empty(); }
  std::size_t size() const { return frames_.size(); }
  // What is left of the front frame.
  std::string_view unsent() const;
  // The line took this many bytes of `unsent()`; a whole frame leaves the queue.
  void taken(std::size_t bytes);
  bool holdsStop() const;
  void clear();

 private:
  struct Frame {
    PumpCommand::Kind kind;
    std::string bytes;
  };
  Added stopFirst(const PumpCommand& stop);
  bool dropWaitingPoll();
  bool pollWaiting() const;

  std::deque<Frame> frames_;
  std::size_t sentOfFront_ = 0;
};

}  // namespace pump::link
