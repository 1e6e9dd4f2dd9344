// The chart box: a white picture box with a user coordinate system. It keeps
// the lines drawn since the last clear and paints them again on every repaint,
// so a stretch that a dialog covered comes back exactly as it was drawn.
#pragma once

#include <QColor>
#include <QLineF>
#include <QWidget>
#include <optional>
#include <vector>

#include "platform/ui.h"

namespace pump::qt {

class ChartCanvas : public QWidget, public Canvas {
 public:
  explicit ChartCanvas(QWidget* parent = nullptr);

  void setScale(float left, float top, float right, float bottom) override;
  void line(float x1, float y1, float x2, float y2, std::optional<Rgb> colour) override;
  void clear() override;

  // Where a user coordinate lands, in pixels of the widget.
  QPointF toPixels(float x, float y) const;
  // Lines kept for repainting.
  std::size_t lineCount() const { return segments_.size(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Segment {
    float x1, y1, x2, y2;
    QColor colour;
    bool operator==(const Segment&) const = default;
  };
  // The part of a segment inside the drawing area, in pixels, or nothing.
  std::optional<QLineF> visiblePart(const Segment& segment) const;
  // The pixels a segment's one-pixel pen can touch; empty when it lies off the box.
  QRect bounds(const Segment& segment) const;
  // Asks for the whole box to be painted; lines drawn before that paint need
  // no stretch of their own.
  void updateWhole();

  float left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
  std::vector<Segment> segments_;
  bool wholeDue_ = false;
};

}  // namespace pump::qt
