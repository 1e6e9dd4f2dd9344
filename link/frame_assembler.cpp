#include "link/frame_assembler.h"

#include "link/pump_frame.h"

namespace pump::link {

void FrameAssembler::feed(std::string_view bytes, const FrameHandler& onFrame) {
  buffer_.append(bytes);
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
      onFrame(candidate);
      pos += kFrameLength;
    } else {
      ++pos;
    }
  }
  buffer_.erase(0, pos);
}

}  // namespace pump::link
