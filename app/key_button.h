// A keypad button of the main window: a picture command button showing its
// face centred, with no caption text. It clicks on the mouse or, while
// focused, on the space bar.
#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace pump::app {

class KeyButton : public QAbstractButton {
 public:
  KeyButton(QPixmap face, QWidget* parent);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap face_;
};

}  // namespace pump::app
