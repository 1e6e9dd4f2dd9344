#include "app/label_fit.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <array>

namespace pump::app {
namespace {

// The rows holding ink when the caption is drawn in `area` of an image of
// `size`, as a label draws it (clipped to the area); empty if none.
std::pair<int, int> InkRows(const QFont& font, const QString& caption, QSize size, QRect area,
                            Qt::Alignment vertical) {
  QImage image(size, QImage::Format_Grayscale8);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(area, static_cast<int>(Qt::AlignLeft | vertical), caption);
  }
  int top = -1;
  int bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    const uchar* row = image.constScanLine(y);
    for (int x = 0; x < image.width(); ++x) {
      if (row[x] >= 255) continue;
      if (top < 0) top = y;
      bottom = y;
      break;
    }
  }
  return {top, bottom};
}

}  // namespace

CaptionPlacement PlaceCaption(const QFont& font, const QString& caption, QSize size) {
  // The glyphs' whole height: the caption drawn with room to spare.
  const QSize roomy(size.width(), size.height() * 4);
  const auto [wholeTop, wholeBottom] =
      InkRows(font, caption, roomy, QRect(QPoint(), roomy), Qt::AlignVCenter);
  if (wholeTop < 0) return {};
  const int glyphHeight = wholeBottom - wholeTop + 1;
  const std::array candidates{
      CaptionPlacement{Qt::AlignTop, 0}, CaptionPlacement{Qt::AlignVCenter, 0},
      CaptionPlacement{Qt::AlignVCenter, 1}, CaptionPlacement{Qt::AlignVCenter, 2},
      CaptionPlacement{Qt::AlignBottom, 0}};
  const CaptionPlacement* whole = nullptr;  // shows the whole glyph, maybe on the edge
  for (const CaptionPlacement& place : candidates) {
    const QRect area(0, 0, size.width(), size.height() - place.bottomMargin);
    const auto [top, bottom] = InkRows(font, caption, size, area, place.vertical);
    if (bottom - top + 1 != glyphHeight) continue;
    if (top >= 1 && bottom <= size.height() - 2) return place;
    if (whole == nullptr) whole = &place;
  }
  return whole != nullptr ? *whole : CaptionPlacement{};
}

void PlaceStartCaption(QLabel& label) {
  const CaptionPlacement place = PlaceCaption(label.font(), label.text(), label.size());
  label.setAlignment(Qt::AlignLeft | place.vertical);
  label.setContentsMargins(0, 0, 0, place.bottomMargin);
}

}  // namespace pump::app
