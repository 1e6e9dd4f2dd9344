// Remote monitoring's broker connection as the window makes it: from the
// broker module, opened when a broker is first set, so that a console with
// remote monitoring off never loads libmosquitto or OpenSSL.
#pragma once

#include <memory>

#include "remote/qt/remote_monitoring.h"

namespace pump::app {

inline constexpr char kBrokerModule[] = "pump-console-mqtt.so";
inline constexpr char kNewBrokerConnectionSymbol[] = "pump_console_new_broker_connection";
using NewBrokerConnection = remote::BrokerConnection* (*)(const remote::RemoteSettings& settings,
                                                          remote::qt::PostToThisThread post);

// A remote::qt::BrokerConnector: null if the module cannot be opened.
std::unique_ptr<remote::BrokerConnection> ConnectThroughModule(
    const remote::RemoteSettings& settings, remote::qt::PostToThisThread post);

}  // namespace pump::app
