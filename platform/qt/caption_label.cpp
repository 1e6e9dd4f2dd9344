#include "platform/qt/caption_label.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>

namespace pump::qt {
namespace {

// The image is Format_RGB32: one 32-bit pixel per column.
bool ColumnIs(const QImage& image, int x, QRgb colour) {
  for (int y = 0; y < image.height(); ++y) {
    if (reinterpret_cast<const QRgb*>(image.constScanLine(y))[x] != colour) return false;
  }
  return true;
}

// The width of the image once the columns on its right that are all of the
// last column's single colour are cut off; the full width if there are none.
int WidthBeforeTail(const QImage& image) {
  const int last = image.width() - 1;
  if (last < 0 || !ColumnIs(image, last, image.pixel(last, 0))) return image.width();
  const QRgb tail = image.pixel(last, 0);
  int width = last;
  while (width > 0 && ColumnIs(image, width - 1, tail)) --width;
  return width;
}

}  // namespace

CaptionLabel::CaptionLabel(QWidget* parent) : QLabel(parent) {}

CaptionLabel::~CaptionLabel() = default;

void CaptionLabel::setSolidBackground(const QColor& background) {
  QPalette colours = palette();
  colours.setColor(QPalette::Window, background);
  setPalette(colours);
  setAutoFillBackground(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

CaptionLabel::Look CaptionLabel::look() const {
  return Look{.size = size(),
              .pixelRatio = devicePixelRatioF(),
              .font = font(),
              .alignment = static_cast<int>(alignment()),
              .indent = indent(),
              .margin = margin(),
              .contents = contentsMargins(),
              .wordWrap = wordWrap(),
              .direction = layoutDirection()};
}

// Only plain text on a solid, opaque background is the same picture every
// time whatever lies under the label. A disabled label or one under a style
// sheet draws as usual.
bool CaptionLabel::keepsPictures() const {
  const QBrush background = palette().brush(backgroundRole());
  return autoFillBackground() && background.style() == Qt::SolidPattern &&
         background.color().alpha() == 255 && textFormat() == Qt::PlainText && pixmap().isNull() &&
         isEnabled() && style() == QApplication::style() &&
         foregroundRole() == QPalette::WindowText && backgroundRole() == QPalette::Window;
}

void CaptionLabel::paintEvent(QPaintEvent* event) {
  const Picture* shown = keepsPictures() ? picture() : nullptr;
  if (!shown) {
    paintAfresh(event);
    return;
  }
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), shown->image);
  if (shown->width < width()) {
    painter.fillRect(QRect(shown->width, 0, width() - shown->width, height()), shown->tail);
  }
}

// As a plain label paints, on the background Qt leaves to an opaque label.
void CaptionLabel::paintAfresh(QPaintEvent* event) {
  if (testAttribute(Qt::WA_OpaquePaintEvent)) {
    QPainter(this).fillRect(event->rect(), palette().brush(backgroundRole()));
  }
  QLabel::paintEvent(event);
}

const CaptionLabel::Picture* CaptionLabel::picture() {
  const Look now = look();
  if (!(now == shownLook_)) {
    pictures_.clear();
    shownLook_ = now;
  }
  // A label that turns red and back keeps the pictures of both colours.
  const QPalette colours = palette();
  const QColor ink = colours.color(QPalette::WindowText);
  const QColor background = colours.color(QPalette::Window);
  const QString key = QString::number(ink.rgba(), 16) + u' ' +
                      QString::number(background.rgba(), 16) + u' ' + text();
  if (const Picture* kept = pictures_.object(key)) return kept;
  auto* drawn = new Picture(drawPicture(ink, background));
  // The cache deletes a picture too large to keep: the caption is drawn as usual.
  if (!pictures_.insert(key, drawn, drawn->image.sizeInBytes())) return nullptr;
  return drawn;
}

CaptionLabel::Picture CaptionLabel::drawPicture(const QColor& ink, const QColor& background) {
  ++captionsDrawn_;
  if (!twin_) twin_ = std::make_unique<QLabel>();
  // The colours this label paints with now, whether its window is active or not.
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, ink);
  colours.setColor(QPalette::Window, background);
  twin_->setPalette(colours);
  twin_->setAutoFillBackground(true);
  twin_->setFont(font());
  twin_->setLayoutDirection(layoutDirection());
  twin_->setTextFormat(Qt::PlainText);
  twin_->setAlignment(alignment());
  twin_->setIndent(indent());
  twin_->setMargin(margin());
  twin_->setContentsMargins(contentsMargins());
  twin_->setWordWrap(wordWrap());
  twin_->resize(size());
  twin_->setText(text());
  const qreal ratio = devicePixelRatioF();
  QImage image((QSizeF(size()) * ratio).toSize(), QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  twin_->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
  // Cut where whole device pixels meet whole widget pixels only.
  if (ratio != 1.0) return Picture{image, width(), QColor()};
  const int kept = WidthBeforeTail(image);
  const QColor tail = kept < image.width() ? QColor(image.pixel(image.width() - 1, 0)) : QColor();
  return Picture{image.copy(0, 0, kept, image.height()), kept, tail};
}

}  // namespace pump::qt
