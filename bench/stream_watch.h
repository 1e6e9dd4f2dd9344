// Watches the console through a reply stream: every caption change of the
// current-pressure label, when the console's thread woke for it, whether the
// chart kept pace, when the label was painted, and the CPU the console used.
#pragma once

#include <QEvent>
#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "app/composition.h"

namespace pump::bench {

long long MonotonicNs();

// What the process has used so far, to be subtracted from a later reading.
struct Usage {
  double cpuSeconds = 0;
  long involuntarySwitches = 0;
  long long wallNs = 0;

  static Usage Now();
};

// What the process used since an earlier reading.
struct Spent {
  double cpuSeconds = 0;
  long preempted = 0;  // involuntary context switches
  double wallSeconds = 0;
};

Spent SpentSince(const Usage& before);

// Notes when the console's thread last woke for a ready descriptor: what
// comes before is the kernel and the scheduler, what comes after is the
// console's own work.
class WakeWatch : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::SockAct) lastWake = MonotonicNs();
    return false;
  }
  long long lastWake = 0;
};

// Notes when the current-pressure label is painted: the moment a caption
// change reaches the window's pixels.
class PaintWatch : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) paints.push_back(MonotonicNs());
    return false;
  }
  std::vector<long long> paints;
};

// One caption change of the current-pressure label, as the console showed it.
struct Shown {
  long long ns;
  long long wokeNs;
  std::string caption;
  bool charted;  // the chart had taken one step for every earlier reply
};

// Quits the application once the last reply of the stream is shown.
class ReplyWatch {
 public:
  ReplyWatch(app::Console& console, long long replies, double seconds);
  // Gives the label back to the view's observer alone.
  ~ReplyWatch();
  ReplyWatch(const ReplyWatch&) = delete;
  ReplyWatch& operator=(const ReplyWatch&) = delete;

  // Called as the first reply is shown: the figures count from there.
  void onFirstReply(std::function<void()> start) { onFirstReply_ = std::move(start); }

  // Notes the chart and the label once the stream is over.
  void noteEnd();

  const std::vector<Shown>& shown() const { return shown_; }
  const std::vector<long long>& paints() const { return paintWatch_.paints; }
  // The chart's last step follows the last caption change.
  bool chartEndedInStep() const { return finalStep_ == expectedStep(); }
  // The label still shows the last caption change.
  bool labelShowsLast() const { return !shown_.empty() && finalLabel_ == shown_.back().caption; }

 private:
  void noteCaption();
  // The chart steps after the caption is set: when a caption is set it has
  // stepped once for every earlier reply of the stream.
  int expectedStep() const {
    return static_cast<int>((firstStep_ + static_cast<long long>(shown_.size())) % 100);
  }

  app::Console& console_;
  long long replies_;
  WakeWatch wakeWatch_;
  PaintWatch paintWatch_;
  std::vector<Shown> shown_;
  std::function<void()> viewObserver_;
  std::function<void()> onFirstReply_;
  int firstStep_ = -1;
  int finalStep_ = -1;
  std::string finalLabel_;
};

}  // namespace pump::bench
