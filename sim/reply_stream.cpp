#include "sim/reply_stream.h"

#include <cstdio>

#include "link/pump_frame.h"

namespace pump::sim {

std::string StreamReply(int address, long long index) {
  const int tenths = static_cast<int>((index + 1) % 100);
  char field[8];
  std::snprintf(field, sizeof field, "%02d.%d", tenths / 10, tenths % 10);
  return link::BuildFrame(address, 'N', field).value_or(std::string());
}

std::chrono::nanoseconds FramePeriod(int baud) {
  constexpr long long kBitsPerFrame = 9 * 10;
  return std::chrono::nanoseconds(kBitsPerFrame * 1'000'000'000LL / baud);
}

}  // namespace pump::sim
