// "远程监控…": where the console's broker is and what the broker may do.
#pragma once

#include <QDialog>

#include "remote/qt/remote_settings_store.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace pump::remote::qt {

class RemoteDialog : public QDialog {
 public:
  RemoteDialog(const StoredRemoteSettings& stored, QWidget* parent = nullptr);

  // What the operator set; read after the dialog was accepted.
  StoredRemoteSettings chosen() const;

  void accept() override;

 private:
  void layOut();
  QLineEdit* addLine(const char* objectName, const QString& text);
  void showPrefixDefault();
  void chooseCaFile();

  QLineEdit* url_;
  QLineEdit* user_;
  QLineEdit* password_;
  QCheckBox* remember_;
  QLineEdit* caFile_;
  QLineEdit* pumpId_;
  QLineEdit* prefix_;
  QCheckBox* allowControl_;
  QLabel* problem_;
};

}  // namespace pump::remote::qt
