#include "platform/qt/qt_dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

#include "platform/qt/hinted_input_dialog.h"

namespace pump::qt {

void QtDialogs::showMessage(const std::string& prompt, const std::string& title) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(title), PromptText(prompt),
                  QMessageBox::Ok, parent_);
  box.setTextFormat(Qt::PlainText);
  box.exec();
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

std::string QtDialogs::askWithHints(const HintedInputBox& box) {
  HintedInputDialog dialog(box, parent_);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.answer().toStdString();
}

}  // namespace pump::qt
