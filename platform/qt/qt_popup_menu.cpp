#include "platform/qt/qt_popup_menu.h"

#include <QCursor>

namespace pump::qt {

void QtPopupMenu::popup() {
  // Left-aligned at the press: the menu's top-left corner is the mouse position.
  menu_.popup(anchor_.value_or(QCursor::pos()));
  anchor_.reset();
}

}  // namespace pump::qt
