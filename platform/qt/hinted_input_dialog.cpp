#include "platform/qt/hinted_input_dialog.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QVBoxLayout>

namespace pump::qt {
namespace {

QStringList ToStringList(const std::vector<std::string>& texts) {
  QStringList list;
  for (const auto& text : texts) list << QString::fromStdString(text);
  return list;
}

QLabel* PlainLabel(const QString& text, const QString& name, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

QString PromptText(const std::string& prompt) {
  return QString::fromStdString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

HintedInputDialog::HintedInputDialog(const HintedInputBox& box, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromStdString(box.title));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PlainLabel(PromptText(box.prompt), QStringLiteral("prompt"), this));
  auto* hints = PlainLabel(ToStringList(box.hintLines).join(QLatin1Char('\n')),
                           QStringLiteral("hints"), this);
  hints->setTextInteractionFlags(Qt::TextSelectableByMouse);
  hints->setContentsMargins(12, 0, 0, 4);  // indented: these are choices, not the question
  hints->setVisible(!box.hintLines.empty());
  layout->addWidget(hints);

  edit_ = new QLineEdit(QString::fromStdString(box.defaultAnswer), this);
  edit_->setObjectName(QStringLiteral("answer"));
  edit_->selectAll();  // typing replaces the default, as in the other input boxes
  completer_ = new QCompleter(ToStringList(box.completions), this);
  completer_->setCaseSensitivity(Qt::CaseInsensitive);
  completer_->setFilterMode(Qt::MatchContains);  // "usb" finds /dev/ttyUSB0
  edit_->setCompleter(completer_);
  edit_->installEventFilter(this);
  completer_->popup()->installEventFilter(this);
  layout->addWidget(edit_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  setMinimumWidth(320);
}

QString HintedInputDialog::answer() const { return edit_->text(); }

bool HintedInputDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (watched == edit_) return handleEditKey(key);
    if (watched == completer_->popup()) return handlePopupKey(key);
  }
  return QDialog::eventFilter(watched, event);
}

// The down arrow drops the whole list, whatever the field holds.
bool HintedInputDialog::handleEditKey(int key) {
  if (key != Qt::Key_Down || completer_->popup()->isVisible()) return false;
  completer_->setCompletionPrefix(QString());
  completer_->complete();
  return true;
}

// Enter with no completion chosen answers the box with what was typed,
// instead of only closing the list.
bool HintedInputDialog::handlePopupKey(int key) {
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
  if (completer_->popup()->currentIndex().isValid()) return false;
  completer_->popup()->hide();
  accept();
  return true;
}

}  // namespace pump::qt
