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
  bool event(QEvent* event) override;

 private:
  struct Segment {
    float x1, y1, x2, y2;
    QColor colour;
    // The pixels its pen can touch at the present size and scale.
    QRect reach;
    bool sameLine(const Segment& other) const {
      return x1 == other.x1 && y1 == other.y1 && x2 == other.x2 && y2 == other.y2 &&
             colour == other.colour;
    }
  };
  // The part of a segment inside the drawing area, in pixels, or nothing.
  std::optional<QLineF> visiblePart(const Segment& segment) const;
  // The pixels a segment's one-pixel pen can touch; empty when it lies off the box.
  QRect bounds(const Segment& segment) const;
  // Asks for the whole box to be painted; lines drawn before that paint need
  // no stretch of their own.
  void updateWhole();
  // Asks for the pixels a new line can touch to be painted again.
  void repaintStretch(const QRect& reach);
  // The size or the scale changed: every line lands on other pixels.
  void measureAgain();

  float left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
  std::vector<Segment> segments_;
  bool wholeDue_ = false;
  QRect stretchDue_;  // what the next paint covers of the lines drawn since the last
  QColor ink_;        // the foreground colour, taken from the palette when it changes
};

}  // namespace pump::qt
