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

// Commands must be live: unless retained messages are wanted, the broker is
// asked not to send what it retained. A bridge from another broker replays
// what that one retained as messages published with the retain flag; kept as
// published, the flag still tells them apart from live ones. MQTT 3.1.1 has
// neither option.
void MosquittoConnection::subscribe() {
  pendingSubscriptions_ = 0;
  for (const auto& topic : subscriptions_) {
    const int options = (retainedWanted_ ? 0 : MQTT_SUB_OPT_SEND_RETAIN_NEVER) |
                        (topic.retainAsPublished ? MQTT_SUB_OPT_RETAIN_AS_PUBLISHED : 0);
    const int code =
        protocol_ == MQTT_PROTOCOL_V5
            ? mosquitto_subscribe_v5(client_, nullptr, topic.filter.c_str(), 1, options, nullptr)
            : mosquitto_subscribe(client_, nullptr, topic.filter.c_str(), 1);
    if (code == MOSQ_ERR_SUCCESS) ++pendingSubscriptions_;
  }
  if (pendingSubscriptions_ == 0) report(BrokerState::Connected, {});
}

// Connected is reported once the broker has taken the subscriptions: from
// then on no command sent to us is missed.
void MosquittoConnection::OnSubscribe(mosquitto*, void* self, int, int, const int*) {
  auto& connection = *static_cast<MosquittoConnection*>(self);
  if (connection.pendingSubscriptions_ > 0 && --connection.pendingSubscriptions_ == 0) {
    connection.report(BrokerState::Connected, {});
  }
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
