// The broker connection on libmosquitto, for the programs that link it (the
// console without a window); apart from remote_monitoring.cpp, so that a
// program that passes a connector of its own does not link libmosquitto.
#include "remote/mosquitto_connection.h"
#include "remote/qt/remote_monitoring.h"

namespace pump::remote::qt {

std::unique_ptr<BrokerConnection> ConnectWithMosquitto(const RemoteSettings& settings,
                                                       PostToThisThread post) {
  return std::make_unique<MosquittoConnection>(settings, std::move(post));
}

}  // namespace pump::remote::qt
