// The printer as the main window sees it: Qt Print Support, and CUPS,
// Kerberos and GnuTLS beneath it, are opened from the print module on the
// first print, not at start.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "platform/printer.h"

namespace pump::app {

// The print module's one entry: a printer whose dialog is centred on `dialogParent`.
inline constexpr char kPrintModule[] = "pump-console-print.so";
inline constexpr char kNewPrinterSymbol[] = "pump_console_new_printer";
using NewPrinter = Printer* (*)(QWidget* dialogParent);

class LazyPrinter : public Printer {
 public:
  void setDialogParent(QWidget* parent) { dialogParent_ = parent; }

  // Without the module there is no dialog: as if the operator had cancelled.
  std::optional<int> showPrintDialog() override;
  bool printLine(const std::string& text) override;
  bool endDoc() override;

 private:
  Printer* printer();

  QPointer<QWidget> dialogParent_;
  std::unique_ptr<Printer> printer_;
};

}  // namespace pump::app
