#include "tests/remote/old_broker_gate.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>

#include "tests/support/test_broker.h"

namespace pump::remote::testing {
namespace {

using pump::testing::Loopback;

constexpr std::uint8_t kMqtt5 = 5;
// CONNACK, 2 bytes: no session present, return code 1.
constexpr std::uint8_t kUnacceptableProtocolVersion[] = {0x20, 0x02, 0x00, 0x01};

bool ReadExactly(int fd, std::uint8_t* into, std::size_t size) {
  for (std::size_t got = 0; got < size;) {
    const auto n = ::read(fd, into + got, size - got);
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, const std::uint8_t* bytes, std::size_t size) {
  for (std::size_t sent = 0; sent < size;) {
    const auto n = ::send(fd, bytes + sent, size - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

// The client's first packet, whole: fixed header, remaining length, body.
std::optional<std::vector<std::uint8_t>> ReadFirstPacket(int fd) {
  std::vector<std::uint8_t> packet(1);
  if (!ReadExactly(fd, packet.data(), 1)) return std::nullopt;
  std::size_t length = 0;
  for (int shift = 0; shift <= 21; shift += 7) {
    std::uint8_t byte = 0;
    if (!ReadExactly(fd, &byte, 1)) return std::nullopt;
    packet.push_back(byte);
    length |= static_cast<std::size_t>(byte & 0x7f) << shift;
    if (!(byte & 0x80)) break;
  }
  const std::size_t header = packet.size();
  packet.resize(header + length);
  if (!ReadExactly(fd, packet.data() + header, length)) return std::nullopt;
  return packet;
}

// The protocol level of a CONNECT: after its length-prefixed name "MQTT".
std::optional<std::uint8_t> ProtocolLevel(const std::vector<std::uint8_t>& packet) {
  if (packet.empty() || (packet[0] & 0xf0) != 0x10) return std::nullopt;
  std::size_t at = 1;
  while (at < packet.size() && (packet[at] & 0x80)) ++at;
  at += 1 + 2 + 4;  // the last length byte, the name's length, "MQTT"
  if (at >= packet.size()) return std::nullopt;
  return packet[at];
}

}  // namespace

OldBrokerGate::OldBrokerGate(int brokerPort) : brokerPort_(brokerPort) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = Loopback(0);
  socklen_t size = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd, 8) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    ::close(fd);
    return;
  }
  port_ = ntohs(address.sin_port);
  listener_ = fd;
  stopFd_ = ::eventfd(0, EFD_CLOEXEC);
  acceptor_ = std::thread([this] { acceptClients(); });
}

OldBrokerGate::~OldBrokerGate() {
  if (listener_ < 0) return;
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto written = ::write(stopFd_, &one, sizeof one);
  acceptor_.join();
  for (auto& thread : serving_) thread.join();
  ::close(listener_);
  ::close(stopFd_);
}

void OldBrokerGate::acceptClients() {
  while (true) {
    pollfd watched[2] = {{listener_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
    if (::poll(watched, 2, -1) < 0 || (watched[1].revents & POLLIN)) return;
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    std::lock_guard lock(servingMutex_);
    serving_.emplace_back([this, client] { serve(client); });
  }
}

void OldBrokerGate::serve(int client) {
  const timeval patience{5, 0};
  ::setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
  const auto connect = ReadFirstPacket(client);
  if (connect && ProtocolLevel(*connect) == kMqtt5) {
    ++refused_;
    WriteAll(client, kUnacceptableProtocolVersion, sizeof kUnacceptableProtocolVersion);
  } else if (connect) {
    const int broker = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = Loopback(brokerPort_);
    if (::connect(broker, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        WriteAll(broker, connect->data(), connect->size())) {
      relay(client, broker);
    }
    ::close(broker);
  }
  ::close(client);
}

// Passes bytes both ways until either side closes or the gate is closed.
void OldBrokerGate::relay(int client, int broker) {
  std::vector<std::uint8_t> buffer(64 * 1024);
  while (true) {
    pollfd watched[3] = {{client, POLLIN, 0}, {broker, POLLIN, 0}, {stopFd_, POLLIN, 0}};
    if (::poll(watched, 3, -1) < 0 || (watched[2].revents & POLLIN)) return;
    for (int side = 0; side < 2; ++side) {
      if (!(watched[side].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      const auto n = ::recv(watched[side].fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
      if (n == 0 || (n < 0 && errno != EAGAIN)) return;
      if (n > 0 && !WriteAll(watched[1 - side].fd, buffer.data(), static_cast<std::size_t>(n))) {
        return;
      }
    }
  }
}

}  // namespace pump::remote::testing
