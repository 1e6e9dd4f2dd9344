// The broker module: the connection on libmosquitto, with OpenSSL beneath
// it, opened by the window program when remote monitoring is first switched on.
#include <type_traits>

#include "app/broker_module.h"
#include "remote/mosquitto_connection.h"

extern "C" pump::remote::BrokerConnection* pump_console_new_broker_connection(
    const pump::remote::RemoteSettings& settings, pump::remote::qt::PostToThisThread post) {
  return new pump::remote::MosquittoConnection(settings, std::move(post));
}

static_assert(
    std::is_same_v<decltype(&pump_console_new_broker_connection), pump::app::NewBrokerConnection>,
    "the entry the window program looks up");
