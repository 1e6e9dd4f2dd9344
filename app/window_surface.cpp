#include "app/window_surface.h"

#include <QPainter>

#include "app/design_to_qt.h"
#include "console/window_design.h"

namespace pump::app {

WindowSurface::WindowSurface(QWidget* parent) : QWidget(parent) {
  const auto& window = console::design::Window();
  background_ = Picture(window.backgroundPicture);
  backColour_ = ToQColor(window.backColour);
}

void WindowSurface::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), backColour_);
  painter.drawPixmap(0, 0, background_);
}

void WindowSurface::mousePressEvent(QMouseEvent* event) {
  if (onPress_) onPress_(event);
}

}  // namespace pump::app
