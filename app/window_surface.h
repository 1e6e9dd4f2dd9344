// The main window's client area below the menu bar.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <optional>

namespace pump::app {

// The client area below the menu bar: blue, with the background picture drawn
// unscaled from the corner, so an enlarged window shows blue round it. The
// picture is read for the first paint rather than when the window is built:
// reading it is a tenth of the work before the window can be shown.
class WindowSurface : public QWidget {
 public:
  explicit WindowSurface(QWidget* parent);
  void setOnMousePress(std::function<void(QMouseEvent*)> onPress) { onPress_ = std::move(onPress); }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const QPixmap& background();

  std::optional<QPixmap> background_;
  QColor backColour_;
  std::function<void(QMouseEvent*)> onPress_;
};

}  // namespace pump::app
