#include "bench/stream_figures.h"

#include <algorithm>
#include <fstream>

#include "link/pump_frame.h"

namespace pump::bench {

std::vector<Written> ReadWriteLog(const std::filesystem::path& path) {
  std::vector<Written> writes;
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    Written w{};
    const auto space = line.find(' ');
    if (space == std::string::npos) continue;
    w.ns = std::stoll(line.substr(0, space));
    w.frame = line.substr(space + 1, link::kFrameLength);
    w.whole = line.find("dropped") == std::string::npos;
    writes.push_back(std::move(w));
  }
  return writes;
}

long long ReadingRows(const std::filesystem::path& folder) {
  long long rows = 0;
  if (!std::filesystem::exists(folder)) return 0;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    std::ifstream in(file.path());
    for (std::string line; std::getline(in, line);) {
      if (line.find(",reading,") != std::string::npos) ++rows;
    }
  }
  return rows;
}

Figures Compare(const std::vector<Written>& writes, const ReplyWatch& watch) {
  const auto& shown = watch.shown();
  const auto& paints = watch.paints();
  Figures figures;
  figures.latencyMs.reserve(writes.size());
  auto nextPaint = paints.begin();
  for (std::size_t i = 0; i < writes.size(); ++i) {
    if (!writes[i].whole || i >= shown.size()) {
      ++figures.lost;
      continue;
    }
    if (shown[i].caption != link::FrameValue(writes[i].frame)) ++figures.misordered;
    if (!shown[i].charted) ++figures.unCharted;
    figures.latencyMs.push_back(static_cast<double>(shown[i].ns - writes[i].ns) / 1e6);
    figures.wakeMs.push_back(static_cast<double>(shown[i].wokeNs - writes[i].ns) / 1e6);
    figures.handlingMs.push_back(static_cast<double>(shown[i].ns - shown[i].wokeNs) / 1e6);
    // The first paint of the label after the caption changed shows it.
    nextPaint = std::lower_bound(nextPaint, paints.end(), shown[i].ns);
    if (nextPaint != paints.end()) {
      figures.paintMs.push_back(static_cast<double>(*nextPaint - writes[i].ns) / 1e6);
    }
  }
  if (!shown.empty() && !watch.chartEndedInStep()) ++figures.unCharted;
  if (!shown.empty() && !watch.labelShowsLast()) ++figures.misordered;
  return figures;
}

}  // namespace pump::bench
