#include "sim/line_faults.h"

#include <algorithm>

namespace pump::sim {

FaultyLine::FaultyLine(LineFaults faults, std::uint32_t seed, int frameMs)
    : faults_(faults), random_(seed), frameMs_(frameMs) {}

std::string FaultyLine::Noise() {
  std::string bytes(1 + random_() % 3, '\0');
  for (char& byte : bytes) {
    do {
      byte = static_cast<char>(random_() & 0xFF);
    } while (byte == 'Q');
  }
  return bytes;
}

void FaultyLine::Add(std::vector<LineWrite>& writes, long long dueMs, std::string bytes) {
  lastDue_ = std::max(lastDue_, dueMs);
  writes.push_back({lastDue_, std::move(bytes)});
}

std::vector<LineWrite> FaultyLine::carry(const PumpReply& reply) {
  std::vector<LineWrite> writes;
  if (faults_.silent) return writes;

  for (int copy = 0; copy < std::max(1, faults_.burst); ++copy) {
    const long long due = reply.dueMs + static_cast<long long>(copy) * frameMs_;
    if (faults_.noise) Add(writes, due, Noise());
    if (faults_.split && !faults_.join) {
      const std::size_t cut = 1 + random_() % (reply.frame.size() - 1);
      Add(writes, due, reply.frame.substr(0, cut));
      Add(writes, due + kSplitGapMs, reply.frame.substr(cut));
    } else {
      Add(writes, due, reply.frame);
    }
  }

  if (faults_.join) {
    std::string bytes;
    for (const auto& write : writes) bytes += write.bytes;
    if (held_.empty()) {
      held_ = std::move(bytes);
      return {};
    }
    std::vector<LineWrite> joined{{writes.back().dueMs, held_ + bytes}};
    held_.clear();
    return joined;
  }
  return writes;
}

}  // namespace pump::sim
