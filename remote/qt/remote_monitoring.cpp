#include "remote/qt/remote_monitoring.h"

#include <QLabel>
#include <QRect>
#include <cstdio>

#include "remote/qt/remote_dialog.h"
#include "remote/qt/window_poster.h"

namespace pump::remote::qt {
namespace {

// Dark colours that read on the pale status panel, as the link's own do.
constexpr char kGood[] = "#006400";
constexpr char kBad[] = "#b00000";
constexpr char kNeutral[] = "#404040";
constexpr char kCommand[] = "#00308f";

}  // namespace

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
    show("", kNeutral);
    return;
  }
  connection_ = std::make_unique<MosquittoConnection>(settings, PostTo(this));
  RemoteStationHooks hooks;
  hooks.brokerStatusChanged = [this](const BrokerStatus& status) {
    std::string text = std::string("● ") + BrokerStateText(status.state);
    if (status.state == BrokerState::Disconnected && !status.detail.empty()) {
      text += " (" + status.detail + ")";
    }
    show(text, status.state == BrokerState::Connected      ? kGood
               : status.state == BrokerState::Disconnected ? kBad
                                                           : kNeutral);
  };
  hooks.commandHandled = [this](const RemoteCommandNotice& notice) {
    show(notice.statusText + (notice.requestId.empty() ? "" : "  [" + notice.requestId + "]"),
         notice.ok ? kCommand : kBad);
    // A row in the run log, mirrored on the broker's event topic.
    window_.noteRemoteCommand(notice.ok, notice.logDetail);
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

void RemoteMonitoring::show(const std::string& text, const char* colour) {
  if (statusLine_) {
    statusLine_->setStyleSheet(QStringLiteral("color: %1").arg(colour));
    statusLine_->setText(QString::fromStdString(text));
  } else if (!text.empty()) {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

// The right-hand part of the link's pale status panel, in its font, with a
// margin so that the text ends inside the panel.
QLabel* AddRemoteStatusLine(QWidget& surface) {
  auto* line = new QLabel(&surface);
  line->setObjectName("remoteStatus");
  line->setAccessibleDescription("remoteStatus");
  line->setTextFormat(Qt::PlainText);
  line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QRect place(380, 460, 318, 23);
  if (const auto* link = surface.findChild<QLabel*>("linkStatus")) {
    place = QRect(link->geometry().center().x(), link->y(),
                  link->geometry().right() - link->geometry().center().x() - 6, link->height());
    line->setFont(link->font());
  }
  line->setGeometry(place);
  line->setStyleSheet(QStringLiteral("color: %1").arg(kNeutral));
  line->raise();
  return line;
}

}  // namespace pump::remote::qt
