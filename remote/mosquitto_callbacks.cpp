// What libmosquitto calls back on the network thread: the broker's answers
// to connect, subscribe and publish, a dropped connection and messages in.
#include <mosquitto.h>

#include "remote/mosquitto_connection.h"

namespace pump::remote {

void MosquittoConnection::OnConnect(mosquitto* client, void* self, int code) {
  auto& connection = *static_cast<MosquittoConnection*>(self);
  if (code != 0) {
    connection.dropReason_ = mosquitto_connack_string(code);
    return;
  }
  connection.acceptedThisTime_ = true;
  connection.connected_ = true;
  connection.pendingSubscriptions_ = 0;
  for (const auto& topic : connection.subscriptions_) {
    if (mosquitto_subscribe(client, nullptr, topic.c_str(), 1) == MOSQ_ERR_SUCCESS) {
      ++connection.pendingSubscriptions_;
    }
  }
  if (connection.pendingSubscriptions_ == 0) connection.report(BrokerState::Connected, {});
}

// Connected is reported once the broker has taken the subscriptions: from
// then on no command sent to us is missed.
void MosquittoConnection::OnSubscribe(mosquitto*, void* self, int, int, const int*) {
  auto& connection = *static_cast<MosquittoConnection*>(self);
  if (connection.pendingSubscriptions_ > 0 && --connection.pendingSubscriptions_ == 0) {
    connection.report(BrokerState::Connected, {});
  }
}

void MosquittoConnection::OnDisconnect(mosquitto*, void* self, int code) {
  auto& connection = *static_cast<MosquittoConnection*>(self);
  connection.connected_ = false;
  if (code != 0 && connection.dropReason_.empty()) connection.dropReason_ = "connection lost";
}

void MosquittoConnection::OnPublish(mosquitto* client, void* self, int id) {
  auto& connection = *static_cast<MosquittoConnection*>(self);
  if (id != 0 && id == connection.farewellId_) mosquitto_disconnect(client);
}

void MosquittoConnection::OnMessage(mosquitto*, void* self, const mosquitto_message* message) {
  auto& connection = *static_cast<MosquittoConnection*>(self);
  const auto* bytes = static_cast<const char*>(message->payload);
  connection.deliver(BrokerMessage{message->topic, std::string(bytes, bytes + message->payloadlen),
                                   message->qos, message->retain});
}

}  // namespace pump::remote
