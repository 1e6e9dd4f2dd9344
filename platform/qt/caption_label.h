// A label on a solid background that keeps the pictures of the captions it
// has shown. Laying out and drawing text is most of what a repaint costs; a
// caption shown before is painted again as a copy of its picture. The
// pictures are drawn by a hidden plain QLabel set up alike, so they are the
// same pixels (a widget cannot render itself while it paints).
#pragma once

#include <QCache>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <memory>

namespace pump::qt {

class CaptionLabel : public QLabel {
 public:
  explicit CaptionLabel(QWidget* parent = nullptr);
  ~CaptionLabel() override;

  // Fills the label with `background` and paints every one of its pixels
  // itself, so Qt paints nothing under it first: neither the window below nor
  // a background fill of its own that the caption's picture then covers.
  void setSolidBackground(const QColor& background);

  // Captions drawn afresh rather than copied from a kept picture.
  long long captionsDrawn() const { return captionsDrawn_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // What a caption's picture depends on besides its text and colours.
  struct Look {
    QSize size;
    qreal pixelRatio = 0;
    QFont font;
    int alignment = 0, indent = 0, margin = 0;
    QMargins contents;
    bool wordWrap = false;
    Qt::LayoutDirection direction = Qt::LeftToRight;
    bool operator==(const Look&) const = default;
  };
  // The caption's picture up to where its right-hand columns are all
  // background, which is filled rather than copied.
  struct Picture {
    QImage image;
    int width = 0;  // in pixels of the widget
    QColor tail;
  };

  void paintAfresh(QPaintEvent* event);
  Look look() const;
  bool keepsPictures() const;
  const Picture* picture();
  Picture drawPicture(const QColor& ink, const QColor& background);

  QCache<QString, Picture> pictures_{4 << 20};  // bytes kept at most
  Look shownLook_;
  std::unique_ptr<QLabel> twin_;  // draws the pictures; never shown
  long long captionsDrawn_ = 0;
};

}  // namespace pump::qt
