#include "link/frame_assembler.h"

#include "link/pump_frame.h"

namespace pump::link {

std::vector<std::string> FrameAssembler::take(std::string_view bytes) {
  buffer_.append(bytes);
  std::vector<std::string> frames;
  std::size_t pos = 0;
  while (true) {
    pos = buffer_.find('Q', pos);
    if (pos == std::string::npos) {
      pos = buffer_.size();
      break;
    }
    if (buffer_.size() - pos < kFrameLength) break;
    const std::string_view candidate(buffer_.data() + pos, kFrameLength);
    if (IsFrame(candidate)) {
      frames.emplace_back(candidate);
      pos += kFrameLength;
    } else {
      ++pos;
    }
  }
  buffer_.erase(0, pos);
  return frames;
}

void FrameAssembler::feed(std::string_view bytes, const FrameHandler& onFrame) {
  for (const std::string& frame : take(bytes)) onFrame(frame);
}

}  // namespace pump::link
