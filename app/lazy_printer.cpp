#include "app/lazy_printer.h"

#include "app/module_loader.h"

namespace pump::app {

Printer* LazyPrinter::printer() {
  if (printer_) return printer_.get();
  if (auto make = reinterpret_cast<NewPrinter>(ModuleSymbol(kPrintModule, kNewPrinterSymbol))) {
    printer_.reset(make(dialogParent_.data()));
  }
  return printer_.get();
}

std::optional<int> LazyPrinter::showPrintDialog() {
  Printer* real = printer();
  return real ? real->showPrintDialog() : std::nullopt;
}

bool LazyPrinter::printLine(const std::string& text) {
  Printer* real = printer();
  return real && real->printLine(text);
}

bool LazyPrinter::endDoc() {
  Printer* real = printer();
  return real && real->endDoc();
}

}  // namespace pump::app
