// The right-button pop-up on a QMenu. It opens without a nested event loop:
// the chosen item's handler runs later as an event of its own.
#pragma once

#include <QMenu>
#include <QPoint>
#include <optional>

#include "platform/ui.h"

namespace pump::qt {

class QtPopupMenu : public PopupMenu {
 public:
  explicit QtPopupMenu(QMenu& menu) : menu_(menu) {}
  // Where the next pop-up opens (global pixels): the point of the mouse press
  // that asks for it. Without one it opens at the cursor.
  void setAnchor(QPoint globalPosition) { anchor_ = globalPosition; }
  void popup() override;

 private:
  QMenu& menu_;
  std::optional<QPoint> anchor_;
};

}  // namespace pump::qt
