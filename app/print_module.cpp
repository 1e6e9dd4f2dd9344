// The print module: the printer dialog and the printer on Qt Print Support,
// opened by the window program on the operator's first print.
#include <type_traits>

#include "app/lazy_printer.h"
#include "platform/qt/qt_printer.h"

extern "C" pump::Printer* pump_console_new_printer(QWidget* dialogParent) {
  return new pump::qt::QtPrinter(dialogParent);
}

static_assert(std::is_same_v<decltype(&pump_console_new_printer), pump::app::NewPrinter>,
              "the entry the window program looks up");
