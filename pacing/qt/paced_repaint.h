// Holds back a window's repaints to the display's pace. Widgets still change
// at once (a label's text, a chart's lines) and still ask Qt for a repaint;
// the window's request to paint waits for the next frame, so every change
// made in between is painted in one pass.
#pragma once

#include <QObject>
#include <QWidget>
#include <functional>

#include "pacing/frame_pacer.h"
#include "platform/qt/qt_timer.h"

namespace pump::qt {

class PacedRepaint : public QObject {
 public:
  // Paces the top-level `window`'s repaints; it must outlive this object.
  explicit PacedRepaint(QWidget& window, pacing::FramePacing pacing = {});
  ~PacedRepaint() override;

  // Runs just before each frame paints, to show what was held back for it.
  void setBeforeFrame(std::function<void()> work) { beforeFrame_ = std::move(work); }
  // A frame is on its way: a change made now is painted by it.
  bool frameDue() const { return pacer_.due(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void paintFrame();

  QWidget& window_;
  QtTimer timer_;
  pacing::FramePacer pacer_;
  bool painting_ = false;
  std::function<void()> beforeFrame_;
};

}  // namespace pump::qt
