// The printer dialog and the printer on QPrintDialog and QPrinter.
#pragma once

#include <QPointer>
#include <QPrinter>
#include <QString>
#include <memory>

#include "platform/printer.h"

class QPainter;
class QWidget;

namespace pump::qt {

class QtPrinter : public Printer {
 public:
  explicit QtPrinter(QWidget* dialogParent = nullptr);
  ~QtPrinter() override;
  void setDialogParent(QWidget* parent) { dialogParent_ = parent; }

  // The dialog's copy count is handed back and the printer itself set to one
  // copy, so a queue that copies natively does not multiply every job.
  std::optional<int> showPrintDialog() override;
  // The first line of a page opens the job.
  bool printLine(const std::string& text) override;
  // Closes the job. When printing to a file, every job after the first goes
  // to its own numbered file next to the chosen one (out.pdf, out-2.pdf, ...).
  bool endDoc() override;

 private:
  bool beginJob();

  QPrinter printer_;
  QPointer<QWidget> dialogParent_;
  std::unique_ptr<QPainter> painter_;  // open while a job is being printed
  QString chosenFile_;                 // the dialog's output file, if any
  int jobsSinceDialog_ = 0;
  int linesOnPage_ = 0;
};

}  // namespace pump::qt
