#include "app/run_log_boxes.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include "app/design_to_qt.h"
#include "platform/posix/append_file.h"
#include "texts/operator_texts.h"

namespace pump::app {

void ShowRunLogBox(QWidget* parent, const std::string& text) {
  auto* box = new QMessageBox(QMessageBox::Warning, Text(texts::kRunLogTitle), Text(text),
                              QMessageBox::Ok, parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

RunLogTeller TellInBoxes(QWidget& window) {
  return [parent = QPointer<QWidget>(&window)](const std::string& boxText, const std::string&) {
    if (!boxText.empty()) ShowRunLogBox(parent.data(), boxText);
  };
}

void OpenRunLogFolder(QWidget* parent, const std::string& folder) {
  const int error = posix::MakeFolders(folder);
  const QUrl url = QUrl::fromLocalFile(QString::fromStdString(folder));
  if (error != 0 || !QDesktopServices::openUrl(url)) {
    ShowRunLogBox(parent, texts::kLogFolderNotOpened + folder);
  }
}

}  // namespace pump::app
