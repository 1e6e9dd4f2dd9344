#include "app/key_button.h"

#include <qdrawutil.h>

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace pump::app {

KeyButton::KeyButton(QPixmap face, QWidget* parent)
    : QAbstractButton(parent), face_(std::move(face)) {
  setFocusPolicy(Qt::StrongFocus);
  // A press with any button stays on the key: it never reaches the window
  // underneath, which would open the right-button pop-up.
  setAttribute(Qt::WA_NoMousePropagation);
}

QSize KeyButton::sizeHint() const { return face_.deviceIndependentSize().toSize() + QSize(2, 4); }

void KeyButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const bool pressed = isDown();
  qDrawShadePanel(&painter, rect(), palette(), pressed, 1, &palette().brush(QPalette::Button));

  const QSize faceSize = face_.deviceIndependentSize().toSize();
  QRect faceRect(QPoint((width() - faceSize.width()) / 2, (height() - faceSize.height()) / 2),
                 faceSize);
  if (pressed) faceRect.translate(1, 1);  // the face sinks with the key
  painter.drawPixmap(faceRect.topLeft(), face_);

  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = faceRect.adjusted(2, 2, -2, -2);
    focus.backgroundColor = QColor(24, 72, 222);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
  }
}

}  // namespace pump::app
