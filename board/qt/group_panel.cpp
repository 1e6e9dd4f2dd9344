#include "board/qt/group_panel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "board/visible_text.h"
#include "program/program_file.h"
#include "texts/operator_texts.h"

namespace pump::board::qt {

namespace {

QString Shown(const std::string& text) { return QString::fromStdString(VisibleText(text)); }

// The step and time left of the group, as its first member with a part tells.
std::pair<QString, QString> Progress(const GroupRun& run) {
  for (const GroupMemberRun& member : run.members) {
    if (!member.part) continue;
    const QString step = QStringLiteral("%1/%2").arg(member.part->step).arg(member.part->steps);
    const QString left =
        member.part->secondsLeft
            ? QString::fromStdString(program::HoursMinutesSeconds(*member.part->secondsLeft))
            : QString();
    return {step, left};
  }
  return {QString(), QString()};
}

}  // namespace

GroupPanel::GroupPanel(Actions actions, QWidget* parent)
    : QWidget(parent), actions_(std::move(actions)) {
  setObjectName("groupPanel");
  table_ = new QTableWidget(0, static_cast<int>(std::size(texts::kGroupPanelColumns)));
  table_->setObjectName("groupTable");
  QStringList headers;
  for (const char* column : texts::kGroupPanelColumns) headers << column;
  table_->setHorizontalHeaderLabels(headers);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  auto* buttons = new QVBoxLayout;
  const std::pair<const char*, std::function<void(const std::string&)> Actions::*> kButtons[] = {
      {texts::kGroupPause, &Actions::pause},
      {texts::kGroupContinue, &Actions::resume},
      {texts::kGroupAbort, &Actions::abort}};
  for (const auto& [text, action] : kButtons) {
    auto* button = new QPushButton(text);
    connect(button, &QPushButton::clicked, this, [this, action = action] {
      const std::string group = chosenGroup();
      if (!group.empty() && actions_.*action) (actions_.*action)(group);
    });
    buttons->addWidget(button);
  }
  buttons->addStretch();
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(table_, 1);
  layout->addLayout(buttons);
}

std::string GroupPanel::chosenGroup() const {
  const auto rows = table_->selectionModel()->selectedRows();
  if (rows.isEmpty()) return {};
  return table_->item(rows.front().row(), 0)->data(Qt::UserRole).toString().toStdString();
}

void GroupPanel::refresh(const GroupRuns& groups) {
  if (groups.changes() == changesShown_) return;
  changesShown_ = groups.changes();
  const std::string chosen = chosenGroup();
  const auto& runs = groups.runs();
  table_->setRowCount(static_cast<int>(runs.size()));
  for (int r = 0; r < static_cast<int>(runs.size()); ++r) {
    const GroupRun& run = runs[runs.size() - 1 - r];  // the newest first
    QStringList members;
    for (const GroupMemberRun& member : run.members) members << Shown(member.pumpId);
    const auto [step, left] = Progress(run);
    const QString cells[] = {Shown(run.program.name),   members.join(" "), step, left,
                             GroupStateText(run.state), Shown(run.cause)};
    for (int c = 0; c < static_cast<int>(std::size(cells)); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c == 0) item->setData(Qt::UserRole, QString::fromStdString(run.id));
      table_->setItem(r, c, item);
    }
    if (run.id == chosen) table_->selectRow(r);
  }
  table_->resizeColumnsToContents();
}

}  // namespace pump::board::qt
