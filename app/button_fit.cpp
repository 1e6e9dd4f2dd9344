#include "app/button_fit.h"

#include <QFont>
#include <QFontMetricsF>

namespace pump::app {

QFont FitCaptionFont(QFont font, const QString& caption, int width, int sideRoom) {
  constexpr double kSmallest = 5;
  constexpr double kStep = 0.25;
  const double room = width - 2.0 * sideRoom;
  font.setStretch(QFont::SemiCondensed);
  while (QFontMetricsF(font).horizontalAdvance(caption) > room &&
         font.pointSizeF() - kStep >= kSmallest) {
    font.setPointSizeF(font.pointSizeF() - kStep);
  }
  return font;
}

}  // namespace pump::app
