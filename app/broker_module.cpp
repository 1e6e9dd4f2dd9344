#include "app/broker_module.h"

#include "app/module_loader.h"

namespace pump::app {

std::unique_ptr<remote::BrokerConnection> ConnectThroughModule(
    const remote::RemoteSettings& settings, remote::qt::PostToThisThread post) {
  static const auto make = reinterpret_cast<NewBrokerConnection>(
      ModuleSymbol(kBrokerModule, kNewBrokerConnectionSymbol));
  if (!make) return nullptr;
  return std::unique_ptr<remote::BrokerConnection>(make(settings, std::move(post)));
}

}  // namespace pump::app
