// Broker messages for the pump board on arbitrary bytes: the first line is the
// topic, the rest the payload, fed to a board with a few pumps on it. No crash,
// no undefined behaviour; no tile without a status, none outside the root, and
// every reading the board keeps is a finite number.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "board/board.h"

namespace {

bool Finite(const std::optional<double>& value) { return !value || std::isfinite(*value); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(bytes), size);
  const auto newline = input.find('\n');
  const auto topic = input.substr(0, newline);
  const auto payload =
      newline == std::string_view::npos ? std::string_view{} : input.substr(newline + 1);

  pump::board::Board board("pumps", "fuzz");
  pump::board::BoardTime now{};
  board.receive("pumps/p1/status", R"({"online":true,"pump":"RUN","remote_control":true})", now);
  board.command("p1", "stop", 0, now);
  board.receive(topic, payload, now);
  now.steady += std::chrono::seconds(11);
  board.tick(now);

  const bool madeATile = board.tiles().size() > 1;
  if (madeATile && !(topic.starts_with("pumps/") && topic.ends_with("/status"))) std::abort();
  for (const auto& [id, tile] : board.tiles()) {
    const auto& reading = tile.reading;
    if (id.empty() || id.find('/') != std::string::npos) std::abort();
    if (!Finite(reading.pressure) || !Finite(reading.flow) || !Finite(reading.limit)) std::abort();
    if (tile.sparkline.size() > pump::board::kSparklineColumns) std::abort();
    for (const auto& column : tile.sparkline) {
      if (!std::isfinite(column.low) || !std::isfinite(column.high)) std::abort();
    }
  }
  return 0;
}
