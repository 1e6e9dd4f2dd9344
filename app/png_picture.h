// PNG pictures read by Qt's built-in reader alone. Left to recognise a
// picture, even one it is told is PNG, Qt's image reader first loads every
// image plugin there is (GIF, ICO, JPEG, and SVG with Qt SVG beneath it) to
// ask each whether it reads it: about 2 MB and a few milliseconds at start
// for pictures that are all PNG.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>
#include <QStyle>

namespace pump::app {

// The PNG file or resource at `path`; a null image if it cannot be read.
QImage ReadPng(const QString& path);

// The application's style (which it takes over), with the one icon Qt's style reads at start (the
// menu bar's overflow button) read from the same pictures as PNG.
QStyle* StyleReadingPng();

}  // namespace pump::app
