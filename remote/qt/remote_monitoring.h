// Remote monitoring in the running console: the broker connection and the
// remote station for the settings in force, restarted when the operator
// changes them, and their state shown in a status line (or, without a
// window, written to the standard error for the journal).
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "remote/mosquitto_connection.h"
#include "remote/qt/remote_settings_store.h"
#include "remote/remote_station.h"
#include "session/pump_session.h"

class QColor;
class QLabel;
class QString;
class QWidget;

namespace pump::remote::qt {

class RemoteMonitoring : public QObject {
 public:
  // `statusLine` shows the broker's state and each remote command; without
  // one they go to the standard error.
  RemoteMonitoring(session::PumpSession& session, QLabel* statusLine = nullptr);
  ~RemoteMonitoring() override;

  // Stops what runs and starts again with these settings; an empty broker
  // URL leaves remote monitoring off.
  void apply(const RemoteSettings& settings);
  // Leaves the broker (its status retained as offline).
  void stop();
  // The "远程监控…" dialog: on OK the settings are stored and applied.
  void openDialog(QWidget* parent, QSettings& store);

  const RemoteStation* station() const { return station_.get(); }

 private:
  void show(const std::string& text, const char* colour);

  session::PumpSession& session_;
  QPointer<QLabel> statusLine_;
  RemoteSettings settings_;
  std::unique_ptr<MosquittoConnection> connection_;
  std::unique_ptr<RemoteStation> station_;
};

// Puts a status line for remote monitoring into the band under the chart,
// beside where the link's state is shown; hidden while it has nothing to say.
QLabel* AddRemoteStatusLine(QWidget& surface);
// Shows `text` in `ink` on a line made by AddRemoteStatusLine, the line
// ending where its area ends and as wide as the text.
void ShowRemoteStatus(QLabel& line, const QString& text, const QColor& ink);

}  // namespace pump::remote::qt
