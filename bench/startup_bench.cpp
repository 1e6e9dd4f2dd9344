// Start-up: the time from the process's start to the main window's first
// paint, and the memory held then. Builds the real console as the program's
// own main does, reports, and quits.
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>

#include "app/composition.h"
#include "bench/target.h"

namespace {

using pump::bench::Bound;
using pump::bench::Report;

double BootClockSeconds() {
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// The process's start time on the same clock, from /proc (clock-tick resolution).
double ProcessStartSeconds() {
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // Fields after the command name, which is in parentheses and may hold spaces.
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
    if (i == 22) return std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }
  return 0;
}

// A line of /proc/self/status such as VmRSS, in MB.
double StatusMegabytes(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(key + ":", 0) == 0) return std::stod(line.substr(key.size() + 1)) / 1024;
  }
  return 0;
}

// Waits for the first paint of a window; the moment it is over is noted once
// the event loop is back, after the painted window has been flushed.
class FirstPaint : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      QTimer::singleShot(0, [] { QApplication::quit(); });
    }
    return false;
  }

 private:
  bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  const double mainEntered = BootClockSeconds();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  pump::app::PrepareApplication();

  pump::app::Console console;
  FirstPaint firstPaint;
  console.mainWindowView().installEventFilter(&firstPaint);
  console.start();
  QTimer::singleShot(10000, [] { QApplication::quit(); });  // no paint at all: give up
  QApplication::exec();
  const double painted = BootClockSeconds();

  std::printf("platform: %s\n", qPrintable(QApplication::platformName()));
  std::printf("main entered to first paint: %.3f s\n", painted - mainEntered);
  Report("process start to first paint", painted - ProcessStartSeconds(), Bound::AtMost, 0.3, "s");
  Report("resident memory (VmRSS)", StatusMegabytes("VmRSS"), Bound::AtMost, 60, "MB");
  Report("peak resident memory (VmHWM)", StatusMegabytes("VmHWM"), Bound::AtMost, 60, "MB");
  return 0;
}
