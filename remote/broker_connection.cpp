#include "remote/broker_connection.h"

namespace pump::remote {

const char* BrokerStateText(BrokerState state) {
  switch (state) {
    case BrokerState::Connected:
      return "远程: 已连接";
    case BrokerState::Connecting:
      return "远程: 正在连接…";
    case BrokerState::Disconnected:
      return "远程: 未连接";
  }
  return "远程: 未连接";
}

}  // namespace pump::remote
