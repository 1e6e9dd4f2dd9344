#include "app/window_surface.h"

#include <QPainter>

#include "app/design_to_qt.h"
#include "console/window_design.h"

namespace pump::app {

WindowSurface::WindowSurface(QWidget* parent) : QWidget(parent) {
  backColour_ = ToQColor(console::design::Window().backColour);
}

const QPixmap& WindowSurface::background() {
  if (!background_) background_ = Picture(console::design::Window().backgroundPicture);
  return *background_;
}

void WindowSurface::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), backColour_);
  painter.drawPixmap(0, 0, background());
}

void WindowSurface::mousePressEvent(QMouseEvent* event) {
  if (onPress_) onPress_(event);
}

}  // namespace pump::app
