// The design tables' values as Qt takes them, for both windows.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <string_view>

#include "app/png_picture.h"
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

// The artwork, all PNG, read without Qt's image plugins (see png_picture.h).
inline QPixmap Picture(std::string_view resource) {
  return QPixmap::fromImage(ReadPng(Text(resource)));
}
inline QIcon Icon(std::string_view resource) { return QIcon(Picture(resource)); }

}  // namespace pump::app
