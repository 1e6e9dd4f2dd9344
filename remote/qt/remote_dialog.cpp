#include "remote/qt/remote_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pump::remote::qt {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

RemoteDialog::RemoteDialog(const StoredRemoteSettings& stored, QWidget* parent) : QDialog(parent) {
  setObjectName("remoteDialog");
  setWindowTitle("远程监控");
  const RemoteSettings& settings = stored.settings;
  url_ = addLine("brokerUrl", Q(settings.brokerUrl));
  url_->setPlaceholderText("mqtt://host:1883 或 mqtts://host:8883（空：关闭）");
  user_ = addLine("user", Q(settings.user));
  password_ = addLine("password", Q(settings.password));
  password_->setEchoMode(QLineEdit::Password);
  remember_ = new QCheckBox("记住密码", this);
  remember_->setObjectName("rememberPassword");
  remember_->setChecked(stored.rememberPassword);
  caFile_ = addLine("caFile", Q(settings.caFile));
  pumpId_ = addLine("pumpId", Q(settings.pumpId));
  pumpId_->setPlaceholderText(Q(HostName()));
  prefix_ = addLine("topicPrefix", Q(settings.topicPrefix));
  allowControl_ = new QCheckBox("允许远程控制", this);
  allowControl_->setObjectName("allowRemoteControl");
  allowControl_->setChecked(settings.allowRemoteControl);
  problem_ = new QLabel(this);
  problem_->setObjectName("problem");
  problem_->setStyleSheet("color: #b00020");
  problem_->setWordWrap(true);

  layOut();

  connect(pumpId_, &QLineEdit::textChanged, this, &RemoteDialog::showPrefixDefault);
  showPrefixDefault();
  setMinimumWidth(460);
}

void RemoteDialog::layOut() {
  auto* browse = new QPushButton("浏览…", this);
  browse->setObjectName("browseCaFile");
  connect(browse, &QPushButton::clicked, this, &RemoteDialog::chooseCaFile);
  auto* caRow = new QHBoxLayout;
  caRow->addWidget(caFile_);
  caRow->addWidget(browse);
  auto* form = new QFormLayout;
  form->addRow("服务器地址", url_);
  form->addRow("用户名", user_);
  form->addRow("密码", password_);
  form->addRow("", remember_);
  form->addRow("CA 证书文件", caRow);
  form->addRow("泵编号", pumpId_);
  form->addRow("主题前缀", prefix_);
  form->addRow("", allowControl_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &RemoteDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &RemoteDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(problem_);
  layout->addWidget(buttons);
}

QLineEdit* RemoteDialog::addLine(const char* objectName, const QString& text) {
  auto* line = new QLineEdit(text, this);
  line->setObjectName(objectName);
  return line;
}

// The prefix left empty follows the pump id; show what it will be.
void RemoteDialog::showPrefixDefault() {
  RemoteSettings settings;
  settings.pumpId = pumpId_->text().trimmed().toStdString();
  prefix_->setPlaceholderText(Q(EffectiveTopicPrefix(settings)));
}

void RemoteDialog::chooseCaFile() {
  const QString file = QFileDialog::getOpenFileName(this, "CA 证书文件", caFile_->text(),
                                                    "证书 (*.crt *.pem);;所有文件 (*)");
  if (!file.isEmpty()) caFile_->setText(file);
}

StoredRemoteSettings RemoteDialog::chosen() const {
  StoredRemoteSettings stored;
  RemoteSettings& settings = stored.settings;
  settings.brokerUrl = url_->text().trimmed().toStdString();
  settings.user = user_->text().toStdString();
  settings.password = password_->text().toStdString();
  settings.caFile = caFile_->text().trimmed().toStdString();
  settings.pumpId = pumpId_->text().trimmed().toStdString();
  settings.topicPrefix = prefix_->text().trimmed().toStdString();
  settings.allowRemoteControl = allowControl_->isChecked();
  stored.rememberPassword = remember_->isChecked();
  return stored;
}

// Settings that cannot be used keep the dialog open and say why.
void RemoteDialog::accept() {
  if (const auto problem = SettingsProblem(chosen().settings)) {
    problem_->setText(Q(*problem));
    return;
  }
  QDialog::accept();
}

}  // namespace pump::remote::qt
