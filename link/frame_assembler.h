// Reassembles pump frames from the bytes of successive reads. Replies can
// arrive joined in one read or split across two; counting bytes, not waiting
// for quiet, finds them.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pump::link {

class FrameAssembler {
 public:
  using FrameHandler = std::function<void(std::string_view frame)>;

  // Appends the bytes and returns every complete frame, in arrival order.
  // Bytes before a "Q" are skipped; a "Q" whose ninth character is not "Y" is
  // skipped and the search goes on after it; an incomplete tail starting with
  // "Q" (at most eight bytes) waits for the next call.
  std::vector<std::string> take(std::string_view bytes);

  // take(), then hands each frame to onFrame. The buffer is settled before the
  // first call, so a handler that leads to another feed (a nested event loop
  // under a message box) finds it consistent.
  void feed(std::string_view bytes, const FrameHandler& onFrame);

  // Bytes kept for the next call.
  std::string_view pending() const { return buffer_; }
  void reset() { buffer_.clear(); }

 private:
  std::string buffer_;
};

}  // namespace pump::link
