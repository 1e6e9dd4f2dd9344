#include "board/qt/group_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "board/qt/flow_preview.h"
#include "board/visible_text.h"
#include "program/program_file.h"
#include "texts/operator_texts.h"

namespace pump::board::qt {

namespace {

QString Shown(const std::string& text) { return QString::fromStdString(VisibleText(text)); }

}  // namespace

GroupDialog::GroupDialog(const std::vector<std::string>& pumps, Start start, QWidget* parent)
    : QDialog(parent), start_(std::move(start)) {
  setWindowTitle(texts::kGroupRunTitle);
  setObjectName("groupDialog");
  pumps_ = new QListWidget;
  pumps_->setObjectName("groupPumps");
  for (const std::string& id : pumps) {
    auto* item = new QListWidgetItem(Shown(id), pumps_);
    item->setData(Qt::UserRole, QString::fromStdString(id));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
  }
  pumps_->setMaximumWidth(160);
  name_ = new QLineEdit;
  name_->setObjectName("groupName");
  steps_ = new QTableWidget(0, 0);
  steps_->setObjectName("groupSteps");
  steps_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  preview_ = new FlowPreview;
  volumes_ = new QLabel;
  volumes_->setObjectName("groupVolumes");
  fault_ = new QLabel;
  fault_->setObjectName("groupFault");
  fault_->setStyleSheet("color: #c62828");
  fault_->setTextFormat(Qt::PlainText);

  auto* open = new QPushButton(texts::kGroupOpen);
  auto* add = new QPushButton(texts::kGroupAddStep);
  auto* remove = new QPushButton(texts::kGroupRemoveStep);
  auto* buttons = new QDialogButtonBox;
  buttons->addButton(texts::kGroupCancel, QDialogButtonBox::RejectRole);
  auto* go = buttons->addButton(texts::kGroupStart, QDialogButtonBox::AcceptRole);
  go->setObjectName("groupStart");
  connect(open, &QPushButton::clicked, this, &GroupDialog::open);
  connect(add, &QPushButton::clicked, this, [this] {
    const auto chosen = chosenPumps();
    std::vector<int> even(chosen.size(),
                          chosen.empty() ? 0 : 100 / static_cast<int>(chosen.size()));
    if (!even.empty()) even.front() += 100 - even.front() * static_cast<int>(even.size());
    addStep({60, 10, 10, even, even, 30});
  });
  connect(remove, &QPushButton::clicked, this, [this] {
    if (steps_->rowCount() > 0)
      steps_->removeRow(steps_->currentRow() < 0 ? steps_->rowCount() - 1 : steps_->currentRow());
    tableChanged();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(go, &QPushButton::clicked, this, &GroupDialog::start);
  connect(pumps_, &QListWidget::itemChanged, this, [this] {
    if (!filling_) pumpsChanged(chosenPumps());
  });
  connect(steps_, &QTableWidget::cellChanged, this, [this] { tableChanged(); });
  connect(name_, &QLineEdit::textChanged, this, [this] { tableChanged(); });

  auto* top = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(new QLabel(texts::kGroupPumps));
  left->addWidget(pumps_);
  top->addLayout(left);
  auto* right = new QVBoxLayout;
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(new QLabel(texts::kGroupName));
  nameRow->addWidget(name_);
  nameRow->addWidget(open);
  right->addLayout(nameRow);
  right->addWidget(steps_);
  auto* stepButtons = new QHBoxLayout;
  stepButtons->addWidget(add);
  stepButtons->addWidget(remove);
  stepButtons->addStretch();
  right->addLayout(stepButtons);
  right->addWidget(preview_);
  right->addWidget(volumes_);
  right->addWidget(fault_);
  top->addLayout(right, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  resize(820, 560);
  pumpsChanged({});
}

// The pumps checked: those already in the table in their order, then the new ones.
std::vector<std::string> GroupDialog::chosenPumps() const {
  std::vector<std::string> checked, chosen;
  for (int i = 0; i < pumps_->count(); ++i) {
    const QListWidgetItem* item = pumps_->item(i);
    if (item->checkState() == Qt::Checked)
      checked.push_back(item->data(Qt::UserRole).toString().toStdString());
  }
  for (const std::string& id : shownPumps_)
    if (std::count(checked.begin(), checked.end(), id)) chosen.push_back(id);
  for (const std::string& id : checked)
    if (!std::count(chosen.begin(), chosen.end(), id)) chosen.push_back(id);
  return chosen;
}

// The share columns follow the pumps chosen; what was typed for a pump stays with it.
void GroupDialog::pumpsChanged(const std::vector<std::string>& pumps) {
  const int oldShares = static_cast<int>(shownPumps_.size());
  std::vector<std::vector<QString>> rows;
  for (int r = 0; r < steps_->rowCount(); ++r) {
    std::vector<QString> row;
    for (int c = 0; c < steps_->columnCount(); ++c)
      row.push_back(steps_->item(r, c) ? steps_->item(r, c)->text() : QString());
    rows.push_back(row);
  }
  filling_ = true;
  QStringList headers{texts::kGroupSeconds, texts::kGroupTotalStart, texts::kGroupTotalEnd};
  for (const std::string& id : pumps)
    headers << Shown(id) + texts::kGroupShareStart << Shown(id) + texts::kGroupShareEnd;
  headers << texts::kGroupLimit;
  steps_->setColumnCount(static_cast<int>(headers.size()));
  steps_->setHorizontalHeaderLabels(headers);
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const auto& old = rows[r];
    const auto cell = [&](int c, const QString& text) {
      steps_->setItem(r, c, new QTableWidgetItem(text));
    };
    for (int c = 0; c < 3; ++c) cell(c, old[c]);
    for (std::size_t p = 0; p < pumps.size(); ++p) {
      const auto was = std::find(shownPumps_.begin(), shownPumps_.end(), pumps[p]);
      const int from =
          was == shownPumps_.end() ? -1 : 3 + 2 * static_cast<int>(was - shownPumps_.begin());
      cell(3 + 2 * static_cast<int>(p), from < 0 ? "0" : old[from]);
      cell(4 + 2 * static_cast<int>(p), from < 0 ? "0" : old[from + 1]);
    }
    cell(3 + 2 * static_cast<int>(pumps.size()), old[3 + 2 * oldShares]);
  }
  shownPumps_ = pumps;
  filling_ = false;
  tableChanged();
}

void GroupDialog::addStep(const group::GroupStep& step) {
  filling_ = true;
  const int r = steps_->rowCount();
  steps_->insertRow(r);
  const auto cell = [&](int c, const QString& text) {
    steps_->setItem(r, c, new QTableWidgetItem(text));
  };
  cell(0, QString::number(step.seconds));
  cell(1, QString::number(step.totalStartMlMin));
  cell(2, QString::number(step.totalEndMlMin));
  for (std::size_t p = 0; p < shownPumps_.size(); ++p) {
    cell(3 + 2 * static_cast<int>(p),
         QString::number(p < step.sharesStartPercent.size() ? step.sharesStartPercent[p] : 0));
    cell(4 + 2 * static_cast<int>(p),
         QString::number(p < step.sharesEndPercent.size() ? step.sharesEndPercent[p] : 0));
  }
  cell(3 + 2 * static_cast<int>(shownPumps_.size()),
       QString::number(step.pressureLimitTenths / 10.0, 'f', 1));
  filling_ = false;
  tableChanged();
}

void GroupDialog::fill(const group::GroupProgram& program, const std::string& file) {
  file_ = file;
  filling_ = true;
  name_->setText(QString::fromStdString(program.name));
  steps_->setRowCount(0);
  for (int i = 0; i < pumps_->count(); ++i) {
    QListWidgetItem* item = pumps_->item(i);
    const std::string id = item->data(Qt::UserRole).toString().toStdString();
    const bool in = std::count(program.pumpIds.begin(), program.pumpIds.end(), id) > 0;
    item->setCheckState(in ? Qt::Checked : Qt::Unchecked);
  }
  filling_ = false;
  pumpsChanged(program.pumpIds);  // the file's order, which its shares follow
  for (const group::GroupStep& step : program.steps) addStep(step);
}

std::optional<group::GroupProgram> GroupDialog::read() {
  group::GroupProgram program{name_->text().toStdString(), shownPumps_, {}};
  const int pumps = static_cast<int>(shownPumps_.size());
  for (int r = 0; r < steps_->rowCount(); ++r) {
    std::vector<double> numbers;
    for (int c = 0; c < steps_->columnCount(); ++c) {
      bool ok = false;
      const double value = steps_->item(r, c) ? steps_->item(r, c)->text().toDouble(&ok) : 0;
      if (!ok) {
        fault_->setText(QStringLiteral("步骤 %1，%2：%3")
                            .arg(r + 1)
                            .arg(steps_->horizontalHeaderItem(c)->text(), texts::kGroupCellWrong));
        return std::nullopt;
      }
      numbers.push_back(value);
    }
    group::GroupStep step{std::lround(numbers[0]),
                          int(std::lround(numbers[1])),
                          int(std::lround(numbers[2])),
                          {},
                          {},
                          int(std::lround(numbers[3 + 2 * pumps] * 10))};
    for (int p = 0; p < pumps; ++p) {
      step.sharesStartPercent.push_back(int(std::lround(numbers[3 + 2 * p])));
      step.sharesEndPercent.push_back(int(std::lround(numbers[4 + 2 * p])));
    }
    program.steps.push_back(step);
  }
  if (const auto fault = group::FirstGroupFault(program)) {
    fault_->setText(QString::fromStdString(fault->message));
    return std::nullopt;
  }
  fault_->clear();
  return program;
}

void GroupDialog::tableChanged() {
  if (filling_) return;
  const auto program = read();
  if (steps_->rowCount() == 0) fault_->clear();  // nothing typed yet: nothing to say
  preview_->plan(program);
  QStringList volumes;
  if (program)
    for (std::size_t i = 0; i < program->pumpIds.size(); ++i)
      volumes << Shown(texts::MemberVolume(program->pumpIds[i], program->part(i).volumeMl()));
  volumes_->setText(volumes.join("　"));
}

void GroupDialog::open() {
  const QString folder = QDir::home().filePath("Documents/pump-programs");
  const QString path = QFileDialog::getOpenFileName(
      this, texts::kGroupRunTitle, QDir(folder).exists() ? folder : QDir::homePath(),
      texts::kGroupFiles);
  if (path.isEmpty()) return;
  std::string bytes;
  const FileResult file =
      program::ReadProgramFileBytes(QFile::encodeName(path).toStdString(), &bytes);
  const auto read =
      file.ok ? group::ReadGroupProgram(bytes) : program::Fault{0, "", FailureForOperator(file)};
  if (const auto* fault = std::get_if<program::Fault>(&read)) {
    QMessageBox::warning(this, texts::kGroupNotStartedTitle,
                         path + "\n" + QString::fromStdString(fault->message));
    return;
  }
  fill(std::get<group::GroupProgram>(read), QFile::encodeName(path).toStdString());
}

void GroupDialog::start() {
  const auto program = read();
  if (!program) return;
  const std::string refusal = start_(*program, file_);
  if (refusal.empty()) return accept();
  QMessageBox box(QMessageBox::Warning, texts::kGroupNotStartedTitle,
                  QString::fromStdString(refusal), QMessageBox::Ok, this);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace pump::board::qt
