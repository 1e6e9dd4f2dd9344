#include "app/program_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>
#include <utility>

#include "app/program_preview.h"
#include "texts/operator_texts.h"

namespace pump::app {
namespace {

using program::ProgramTable;
using program::RunProgress;

const QColor kRunningStep(190, 225, 255);
// As in a spreadsheet: typing, F2 or a double click edits the cell.
const QAbstractItemView::EditTriggers kEditTriggers = QAbstractItemView::DoubleClicked |
                                                      QAbstractItemView::EditKeyPressed |
                                                      QAbstractItemView::AnyKeyPressed;

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

const char* const kColumnTitles[] = {texts::kStepColumn, texts::kSecondsColumn,
                                     texts::kFlowStartColumn, texts::kFlowEndColumn,
                                     texts::kPressureLimitColumn};
const char* const kColumnUnits[] = {"", "s", "ml/min", "ml/min", "MPa"};

}  // namespace

ProgramWindow::ProgramWindow(program::ProgramControls& controls, QWidget* parent)
    : QWidget(parent, Qt::Window),
      controls_(controls),
      table_(texts::kNewProgramName),
      name_(new QLineEdit(Utf8(texts::kNewProgramName))),
      steps_(new QTableWidget(0, program::kColumnCount)),
      faultLine_(new QLabel),
      totals_(new QLabel),
      preview_(new ProgramPreview) {
  setUpTable();
  layOut();
  connectEdits();
  connect(&runTimer_, &QTimer::timeout, this, &ProgramWindow::followRun);
  runTimer_.start(250);
  table_.insertRow(0);
  table_.markSaved();
  fillTable();
}

void ProgramWindow::setUpTable() {
  for (int column = 0; column < program::kColumnCount; ++column) {
    auto* header = new QTableWidgetItem(QString::fromUtf8(kColumnTitles[column]));
    header->setToolTip(QString::fromUtf8(kColumnUnits[column]));
    steps_->setHorizontalHeaderItem(column, header);
  }
  steps_->verticalHeader()->hide();
  steps_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  steps_->setSelectionMode(QAbstractItemView::SingleSelection);
}

void ProgramWindow::layOut() {
  name_->setObjectName(QStringLiteral("name"));
  faultLine_->setWordWrap(true);
  preview_->setMinimumHeight(220);
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(new QLabel(Utf8(texts::kProgramNameLabel)));
  nameRow->addWidget(name_, 1);
  auto* hint = new QLabel(Utf8(texts::kProgramUnitsHint));
  hint->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(nameRow);
  layout->addWidget(hint);
  layout->addWidget(steps_, 1);
  layout->addWidget(makeRowButtons());
  layout->addWidget(faultLine_);
  layout->addWidget(totals_);
  layout->addWidget(preview_, 1);
  layout->addWidget(makeRunButtons());
  resize(640, 720);
}

void ProgramWindow::connectEdits() {
  connect(steps_, &QTableWidget::cellChanged, this, &ProgramWindow::cellEdited);
  connect(steps_, &QTableWidget::currentCellChanged, this, [this] { explainFault(); });
  connect(name_, &QLineEdit::textEdited, this, [this](const QString& name) {
    table_.setName(name.toStdString());
    tableChanged();
  });
  // Not while a cell is being edited: the editor then takes Ctrl+V itself.
  auto* paste = new QShortcut(QKeySequence::Paste, steps_, nullptr, nullptr, Qt::WidgetShortcut);
  connect(paste, &QShortcut::activated, this,
          [this] { pasteRows(QApplication::clipboard()->text()); });
}

QPushButton* ProgramWindow::addButton(const std::string& name, const char* text,
                                      void (ProgramWindow::*action)()) {
  auto* button = new QPushButton(QString::fromUtf8(text));
  button->setObjectName(QString::fromStdString(name));
  connect(button, &QPushButton::clicked, this, action);
  buttons_[name] = button;
  return button;
}

QWidget* ProgramWindow::makeRowButtons() {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(addButton("insert", texts::kInsertStepButton, &ProgramWindow::insertStep));
  layout->addWidget(addButton("delete", texts::kDeleteStepButton, &ProgramWindow::deleteStep));
  layout->addWidget(addButton("up", texts::kMoveStepUpButton, &ProgramWindow::moveStepUp));
  layout->addWidget(addButton("down", texts::kMoveStepDownButton, &ProgramWindow::moveStepDown));
  layout->addStretch(1);
  return row;
}

QWidget* ProgramWindow::makeRunButtons() {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(addButton("open", texts::kOpenProgramButton, &ProgramWindow::askOpen));
  layout->addWidget(addButton("save", texts::kSaveProgramButton, &ProgramWindow::askSave));
  layout->addStretch(1);
  layout->addWidget(addButton("start", texts::kStartProgramButton, &ProgramWindow::start));
  layout->addWidget(addButton("pause", texts::kPauseProgramButton, &ProgramWindow::pause));
  layout->addWidget(addButton("continue", texts::kContinueProgramButton, &ProgramWindow::resume));
  layout->addWidget(addButton("abort", texts::kAbortProgramButton, &ProgramWindow::abort));
  return row;
}

void ProgramWindow::followRun() {
  const auto run = controls_.progress();
  showRunningProgram(controls_.runningProgram());
  showRunningStep(run);
  enableButtons(run);
}

// The step numbers of a run mean something only against the program that
// runs: one started from the broker or the command line takes the table's
// place (it cannot be edited while it runs) until it ends.
void ProgramWindow::showRunningProgram(const std::optional<program::Program>& running) {
  if (!running) {
    if (displaced_) showTable(*std::exchange(displaced_, std::nullopt));
    return;
  }
  if (table_.program() == running) return;
  if (!displaced_) displaced_ = table_;
  showTable(ProgramTable::FromProgram(*running));
}

void ProgramWindow::showTable(ProgramTable table) {
  table_ = std::move(table);
  name_->setText(Utf8(table_.name()));
  fillTable();
}

bool ProgramWindow::mayDiscardEdits() {
  const ProgramTable& edited = displaced_ ? *displaced_ : table_;
  return !edited.modified() || dialogs_.askYesNo(texts::kDiscardProgramEdits, texts::kProgramTitle);
}

void ProgramWindow::closeEvent(QCloseEvent* event) {
  if (mayDiscardEdits())
    event->accept();
  else
    event->ignore();
}

void ProgramWindow::showRunningStep(const std::optional<RunProgress>& run) {
  const int step = run && run->step <= table_.rowCount() ? run->step : 0;
  if (step == shownStep_) return;
  filling_ = true;
  for (int row : {shownStep_ - 1, step - 1}) {
    if (row < 0) continue;
    for (int column = 0; column < program::kColumnCount; ++column) {
      QTableWidgetItem* item = steps_->item(row, column);
      const bool faulty = table_.cellFault(row, column).has_value();
      item->setBackground(row == step - 1 ? QBrush(kRunningStep)
                          : faulty        ? QBrush(kFaultyCell)
                                          : QBrush());
    }
  }
  filling_ = false;
  shownStep_ = step;
  if (step > 0) steps_->setCurrentCell(step - 1, std::max(steps_->currentColumn(), 0));
}

void ProgramWindow::enableButtons(const std::optional<RunProgress>& run) {
  const bool idle = !run;
  buttons_["start"]->setEnabled(idle && table_.program().has_value());
  buttons_["pause"]->setEnabled(run && run->state == RunProgress::State::Running);
  buttons_["continue"]->setEnabled(run && run->state == RunProgress::State::Paused);
  buttons_["abort"]->setEnabled(!idle);
  for (const char* editing : {"open", "insert", "delete", "up", "down"})
    buttons_[editing]->setEnabled(idle);
  name_->setReadOnly(!idle);
  steps_->setEditTriggers(idle ? kEditTriggers : QAbstractItemView::NoEditTriggers);
}

void ProgramWindow::start() {
  if (const auto program = table_.program())
    tellRefusal(controls_.start(*program), texts::kProgramNotStarted);
}

void ProgramWindow::pause() { tellRefusal(controls_.pause(), ""); }

void ProgramWindow::resume() { tellRefusal(controls_.resume(), ""); }

void ProgramWindow::abort() { tellRefusal(controls_.abort(), ""); }

void ProgramWindow::tellRefusal(const std::optional<std::string>& refusal, const char* before) {
  followRun();
  if (refusal) dialogs_.showMessage(before + *refusal, texts::kProgramTitle);
}

}  // namespace pump::app
