#include "remote/qt/remote_monitoring.h"

#include <QLabel>
#include <QRect>
#include <algorithm>
#include <cstdio>

#include "platform/qt/caption_label.h"
#include "remote/qt/remote_dialog.h"
#include "remote/qt/window_poster.h"

namespace pump::remote::qt {
namespace {

// Dark colours that read on the pale status panel, as the link's own do.
constexpr char kGood[] = "#006400";
constexpr char kBad[] = "#b00000";
constexpr char kNeutral[] = "#404040";
constexpr char kCommand[] = "#00308f";
// The link's pale panel, where the window has no link status to take it from.
const QColor kPanel(0xf4, 0xf6, 0xfb);
// Room beside the text for the glyphs' overhang.
constexpr int kInk = 4;
// Where a status line may grow to, kept on the label itself.
constexpr char kAreaProperty[] = "remoteStatusArea";

}  // namespace

RemoteMonitoring::RemoteMonitoring(session::PumpSession& session, QLabel* statusLine)
    : session_(session), statusLine_(statusLine) {
  // The feed keeps its listeners for good: this one forwards to whatever
  // station runs at the time.
  session_.events().subscribe([this](const session::SessionEvent& event) {
    if (station_) station_->onSessionEvent(event);
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
    session_.note(notice.ok ? EventKind::Command : EventKind::Refused, notice.logDetail);
  };
  station_ = std::make_unique<RemoteStation>(settings, *connection_, session_, std::move(hooks),
                                             session_.state());
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
    ShowRemoteStatus(*statusLine_, QString::fromStdString(text), QColor(colour));
  } else if (!text.empty()) {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

// The right-hand half of the link's pale status panel, in its font, with a
// margin so that the text ends inside the panel. The line is as wide as its
// text and paints its own background: the link's caption under it, which
// changes with nearly every reply while the pressure is over its limit, is
// then repainted without it.
QLabel* AddRemoteStatusLine(QWidget& surface) {
  auto* line = new pump::qt::CaptionLabel(&surface);
  line->setObjectName("remoteStatus");
  line->setAccessibleDescription("remoteStatus");
  line->setTextFormat(Qt::PlainText);
  line->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QRect area(380, 460, 318, 23);
  QColor panel = kPanel;
  if (const auto* link = surface.findChild<QLabel*>("linkStatus")) {
    area = QRect(link->geometry().center().x(), link->y(),
                 link->geometry().right() - link->geometry().center().x() - 6, link->height());
    line->setFont(link->font());
    panel = link->palette().color(QPalette::Window);
  }
  line->setProperty(kAreaProperty, area);
  line->setGeometry(area);
  line->setSolidBackground(panel);
  line->raise();
  ShowRemoteStatus(*line, QString(), QColor(kNeutral));
  return line;
}

void ShowRemoteStatus(QLabel& line, const QString& text, const QColor& ink) {
  QPalette colours = line.palette();
  colours.setColor(QPalette::WindowText, ink);
  line.setPalette(colours);
  line.setText(text);
  const QRect area = line.property(kAreaProperty).toRect();
  if (!area.isEmpty()) {
    const int width = std::min(area.width(), line.fontMetrics().horizontalAdvance(text) + kInk);
    line.setGeometry(area.right() + 1 - width, area.y(), width, area.height());
  }
  line.setVisible(!text.isEmpty());
}

}  // namespace pump::remote::qt
