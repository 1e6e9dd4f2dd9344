// Turns the pump's replies into the writes that reach the line, optionally
// with the faults a real installation shows: noise, replies split across
// writes or joined in one, a pump that never answers, bursts of replies.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "sim/pump_model.h"

namespace pump::sim {

struct LineFaults {
  bool noise = false;   // a few stray bytes (never "Q") in their own write before each reply
  bool split = false;   // each reply in two writes, the second kSplitGapMs after the first
  bool join = false;    // replies go out in pairs: the first waits for the second, one write
  bool silent = false;  // commands are obeyed but nothing is ever sent back
  int burst = 1;        // each reply sent this many times, back to back at the line's pace
};

// One write() onto the line.
struct LineWrite {
  long long dueMs = 0;
  std::string bytes;
};

class FaultyLine {
 public:
  // Long enough for a reader polling the line to see the two halves apart.
  static constexpr long long kSplitGapMs = 30;

  FaultyLine(LineFaults faults, std::uint32_t seed, int frameMs);

  // The writes that carry one reply, due no earlier than earlier writes.
  std::vector<LineWrite> carry(const PumpReply& reply);

 private:
  std::string Noise();
  void Add(std::vector<LineWrite>& writes, long long dueMs, std::string bytes);

  LineFaults faults_;
  std::mt19937 random_;
  int frameMs_;
  long long lastDue_ = 0;
  std::string held_;  // a reply waiting for its partner under join
};

}  // namespace pump::sim
