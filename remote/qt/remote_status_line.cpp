#include "remote/qt/remote_status_line.h"

#include <QLabel>
#include <QPointer>
#include <QRect>
#include <algorithm>

#include "platform/qt/caption_label.h"
#include "remote/qt/remote_dialog.h"

namespace pump::remote::qt {
namespace {

constexpr char kNeutral[] = "#404040";
// The link's pale panel, where the window has no link status to take it from.
const QColor kPanel(0xf4, 0xf6, 0xfb);
// Room beside the text for the glyphs' overhang.
constexpr int kInk = 4;
// Where a status line may grow to, kept on the label itself.
constexpr char kAreaProperty[] = "remoteStatusArea";

}  // namespace

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

RemoteStatusShown ShowOnStatusLine(QLabel& line) {
  return [shown = QPointer<QLabel>(&line)](const std::string& text, const char* colour) {
    if (shown) ShowRemoteStatus(*shown, QString::fromStdString(text), QColor(colour));
  };
}

void OpenRemoteDialog(RemoteMonitoring& monitoring, QWidget* parent, QSettings& store) {
  StoredRemoteSettings stored = LoadRemoteSettings(store);
  // What runs may have come from the command line: show that.
  if (!monitoring.settings().brokerUrl.empty()) stored.settings = monitoring.settings();
  RemoteDialog dialog(stored, parent);
  if (dialog.exec() != QDialog::Accepted) return;
  const StoredRemoteSettings chosen = dialog.chosen();
  SaveRemoteSettings(store, chosen);
  monitoring.apply(chosen.settings);
}

}  // namespace pump::remote::qt
