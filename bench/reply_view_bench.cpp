// The reply path with the Qt window in it: the captions go to real QLabels and
// the chart steps onto the real chart box, painted once the event loop runs,
// as the running console paints once per pass of its loop.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>

#include "app/composition.h"
#include "app/main_window_view.h"
#include "bench/target_reporter.h"
#include "sim/reply_stream.h"
#include "tests/support/console_harness.h"

namespace {

std::string ReplyStream(int frames) {
  std::string stream;
  for (int i = 0; i < frames; ++i) stream += pump::sim::StreamReply(0, i);
  return stream;
}

// A window model on test doubles except for its view and chart box.
struct ShownView {
  pump::app::MainWindowView view;
};

struct ShownWindow : ShownView {
  pump::testing::ConsoleHarness doubles{pump::testing::ConsoleHarness::Deferred{}};

  ShownWindow() {
    doubles.build({.canvas = &view.chartCanvas(), .popup = &view.popupMenu()},
                  [this](pump::console::MainWindow& w) { view.bind(w, [] {}); });
    view.show();
    QApplication::processEvents();
    doubles.openPort("1");
  }
};

// Frames per pass of the event loop: one at a 9600-baud pace, many when the
// loop is behind and finds several replies waiting.
void ReplyPathOnTheWindow(benchmark::State& state) {
  const auto framesPerPass = static_cast<int>(state.range(0));
  ShownWindow window;
  const std::string stream = ReplyStream(100);
  const std::string_view all(stream);
  std::size_t at = 0;
  for (auto _ : state) {
    for (int i = 0; i < framesPerPass; ++i) {
      window.doubles.serial.receive(all.substr(at, 9));
      at = (at + 9) % all.size();
    }
    QApplication::processEvents();
  }
  state.counters["frames/s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * framesPerPass, benchmark::Counter::kIsRate);
}
BENCHMARK(ReplyPathOnTheWindow)->Arg(1)->Arg(100)->Arg(10000);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  pump::app::LoadAssets();
  pump::app::InstallFontSubstitutes();
  using pump::bench::Bound;
  return pump::bench::RunWithTargets(
      argc, argv,
      {{"ReplyPathOnTheWindow", "reply path with window", Bound::AtLeast, 1e6, "frames/s",
        [](const auto& run) { return run.counters.at("frames/s").value; }}});
}
