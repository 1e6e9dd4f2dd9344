// The stream benchmark's report: each figure beside its target, and the
// breakdowns that explain the slow replies.
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>

#include "bench/stream_figures.h"
#include "bench/stream_settings.h"
#include "bench/stream_watch.h"

namespace pump::bench {

// ", run log on" and the like after the baud: the end of every figure's name.
std::string RunSuffix(const StreamSettings& settings);

void ReportFigures(const StreamSettings& settings, std::chrono::nanoseconds period,
                   long long replies, std::size_t written, const ReplyWatch& watch,
                   const Spent& spent, const Figures& figures);

// Prints how many reading rows the run log holds against the replies shown;
// true when it holds them all.
bool ReportRunLogRows(const std::filesystem::path& folder, const std::string& suffix,
                      std::size_t shown);

}  // namespace pump::bench
