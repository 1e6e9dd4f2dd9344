// Watches a running application: the paints each widget got and the objects
// whose timers fired, leaving out the timers a test runs itself.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <map>
#include <set>

namespace pump::testing {

class EventCount : public QObject {
 public:
  EventCount() { QCoreApplication::instance()->installEventFilter(this); }
  ~EventCount() override { QCoreApplication::instance()->removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints[watched];
    if (event->type() == QEvent::Timer && !ignored.contains(watched)) ++timers[watched];
    return false;
  }
  int paintCount() const {
    int total = 0;
    for (const auto& [widget, count] : paints) total += count;
    return total;
  }
  std::map<QObject*, int> paints;
  std::map<QObject*, int> timers;
  std::set<QObject*> ignored;
};

// Runs the event loop as the program does, for a while; its own timer is not counted.
inline void RunEventLoopFor(int milliseconds, EventCount* count = nullptr) {
  QEventLoop loop;
  QTimer stop;
  stop.setSingleShot(true);
  QObject::connect(&stop, &QTimer::timeout, &loop, &QEventLoop::quit);
  if (count) count->ignored.insert(&stop);
  stop.start(milliseconds);
  loop.exec();
  if (count) count->ignored.erase(&stop);
}

}  // namespace pump::testing
