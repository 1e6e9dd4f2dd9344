#include "platform/qt/qt_dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace pump::qt {
namespace {

// The callers break a prompt into lines with CR LF; Qt breaks at LF alone.
QString PromptText(const std::string& prompt) {
  return QString::fromStdString(prompt).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

}  // namespace

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

}  // namespace pump::qt
