#include "platform/qt/qt_printer.h"

#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>

namespace pump::qt {
namespace {

QString NumberedFile(const QString& chosen, int job) {
  if (job == 1) return chosen;
  const QFileInfo info(chosen);
  const QString suffix = info.suffix().isEmpty() ? QString() : "." + info.suffix();
  return info.path() + "/" + info.completeBaseName() + "-" + QString::number(job) + suffix;
}

}  // namespace

QtPrinter::QtPrinter(QWidget* dialogParent) : dialogParent_(dialogParent) {
  printer_.setDocName(QStringLiteral("打印测试"));
}

QtPrinter::~QtPrinter() {
  if (painter_) painter_->end();
}

std::optional<int> QtPrinter::showPrintDialog() {
  if (!chosenFile_.isEmpty()) printer_.setOutputFileName(chosenFile_);
  QPrintDialog dialog(&printer_, dialogParent_.data());
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const int copies = printer_.copyCount();
  printer_.setCopyCount(1);
  chosenFile_ = printer_.outputFileName();
  jobsSinceDialog_ = 0;
  return copies;
}

bool QtPrinter::beginJob() {
  ++jobsSinceDialog_;
  if (!chosenFile_.isEmpty())
    printer_.setOutputFileName(NumberedFile(chosenFile_, jobsSinceDialog_));
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(&printer_)) return false;
  painter_ = std::move(painter);
  linesOnPage_ = 0;
  return true;
}

bool QtPrinter::printLine(const std::string& text) {
  if (!painter_ && !beginJob()) return false;
  const QFontMetrics metrics = painter_->fontMetrics();
  const int top = linesOnPage_ * metrics.lineSpacing();
  const QRect line(0, top, painter_->viewport().width(), metrics.lineSpacing());
  painter_->drawText(line, Qt::AlignLeft | Qt::AlignTop, QString::fromStdString(text));
  ++linesOnPage_;
  return true;
}

bool QtPrinter::endDoc() {
  if (!painter_) return true;  // nothing printed, nothing to send
  const bool sent = painter_->end();
  painter_.reset();
  return sent;
}

}  // namespace pump::qt
