// The program window's table: cells as the operator edits them, their
// faults and totals, and the rows inserted, deleted, moved or pasted.
#include <QBrush>
#include <QLabel>
#include <QTableWidget>
#include <algorithm>

#include "app/program_preview.h"
#include "app/program_window.h"
#include "texts/operator_texts.h"

namespace pump::app {
namespace {

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

// The table widget from the table's texts, all of it.
void ProgramWindow::fillTable() {
  filling_ = true;
  steps_->setRowCount(table_.rowCount());
  for (int row = 0; row < table_.rowCount(); ++row)
    for (int column = 0; column < program::kColumnCount; ++column) {
      auto* item = new QTableWidgetItem(Utf8(table_.cell(row, column)));
      if (column == program::kStepColumn) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
      steps_->setItem(row, column, item);
    }
  filling_ = false;
  shownStep_ = 0;
  tableChanged();
}

void ProgramWindow::cellEdited(int row, int column) {
  if (filling_) return;
  table_.setCell(row, column, steps_->item(row, column)->text().toStdString());
  tableChanged();
}

void ProgramWindow::tableChanged() {
  markCells();
  explainFault();
  showTotals();
  preview_->draw(table_.draft());
  setWindowTitle(Utf8(std::string(texts::kProgramTitle) + " - " + table_.name()));
  followRun();
}

void ProgramWindow::markCells() {
  filling_ = true;
  for (int row = 0; row < table_.rowCount(); ++row)
    for (int column = program::kSecondsColumn; column < program::kColumnCount; ++column) {
      const auto fault = table_.cellFault(row, column);
      QTableWidgetItem* item = steps_->item(row, column);
      item->setBackground(fault ? QBrush(kFaultyCell) : QBrush());
      item->setToolTip(fault ? Utf8(*fault) : QString());
    }
  filling_ = false;
}

// The fault of the cell the operator is in, else the first one.
void ProgramWindow::explainFault() {
  const auto faults = table_.faults();
  std::optional<std::string> here;
  if (steps_->currentRow() >= 0 && steps_->currentRow() < table_.rowCount())
    here = table_.cellFault(steps_->currentRow(), steps_->currentColumn());
  faultLine_->setStyleSheet(faults.empty() ? QStringLiteral("color: #106010")
                                           : QStringLiteral("color: #c00000"));
  if (faults.empty())
    faultLine_->setText(Utf8(texts::kProgramHasNoFault));
  else
    faultLine_->setText(Utf8(here ? *here : faults.front().message));
}

void ProgramWindow::showTotals() {
  const auto draft = table_.draft();
  totals_->setText(Utf8(texts::ProgramTotals(program::HoursMinutesSeconds(draft.totalSeconds()),
                                             program::VolumeText(draft.volumeMl()))));
}

void ProgramWindow::insertStep() {
  const int row = steps_->currentRow() < 0 ? table_.rowCount() : steps_->currentRow() + 1;
  table_.insertRow(row);
  fillTable();
  steps_->setCurrentCell(row, program::kSecondsColumn);
}

void ProgramWindow::deleteStep() {
  const int row = steps_->currentRow();
  if (row < 0) return;
  table_.removeRow(row);
  fillTable();
  if (table_.rowCount() > 0)
    steps_->setCurrentCell(std::min(row, table_.rowCount() - 1), program::kSecondsColumn);
}

void ProgramWindow::moveStepUp() { moveStep(-1); }

void ProgramWindow::moveStepDown() { moveStep(+1); }

void ProgramWindow::moveStep(int by) {
  const int row = steps_->currentRow();
  const int to = row + by;
  if (row < 0 || to < 0 || to >= table_.rowCount()) return;
  const int column = steps_->currentColumn();
  table_.moveRow(row, to);
  fillTable();
  steps_->setCurrentCell(to, column);
}

void ProgramWindow::pasteRows(const QString& text) {
  if (controls_.progress()) return;
  const int row = steps_->currentRow() < 0 ? table_.rowCount() : steps_->currentRow();
  const int column = std::max(steps_->currentColumn(), int(program::kSecondsColumn));
  const auto pasted = table_.paste(row, column, text.toStdString());
  fillTable();
  if (pasted.count() > 0) steps_->setCurrentCell(pasted.first, column);
}

}  // namespace pump::app
