// The other end of the broker in a test: a libmosquitto client that records
// every message it receives and can publish, as a dashboard or an operator's
// mosquitto_pub would.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct mosquitto;
struct mosquitto_message;

namespace pump::remote::testing {

struct Received {
  std::string topic;
  std::string payload;
  bool retained = false;
};

class FarEnd {
 public:
  // Connects to 127.0.0.1:port (with TLS when a CA file is given) and
  // subscribes to `topic`; check ready() before use.
  FarEnd(int port, const std::string& topic, const std::string& caFile = {});
  ~FarEnd();
  FarEnd(const FarEnd&) = delete;
  FarEnd& operator=(const FarEnd&) = delete;

  bool ready() const { return ready_; }
  // Publishes at QoS 1 and waits for the broker's acknowledgement.
  bool publish(const std::string& topic, const std::string& payload, bool retain = false);

  // The first message received so far or within the time that matches.
  std::optional<Received> waitFor(const std::function<bool(const Received&)>& match,
                                  std::chrono::milliseconds within);
  std::vector<Received> received() const;
  std::vector<Received> receivedOn(const std::string& topic) const;

 private:
  static void OnMessage(mosquitto*, void* self, const mosquitto_message* message);
  static void OnSubscribe(mosquitto*, void* self, int, int, const int*);
  static void OnPublish(mosquitto*, void* self, int id);
  bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds within);

  mosquitto* client_ = nullptr;
  bool ready_ = false;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Received> received_;
  bool subscribed_ = false;
  std::vector<int> acknowledged_;
};

// Runs on the test's own thread what the connection posts to "the window's
// thread", as the window's event loop would.
class WindowThread {
 public:
  void post(std::function<void()> task);
  // Runs posted tasks until `done` holds or the time is up; true if it held.
  bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds within);
  void runFor(std::chrono::milliseconds span);

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::vector<std::function<void()>> tasks_;
};

}  // namespace pump::remote::testing
