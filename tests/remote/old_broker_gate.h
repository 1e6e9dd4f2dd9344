// A broker that speaks only MQTT 3.1.1, as Mosquitto before 1.6 and many
// embedded brokers do: a gate on a loopback port of its own in front of a
// real broker. It answers an MQTT 5 CONNECT as such a broker does ("unacceptable
// protocol version", then it closes) and passes every other connection through.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pump::remote::testing {

class OldBrokerGate {
 public:
  explicit OldBrokerGate(int brokerPort);
  ~OldBrokerGate();
  OldBrokerGate(const OldBrokerGate&) = delete;
  OldBrokerGate& operator=(const OldBrokerGate&) = delete;

  bool ready() const { return listener_ >= 0; }
  int port() const { return port_; }
  std::string url() const { return "mqtt://127.0.0.1:" + std::to_string(port_); }
  // How many MQTT 5 connections it turned away.
  int refusedMqtt5() const { return refused_; }

 private:
  void acceptClients();
  void serve(int client);
  void relay(int client, int broker);

  int brokerPort_;
  int port_ = 0;
  int listener_ = -1;
  int stopFd_ = -1;
  std::atomic<int> refused_ = 0;
  std::thread acceptor_;
  std::mutex servingMutex_;
  std::vector<std::thread> serving_;
};

}  // namespace pump::remote::testing
