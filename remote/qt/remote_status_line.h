// Remote monitoring on the main window: its status line under the chart, and
// the "远程监控…" dialog that changes the settings in force.
#pragma once

#include <QSettings>

#include "remote/qt/remote_monitoring.h"

class QColor;
class QLabel;
class QString;
class QWidget;

namespace pump::remote::qt {

// Puts a status line for remote monitoring into the band under the chart,
// beside where the link's state is shown; hidden while it has nothing to say.
QLabel* AddRemoteStatusLine(QWidget& surface);
// Shows `text` in `ink` on a line made by AddRemoteStatusLine, the line
// ending where its area ends and as wide as the text.
void ShowRemoteStatus(QLabel& line, const QString& text, const QColor& ink);
// Shows remote monitoring's status on that line for as long as it lives.
RemoteStatusShown ShowOnStatusLine(QLabel& line);

// The "远程监控…" dialog: on OK the settings are stored and applied.
void OpenRemoteDialog(RemoteMonitoring& monitoring, QWidget* parent, QSettings& store);

}  // namespace pump::remote::qt
