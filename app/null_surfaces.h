// The window's surfaces for a console that has no window: a chart nobody
// sees, a pop-up menu that never opens, a record viewer never shown and a
// printer that prints nothing. Plain C++ on the interfaces of platform/.
#pragma once

#include <optional>
#include <string>

#include "platform/printer.h"
#include "platform/ui.h"

namespace pump::app {

class NullCanvas : public Canvas {
 public:
  void setScale(float, float, float, float) override {}
  void line(float, float, float, float, std::optional<Rgb>) override {}
  void clear() override {}
};

class NullPopupMenu : public PopupMenu {
 public:
  void popup() override {}
};

class NullWindowHandle : public WindowHandle {
 public:
  void show() override {}
  void hide() override {}
};

// The print dialog is always cancelled, so nothing is ever printed.
class NullPrinter : public Printer {
 public:
  std::optional<int> showPrintDialog() override { return std::nullopt; }
  bool printLine(const std::string&) override { return false; }
  bool endDoc() override { return false; }
};

}  // namespace pump::app
