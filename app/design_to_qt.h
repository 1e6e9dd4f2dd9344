// The design tables' values as Qt takes them, for both windows.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <string_view>

#include "platform/twips.h"
#include "platform/ui.h"

namespace pump::app {

inline QColor ToQColor(Rgb colour) { return {colour.r, colour.g, colour.b}; }

inline QRect ToQRect(TwipsRect twips) {
  const PixelRect px = ToPixels(twips);
  return {px.x, px.y, px.width, px.height};
}

inline QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace pump::app
