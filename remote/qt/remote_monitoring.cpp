#include "remote/qt/remote_monitoring.h"

#include <QLabel>
#include <cstdio>

#include "remote/qt/remote_dialog.h"
#include "remote/qt/window_poster.h"

namespace pump::remote::qt {

RemoteMonitoring::RemoteMonitoring(console::MainWindow& window, QLabel* statusLine)
    : window_(window), statusLine_(statusLine), control_(window) {
  // The feed keeps its listeners for good: this one forwards to whatever
  // station runs at the time.
  window_.events().subscribe([this](const console::ConsoleEvent& event) {
    if (station_) station_->onConsoleEvent(event);
  });
}

RemoteMonitoring::~RemoteMonitoring() { stop(); }

void RemoteMonitoring::apply(const RemoteSettings& settings) {
  stop();
  settings_ = settings;
  if (settings.brokerUrl.empty()) {
    show("");
    return;
  }
  connection_ = std::make_unique<MosquittoConnection>(settings, PostTo(this));
  RemoteStationHooks hooks;
  hooks.brokerStatusChanged = [this](const BrokerStatus& status) {
    std::string text = std::string("● ") + BrokerStateText(status.state);
    if (status.state == BrokerState::Disconnected && !status.detail.empty()) {
      text += " (" + status.detail + ")";
    }
    show(text);
  };
  hooks.commandHandled = [this](const RemoteCommandNotice& notice) {
    show(notice.statusText + (notice.requestId.empty() ? "" : "  [" + notice.requestId + "]"));
  };
  station_ = std::make_unique<RemoteStation>(settings, *connection_, control_, std::move(hooks),
                                             window_.display.readouts());
  station_->start();
}

void RemoteMonitoring::stop() {
  if (station_) station_->stop();
  station_.reset();
  connection_.reset();
}

void RemoteMonitoring::openDialog(QWidget* parent, QSettings& store) {
  StoredRemoteSettings stored = LoadRemoteSettings(store);
  // What runs may have come from the command line: show that.
  stored.settings = settings_.brokerUrl.empty() ? stored.settings : settings_;
  RemoteDialog dialog(stored, parent);
  if (dialog.exec() != QDialog::Accepted) return;
  const StoredRemoteSettings chosen = dialog.chosen();
  SaveRemoteSettings(store, chosen);
  apply(chosen.settings);
}

void RemoteMonitoring::show(const std::string& text) {
  if (statusLine_) {
    statusLine_->setText(QString::fromStdString(text));
  } else if (!text.empty()) {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

QLabel* AddRemoteStatusLine(QWidget& surface) {
  auto* line = new QLabel(&surface);
  line->setObjectName("remoteStatus");
  line->setAccessibleDescription("remoteStatus");
  line->setTextFormat(Qt::PlainText);
  line->setGeometry(380, 464, 325, 22);
  line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QFont font = line->font();
  font.setPixelSize(14);
  line->setFont(font);
  line->setStyleSheet("color: #ffffff");
  return line;
}

}  // namespace pump::remote::qt
