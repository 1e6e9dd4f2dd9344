// One attempt to reach the broker, and why it failed in words the status
// line can show.
#include <mosquitto.h>
#include <mqtt_protocol.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>

#include "remote/mosquitto_connection.h"

namespace pump::remote {
namespace {

constexpr int kKeepAliveSeconds = 30;
// How long a socket hung up before any handshake waits for the library to
// report the handshake's own failure, before it counts as refused.
constexpr auto kHandshakeReportGrace = std::chrono::milliseconds(1000);
// Room in a PUBLISH packet beside its payload: the fixed header (5 bytes at
// most), the longest topic MQTT allows (2 + 65,535 bytes) and properties
// (user properties have no bound of their own: 16 KB of them).
constexpr std::size_t kPacketRoom = 5 + 2 + 65535 + 16 * 1024;
// The largest packet MQTT can express.
constexpr std::size_t kLargestMqttPacket = 268'435'455;

// The largest packet the broker may send us: without a limit, one message of
// 100 MB is read whole into memory. 0: none to tell.
std::uint32_t LargestPacketFor(std::size_t largestPayload) {
  if (largestPayload >= kLargestMqttPacket - kPacketRoom) return 0;
  return static_cast<std::uint32_t>(largestPayload + kPacketRoom);
}

std::string ErrorText(int code) {
  if (code == MOSQ_ERR_ERRNO) return std::strerror(errno);
  return mosquitto_strerror(code);
}

// libmosquitto 2.0 has no asynchronous connect that takes CONNECT
// properties. Its MQTT 5 connect keeps the properties it is given (none:
// forgets those kept) before it looks at the keep-alive, and the asynchronous
// connect sends the properties kept: given a keep-alive it refuses, it keeps
// them and goes no further.
int KeepConnectProperties(mosquitto* client, const BrokerAddress& address,
                          const mosquitto_property* properties) {
  constexpr int kRefusedKeepAlive = 1;
  const int code = mosquitto_connect_bind_v5(client, address.host.c_str(), address.port,
                                             kRefusedKeepAlive, nullptr, properties);
  return code == MOSQ_ERR_INVAL ? MOSQ_ERR_SUCCESS : code;
}

// MQTT 5: the broker must not send us packets over the largest we take.
// MQTT 3.1.1 has no CONNECT properties: none are kept.
int KeepConnectPropertiesFor(mosquitto* client, const BrokerAddress& address, int protocol,
                             std::uint32_t largestPacket) {
  if (protocol != MQTT_PROTOCOL_V5 || largestPacket == 0) {
    return KeepConnectProperties(client, address, nullptr);
  }
  mosquitto_property* properties = nullptr;
  int code =
      mosquitto_property_add_int32(&properties, MQTT_PROP_MAXIMUM_PACKET_SIZE, largestPacket);
  if (code == MOSQ_ERR_SUCCESS) code = KeepConnectProperties(client, address, properties);
  mosquitto_property_free_all(&properties);
  return code;
}

}  // namespace

int MosquittoConnection::connect() {
  acceptedThisTime_ = false;
  protocolRefused_ = false;
  dropReason_.clear();
  hungUpSince_.reset();
  tls_.forgetLastCheck();
  const std::uint32_t largestPacket = LargestPacketFor(largestPayload_);
  if (const int code = KeepConnectPropertiesFor(client_, address_, protocol_, largestPacket);
      code != MOSQ_ERR_SUCCESS) {
    return code;
  }
  return mosquitto_connect_async(client_, address_.host.c_str(), address_.port, kKeepAliveSeconds);
}

std::string MosquittoConnection::failureText(int code) const {
  if (!dropReason_.empty()) return dropReason_;
  if (code == MOSQ_ERR_TLS) return tls_.failureText();
  return ErrorText(code);
}

// Why the line went before the broker took us, from the socket's error.
std::string MosquittoConnection::ConnectFailureText(int error) {
  switch (error) {
    case ECONNREFUSED:
      return "connection refused";
    case ETIMEDOUT:
      return "connection timed out";
    case EHOSTUNREACH:
    case ENETUNREACH:
      return "host unreachable";
  }
  return "connection lost";
}

// libmosquitto 2.0.11 starts the TLS handshake before the TCP connection is
// up; refused, the handshake takes the socket's error and then waits on the
// dead socket for good, reporting nothing. Hung up and never connected: the
// broker's host refused it. A peer that took the connection and then hung up
// on the handshake (a broker that does not speak TLS there) looks the same
// for a moment, until the library reports that handshake's failure itself:
// so the hang-up counts as a refusal only once it has lasted a while.
bool MosquittoConnection::refusedBeforeHandshake() {
  const int socket = mosquitto_socket(client_);
  if (!address_.tls || socket < 0) return false;
  pollfd watched{socket, POLLOUT, 0};
  if (::poll(&watched, 1, 0) != 1 || !(watched.revents & (POLLHUP | POLLERR))) return false;
  const auto now = std::chrono::steady_clock::now();
  if (!hungUpSince_) hungUpSince_ = now;
  if (now - *hungUpSince_ < kHandshakeReportGrace) return false;
  int error = 0;
  socklen_t size = sizeof error;
  ::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size);
  sockaddr_storage peer{};
  size = sizeof peer;
  const bool neverConnected =
      ::getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &size) != 0 && errno == ENOTCONN;
  if (error == 0 && !neverConnected) return false;
  dropReason_ = ConnectFailureText(error != 0 ? error : ECONNREFUSED);
  return true;
}

}  // namespace pump::remote
