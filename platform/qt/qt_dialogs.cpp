#include "platform/qt/qt_dialogs.h"

#include <QInputDialog>
#include <QMessageBox>
#include <memory>

#include "platform/qt/hinted_input_dialog.h"

namespace pump::qt {

namespace {

// OK button only, no icon, the prompt as plain text.
std::unique_ptr<QMessageBox> NewMessageBox(const std::string& prompt, const std::string& title,
                                           QWidget* parent) {
  auto box = std::make_unique<QMessageBox>(QMessageBox::NoIcon, QString::fromStdString(title),
                                           PromptText(prompt), QMessageBox::Ok, parent);
  box->setTextFormat(Qt::PlainText);
  return box;
}

}  // namespace

void QtDialogs::showMessage(const std::string& prompt, const std::string& title) {
  NewMessageBox(prompt, title, parent_)->exec();
}

// open() shows it window-modal with no event loop of its own; OK closes and
// deletes it.
void QtDialogs::showNotice(const std::string& prompt, const std::string& title) {
  openNotice(prompt, title);
}

QMessageBox* QtDialogs::openNotice(const std::string& prompt, const std::string& title) {
  QMessageBox* box = NewMessageBox(prompt, title, parent_).release();
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
  return box;
}

// The boxes the operator has closed are forgotten as new ones come.
int QtDialogs::showChangeableNotice(const std::string& prompt, const std::string& title) {
  std::erase_if(changeable_, [](const auto& entry) { return !entry.second; });
  changeable_[++lastNotice_] = openNotice(prompt, title);
  return lastNotice_;
}

bool QtDialogs::noticeShown(int notice) const {
  const auto found = changeable_.find(notice);
  return found != changeable_.end() && found->second && found->second->isVisible();
}

void QtDialogs::changeNotice(int notice, const std::string& prompt) {
  if (noticeShown(notice)) changeable_[notice]->setText(PromptText(prompt));
}

std::string QtDialogs::askText(const std::string& prompt, const std::string& title,
                               int defaultAnswer) {
  QInputDialog box(parent_);
  box.setInputMode(QInputDialog::TextInput);
  box.setWindowTitle(QString::fromStdString(title));
  box.setLabelText(PromptText(prompt));
  box.setTextValue(QString::number(defaultAnswer));
  if (box.exec() != QDialog::Accepted) return {};
  return box.textValue().toStdString();
}

bool QtDialogs::askYesNo(const std::string& prompt, const std::string& title) {
  QMessageBox box(QMessageBox::Question, QString::fromStdString(title), PromptText(prompt),
                  QMessageBox::Yes | QMessageBox::No, parent_);
  box.setTextFormat(Qt::PlainText);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::string QtDialogs::askWithHints(const HintedInputBox& box) {
  HintedInputDialog dialog(box, parent_);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.answer().toStdString();
}

}  // namespace pump::qt
