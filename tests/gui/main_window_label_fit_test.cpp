// Every label's caption shows whole inside the label: no glyph is cut at the
// label's edge, and the labels stay at their design places.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPainter>

#include "app/design_to_qt.h"
#include "console/window_design.h"
#include "tests/gui/main_window_view_harness.h"

namespace pump {
namespace {

using testing::MainWindowViewHarness;

// Rows and columns of `image` holding ink: pixels unlike the top-left one.
QRect InkBounds(const QImage& image) {
  const QColor ground = image.pixelColor(0, 0);
  QRect bounds;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - ground.red()) + std::abs(c.green() - ground.green()) +
              std::abs(c.blue() - ground.blue()) >
          60) {
        bounds |= QRect(x, y, 1, 1);
      }
    }
  }
  return bounds;
}

// The caption drawn alone on a canvas large enough for any glyph.
QRect UncutInk(const QLabel& label) {
  QImage canvas(label.width() * 3, label.height() * 4, QImage::Format_RGB32);
  canvas.fill(label.palette().color(QPalette::Window));
  QPainter painter(&canvas);
  painter.setFont(label.font());
  painter.setPen(label.palette().color(QPalette::WindowText));
  painter.drawText(canvas.rect(), Qt::AlignCenter, label.text());
  return InkBounds(canvas);
}

TEST(MainWindowLabelFit, EveryCaptionShowsWholeInsideItsDesignPlace) {
  MainWindowViewHarness f;
  for (const auto& design : console::design::Labels()) {
    auto* label = f.find<QLabel>(std::string(design.name).c_str(), design.index);
    ASSERT_NE(label, nullptr) << design.name;
    EXPECT_EQ(label->geometry(), app::ToQRect(design.rect)) << design.name;
    if (label->text().isEmpty()) continue;
    label->show();  // the run clock is hidden until a timed run starts
    const QRect shown = InkBounds(label->grab().toImage());
    const QRect whole = UncutInk(*label);
    // Antialiasing may shift the ink's width by a pixel; the height is exact.
    EXPECT_EQ(shown.height(), whole.height())
        << design.name << " " << design.index << ": " << label->text().toStdString() << " is cut";
    EXPECT_NEAR(shown.width(), whole.width(), 1) << design.name << " " << design.index;
    EXPECT_GE(shown.top(), 1) << design.name << " touches its top edge";
    EXPECT_LE(shown.bottom(), label->height() - 2) << design.name << " touches its bottom edge";
  }
  f.view->grab(QRect(0, 0, 240, 60)).save(QStringLiteral("main-window-clock.png"));
}

}  // namespace
}  // namespace pump
