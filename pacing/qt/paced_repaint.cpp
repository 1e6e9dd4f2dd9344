#include "pacing/qt/paced_repaint.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>

namespace pump::qt {
namespace {

long long NowMicroseconds() {
  static QElapsedTimer clock = [] {
    QElapsedTimer started;
    started.start();
    return started;
  }();
  return clock.nsecsElapsed() / 1000;
}

}  // namespace

PacedRepaint::PacedRepaint(QWidget& window, pacing::FramePacing pacing)
    : window_(window), pacer_(timer_, NowMicroseconds, pacing) {
  pacer_.setOnFrame([this] { paintFrame(); });
  window_.installEventFilter(this);
  // Painting before the thread sleeps saves a wake-up of its own per frame.
  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
          [this] { pacer_.aboutToSleep(); });
}

PacedRepaint::~PacedRepaint() { window_.removeEventFilter(this); }

// Qt asks a window to paint its changed widgets with one posted update
// request, and posts no other until that one is handled. Holding it back
// lets the changes of a whole frame gather behind it.
bool PacedRepaint::eventFilter(QObject* watched, QEvent* event) {
  if (watched != &window_ || event->type() != QEvent::UpdateRequest || painting_) return false;
  pacer_.changed();
  return true;
}

void PacedRepaint::paintFrame() {
  if (beforeFrame_) beforeFrame_();
  painting_ = true;
  QEvent request(QEvent::UpdateRequest);
  QCoreApplication::sendEvent(&window_, &request);
  painting_ = false;
}

}  // namespace pump::qt
