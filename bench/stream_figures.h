// What the stream benchmark makes of a run: the simulator's writes set
// against the captions the console showed, and the rows in its run log.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "bench/statistics.h"
#include "bench/stream_watch.h"

namespace pump::bench {

// One frame pump-sim wrote, from its write log.
struct Written {
  long long ns;
  std::string frame;
  bool whole;
};

std::vector<Written> ReadWriteLog(const std::filesystem::path& path);

// The reading rows in the run logs of a folder.
long long ReadingRows(const std::filesystem::path& folder);

struct Figures {
  long long lost = 0;
  long long misordered = 0;
  long long unCharted = 0;
  std::vector<double> latencyMs;   // write to caption
  std::vector<double> wakeMs;      // write to the thread's wake-up
  std::vector<double> handlingMs;  // wake-up to caption
  std::vector<double> paintMs;     // write to the label's paint
};

// Sets each write against the caption change it caused, in order.
Figures Compare(const std::vector<Written>& writes, const ReplyWatch& watch);

}  // namespace pump::bench
