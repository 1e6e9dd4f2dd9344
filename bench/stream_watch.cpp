#include "bench/stream_watch.h"

#include <sys/resource.h>

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <chrono>

#include "bench/cpu_time.h"

namespace pump::bench {

long long MonotonicNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

namespace {

long InvoluntarySwitches() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_nivcsw;
}

}  // namespace

Usage Usage::Now() {
  Usage usage;
  usage.cpuSeconds = ProcessCpuSeconds();
  usage.involuntarySwitches = InvoluntarySwitches();
  usage.wallNs = MonotonicNs();
  return usage;
}

Spent SpentSince(const Usage& before) {
  Spent spent;
  spent.cpuSeconds = ProcessCpuSeconds() - before.cpuSeconds;
  spent.preempted = InvoluntarySwitches() - before.involuntarySwitches;
  spent.wallSeconds = static_cast<double>(MonotonicNs() - before.wallNs) / 1e9;
  return spent;
}

ReplyWatch::ReplyWatch(app::Console& console, long long replies, double seconds)
    : console_(console), replies_(replies) {
  qApp->installEventFilter(&wakeWatch_);
  paintWatch_.paints.reserve(static_cast<std::size_t>(seconds * 100) + 100);
  if (QLabel* label = console.mainWindowView().findChild<QLabel*>(QStringLiteral("LcurrP"))) {
    label->installEventFilter(&paintWatch_);
  }
  shown_.reserve(static_cast<std::size_t>(replies));
  auto& pressure = console.window().display.currentPressure;
  viewObserver_ = pressure.observer();
  pressure.setObserver([this] { noteCaption(); });
}

ReplyWatch::~ReplyWatch() { console_.window().display.currentPressure.setObserver(viewObserver_); }

void ReplyWatch::noteCaption() {
  if (shown_.empty() && onFirstReply_) onFirstReply_();
  if (viewObserver_) viewObserver_();
  const long long now = MonotonicNs();
  const int step = console_.window().chart().position();
  if (firstStep_ < 0) firstStep_ = step;
  shown_.push_back({now, wakeWatch_.lastWake, console_.window().display.currentPressure.caption(),
                    step == expectedStep()});
  // Queued: Qt 6 closes the windows inside quit(), and the console would
  // publish its close before the reply being handled here.
  if (static_cast<long long>(shown_.size()) == replies_) {
    QMetaObject::invokeMethod(qApp, &QApplication::quit, Qt::QueuedConnection);
  }
}

void ReplyWatch::noteEnd() {
  // A caption changed within a frame reaches the label with the frame that shows it.
  QEventLoop settle;
  QTimer::singleShot(100, &settle, &QEventLoop::quit);
  settle.exec();
  finalStep_ = console_.window().chart().position();
  const QLabel* label = console_.mainWindowView().findChild<QLabel*>(QStringLiteral("LcurrP"));
  finalLabel_ = label ? label->text().toStdString() : std::string();
}

}  // namespace pump::bench
