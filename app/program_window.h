// The window 运行程序: a program's steps as an editable table, checked as
// they are typed, its plan as a chart, its totals, its files, and the buttons
// that start, pause, continue and abort it. The table's logic is
// program::ProgramTable; the run is whoever implements ProgramControls.
#pragma once

#include <QColor>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <map>
#include <string>

#include "platform/qt/qt_dialogs.h"
#include "program/program_controls.h"
#include "program/program_table.h"

class QCloseEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace pump::app {

class ProgramPreview;

// A cell whose text is at fault.
inline const QColor kFaultyCell(255, 190, 190);

// ~/Documents/pump-programs: where programs are opened from and saved to.
QString PumpProgramsFolder();

class ProgramWindow : public QWidget {
 public:
  explicit ProgramWindow(program::ProgramControls& controls, QWidget* parent = nullptr);

  // What 打开… and 保存… do once a file is chosen. Each says in a box what
  // went wrong, and answers whether it worked.
  bool openFile(const QString& path);
  bool saveTo(const QString& path);
  // Rows copied from a spreadsheet, written from the current cell.
  void pasteRows(const QString& text);
  // Follows the run: the program that runs, its current step, the buttons.
  // A timer calls it too.
  void followRun();

  const program::ProgramTable& table() const { return table_; }
  QTableWidget& steps() { return *steps_; }
  ProgramPreview& preview() { return *preview_; }
  QLabel& faultLine() { return *faultLine_; }
  QLabel& totals() { return *totals_; }
  QPushButton& button(const std::string& name) { return *buttons_.at(name); }

 protected:
  // Asks first when the table holds edits not saved.
  void closeEvent(QCloseEvent* event) override;

 private:
  void setUpTable();
  void layOut();
  void connectEdits();
  QWidget* makeRowButtons();
  QWidget* makeRunButtons();
  QPushButton* addButton(const std::string& name, const char* text, void (ProgramWindow::*)());
  void fillTable();
  void cellEdited(int row, int column);
  void tableChanged();
  void markCells();
  void explainFault();
  void showTotals();
  void showRunningProgram(const std::optional<program::Program>& running);
  void showTable(program::ProgramTable table);
  bool mayDiscardEdits();
  void showRunningStep(const std::optional<program::RunProgress>& run);
  void enableButtons(const std::optional<program::RunProgress>& run);
  void insertStep();
  void deleteStep();
  void moveStepUp();
  void moveStepDown();
  void moveStep(int by);
  void askOpen();
  void askSave();
  void start();
  void pause();
  void resume();
  void abort();
  void tellRefusal(const std::optional<std::string>& refusal, const char* before);

  program::ProgramControls& controls_;
  program::ProgramTable table_;
  // The operator's table while a program started elsewhere is shown in its
  // place; it comes back, edits and all, when that program ends.
  std::optional<program::ProgramTable> displaced_;
  qt::QtDialogs dialogs_{this};
  QLineEdit* name_;
  QTableWidget* steps_;
  QLabel* faultLine_;
  QLabel* totals_;
  ProgramPreview* preview_;
  std::map<std::string, QPushButton*> buttons_;
  QTimer runTimer_;
  bool filling_ = false;
  int shownStep_ = 0;  // the row marked as running, 1-based; 0 for none
};

}  // namespace pump::app
