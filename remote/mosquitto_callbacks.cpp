// What libmosquitto calls back on the network thread: the broker's answers
// to connect, subscribe and publish, a dropped connection and messages in.
#include <mosquitto.h>
#include <mqtt_protocol.h>

#include <algorithm>
#include <cerrno>

#include "remote/mosquitto_connection.h"

namespace pump::remote {

void MosquittoConnection::OnConnect(mosquitto*, void* self, int code) {
  auto& connection = *static_cast<MosquittoConnection*>(self);
  if (code != 0) {
    const bool mqtt5 = connection.protocol_ == MQTT_PROTOCOL_V5;
    connection.protocolRefused_ = mqtt5 && code == MQTT_RC_UNSUPPORTED_PROTOCOL_VERSION;
    connection.dropReason_ = mqtt5 ? mosquitto_reason_string(code) : mosquitto_connack_string(code);
    return;
  }
  connection.acceptedThisTime_ = true;
  connection.connected_ = true;
  connection.subscribe();
}

// Before the broker took us, the socket's error says why: refused, timed out.
void MosquittoConnection::OnDisconnect(mosquitto*, void* self, int code) {
  const int error = errno;
  auto& connection = *static_cast<MosquittoConnection*>(self);
  connection.connected_ = false;
  if (code == 0 || !connection.dropReason_.empty()) return;
  const bool beforeAccepted = !connection.acceptedThisTime_ && code == MOSQ_ERR_ERRNO;
  connection.dropReason_ = beforeAccepted ? ConnectFailureText(error) : "connection lost";
}

void MosquittoConnection::OnPublish(mosquitto* client, void* self, int id) {
  auto& connection = *static_cast<MosquittoConnection*>(self);
  if (id != 0 && id == connection.farewellId_) mosquitto_disconnect(client);
}

void MosquittoConnection::OnMessage(mosquitto*, void* self, const mosquitto_message* message) {
  auto& connection = *static_cast<MosquittoConnection*>(self);
  const auto* bytes = static_cast<const char*>(message->payload);
  const std::size_t kept =
      std::min(static_cast<std::size_t>(message->payloadlen), connection.largestPayload_ + 1);
  connection.deliver(BrokerMessage{message->topic, std::string(bytes, bytes + kept), message->qos,
                                   message->retain});
}

}  // namespace pump::remote
