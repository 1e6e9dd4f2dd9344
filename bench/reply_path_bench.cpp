// Reply path: bytes in, through frame reassembly, reply handling, the label
// updates and the chart step. A 9600-baud line carries about 107 frames/s.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/target_reporter.h"
#include "tests/support/console_harness.h"

namespace {

std::string ReplyStream(int frames) {
  static const char* const kReplies[] = {"Q00N01.5Y", "Q00N03.9Y", "Q00L0150Y", "Q00P02.5Y"};
  std::string stream;
  for (int i = 0; i < frames; ++i) stream += kReplies[i % 4];
  return stream;
}

void ReplyPath(benchmark::State& state) {
  const auto readSize = static_cast<std::size_t>(state.range(0));
  pump::testing::ConsoleHarness f;
  f.openPort("1");
  const std::string stream = ReplyStream(4096);
  for (auto _ : state) {
    for (std::size_t at = 0; at < stream.size(); at += readSize) {
      f.serial.receive(std::string_view(stream).substr(at, readSize));
    }
    benchmark::DoNotOptimize(f.window->display.currentPressure.caption());
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * 4096,
                                                  benchmark::Counter::kIsRate);
}
// One frame per read (as at the line's pace), and bursts of joined replies.
BENCHMARK(ReplyPath)->Arg(9)->Arg(64)->Arg(4096);

}  // namespace

int main(int argc, char** argv) {
  using pump::bench::Bound;
  return pump::bench::RunWithTargets(
      argc, argv,
      {{"ReplyPath", "reply path", Bound::AtLeast, 1e6, "frames/s",
        [](const auto& run) { return run.counters.at("frames/s").value; }}});
}
