// The least any Qt widget program pays for the same reply stream that
// stream_bench feeds the console: it wakes for every reply, reads it from a
// QSerialPort, and repaints one small plain box at the window's pace (the
// console's own pacing, at most once a screen frame). It parses nothing,
// keeps no model, logs nothing and draws no text or chart.
//
//   floor_bench [--baud 9600] [--seconds 20]
//
// Its CPU share is printed against the console's own target at that baud: a
// floor above the target means no Qt widget console can meet it on this
// machine, and what the console costs above the floor is its own work.

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QSerialPort>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/cpu_time.h"
#include "bench/target.h"
#include "link/pump_frame.h"
#include "pacing/qt/paced_repaint.h"
#include "sim/reply_stream.h"
#include "tests/support/pump_sim_process.h"

namespace {

using pump::bench::Bound;
using pump::bench::ProcessCpuSeconds;
using pump::bench::Report;

// A box of the size of the pressure caption, filled plain white.
class PlainBox : public QWidget {
 public:
  long long paints = 0;

 protected:
  void paintEvent(QPaintEvent*) override {
    ++paints;
    QPainter(this).fillRect(rect(), Qt::white);
  }
};

struct Figures {
  double cpuSeconds = 0, wallSeconds = 0;
  long long replies = 0, paints = 0;
};

// Reads the stream for `seconds` after a second of settling, repainting the
// box for every reply; the figures cover the measured stretch only.
Figures Follow(const std::string& device, int baud, double seconds) {
  PlainBox box;
  box.resize(41, 25);
  box.show();
  pump::qt::PacedRepaint pacing(box);
  QSerialPort port(QString::fromStdString(device));
  port.setBaudRate(baud);
  Figures figures;
  if (!port.open(QIODevice::ReadWrite)) return figures;
  std::size_t bytes = 0;
  QObject::connect(&port, &QSerialPort::readyRead, [&] {
    bytes += static_cast<std::size_t>(port.readAll().size());
    box.update();
  });
  port.write("Q00N");  // the stream starts at the first byte it receives
  double cpuAtStart = 0;
  std::size_t bytesAtStart = 0;
  long long paintsAtStart = 0;
  QElapsedTimer wall;
  QTimer::singleShot(1000, [&] {
    cpuAtStart = ProcessCpuSeconds(), bytesAtStart = bytes, paintsAtStart = box.paints;
    wall.start();
  });
  QTimer::singleShot(1000 + static_cast<int>(seconds * 1000), [&] {
    figures = {ProcessCpuSeconds() - cpuAtStart, static_cast<double>(wall.nsecsElapsed()) / 1e9,
               static_cast<long long>((bytes - bytesAtStart) / pump::link::kFrameLength),
               box.paints - paintsAtStart};
    QApplication::quit();
  });
  QApplication::exec();
  return figures;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  int baud = 9600;
  double seconds = 20;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    if (name == "--baud") baud = std::atoi(argv[i + 1]);
    if (name == "--seconds") seconds = std::atof(argv[i + 1]);
  }
  const auto period = pump::sim::FramePeriod(baud);
  const long long replies =
      static_cast<long long>((seconds + 5) * 1e9 / static_cast<double>(period.count()));
  pump::testing::PumpSimProcess sim(
      {"--baud", std::to_string(baud), "--stream", std::to_string(replies)});
  if (sim.devicePath().empty()) {
    std::fprintf(stderr, "floor_bench: pump-sim did not start\n");
    return 2;
  }
  const Figures figures = Follow(sim.devicePath(), baud, seconds);
  if (figures.replies == 0 || figures.wallSeconds <= 0) {
    std::fprintf(stderr, "floor_bench: no reply came from %s\n", sim.devicePath().c_str());
    return 2;
  }
  const std::string at = " @" + std::to_string(baud);
  const double cpuLimit = baud <= 9600 ? 1.5 : 8.0;
  Report("bare Qt reader CPU" + at, 100 * figures.cpuSeconds / figures.wallSeconds, Bound::AtMost,
         cpuLimit, "% core");
  Report("bare Qt reader CPU per reply" + at,
         figures.cpuSeconds * 1e6 / static_cast<double>(figures.replies), Bound::AtMost,
         cpuLimit / 100 * static_cast<double>(period.count()) / 1e3, "us");
  std::printf("bare Qt reader%s: %lld replies, %.1f paints a second\n", at.c_str(), figures.replies,
              static_cast<double>(figures.paints) / figures.wallSeconds);
  return 0;
}
