// Remote monitoring in the running console: the broker connection and the
// remote station for the settings in force, restarted when the operator
// changes them, and their state told to whoever shows it (a status line on
// the window, or, without a window, the standard error for the journal).
// Qt's core only: the network thread's tasks come to this thread through its
// event loop.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "platform/qt/qt_timer.h"
#include "remote/broker_connection.h"
#include "remote/remote_settings.h"
#include "remote/remote_station.h"
#include "session/pump_session.h"

namespace pump::remote::qt {

// Shows a status text in a colour ("#rrggbb"); an empty text: nothing to say.
using RemoteStatusShown = std::function<void(const std::string& text, const char* colour)>;
// Tells the operator something that must be read once, as a box would.
using RemoteNoticeShown = std::function<void(const std::string& text, const std::string& title)>;

// Hands a task from the network thread to this one.
using PostToThisThread = std::function<void(std::function<void()>)>;
// Makes the connection to the broker the settings name; null if it cannot.
using BrokerConnector =
    std::function<std::unique_ptr<BrokerConnection>(const RemoteSettings&, PostToThisThread post)>;
// The connection on libmosquitto, linked into the program that calls it. The
// window passes a connector of its own instead, so that it loads libmosquitto
// and OpenSSL only when a broker is set.
std::unique_ptr<BrokerConnection> ConnectWithMosquitto(const RemoteSettings& settings,
                                                       PostToThisThread post);

class RemoteMonitoring : public QObject {
 public:
  // `show` shows the broker's state and each remote command, `notify` what
  // the operator must act on (another console under the pump id); without
  // them they go to the standard error.
  explicit RemoteMonitoring(session::PumpSession& session, RemoteStatusShown show = {},
                            RemoteNoticeShown notify = {},
                            BrokerConnector connect = ConnectWithMosquitto);
  ~RemoteMonitoring() override;

  // Stops what runs and starts again with these settings; an empty broker
  // URL leaves remote monitoring off.
  void apply(const RemoteSettings& settings);
  // Leaves the broker (its status retained as offline).
  void stop();
  // The settings applied last (perhaps from the command line).
  const RemoteSettings& settings() const { return settings_; }

  const RemoteStation* station() const { return station_.get(); }

 private:
  void show(const std::string& text, const char* colour);

  session::PumpSession& session_;
  RemoteStatusShown show_;
  RemoteNoticeShown notify_;
  BrokerConnector connect_;
  RemoteSettings settings_;
  std::unique_ptr<BrokerConnection> connection_;
  std::unique_ptr<RemoteStation> station_;
  std::unique_ptr<pump::qt::QtTimer> groupTimer_;  // a group part's start and interlock
};

}  // namespace pump::remote::qt
