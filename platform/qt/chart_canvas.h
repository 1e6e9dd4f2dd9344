// The chart box: a white picture box with a user coordinate system. It keeps
// the lines drawn since the last clear, so a stretch covered by a dialog is
// painted again when uncovered, exactly as it was drawn.
#pragma once

#include <QWidget>
#include <vector>

#include "platform/ui.h"

namespace pump::qt {

class ChartCanvas : public QWidget, public Canvas {
 public:
  explicit ChartCanvas(QWidget* parent = nullptr);

  void setScale(float left, float top, float right, float bottom) override;
  void line(float x1, float y1, float x2, float y2, std::optional<Rgb> colour) override;
  void clear() override;

  // Where a user coordinate lands, in pixels of the drawing area.
  QPointF toPixels(float x, float y) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Segment {
    float x1, y1, x2, y2;
    QColor colour;
    bool operator==(const Segment&) const = default;
  };
  QPointF toPixels(float x, float y, const QRect& area) const;
  // The pixels a segment's one-pixel pen can touch.
  QRect bounds(const Segment& segment, const QRect& area) const;
  // Asks for the whole box to be painted; lines drawn before that paint need
  // no stretch of their own.
  void updateWhole();

  float left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
  std::vector<Segment> segments_;
  bool wholeDue_ = false;
};

}  // namespace pump::qt
