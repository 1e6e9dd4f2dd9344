// The broker connection over libmosquitto. One network thread of our own
// connects, runs the client's loop and reconnects with growing delays; the
// window's thread only hands messages over, into an outbox the network thread
// empties. Everything the network thread learns reaches the window's thread
// through `post`.
//
// It speaks MQTT 5, so that it can ask the broker not to send retained
// messages on its subscriptions, to keep each message's retain flag as it was
// published, and tell it the largest packet it takes (the session's largest
// payload with room for topic and properties: a larger one the broker drops
// instead of sending); to a broker that turns MQTT 5 away it speaks MQTT
// 3.1.1 from then on.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "remote/broker_connection.h"
#include "remote/broker_tls.h"
#include "remote/remote_settings.h"

struct mosquitto;
struct mosquitto_message;

namespace pump::remote {

// Runs a task on the window's thread, soon. Called from any thread.
using PostToWindow = std::function<void(std::function<void()>)>;

// Started once; stop() or the destructor ends it for good.
class MosquittoConnection : public BrokerConnection {
 public:
  MosquittoConnection(const RemoteSettings& settings, PostToWindow post);
  ~MosquittoConnection() override;
  MosquittoConnection(const MosquittoConnection&) = delete;
  MosquittoConnection& operator=(const MosquittoConnection&) = delete;

  void start(BrokerSession session) override;
  bool publish(BrokerMessage message) override;
  void stop(const BrokerMessage& farewell) override;
  void subscribe(const Subscription& subscription) override;
  void unsubscribe(const std::string& filter) override;

 private:
  // What posted tasks may still reach; cleared on stop, on the window's thread.
  struct Receiver {
    bool alive = true;
    BrokerSession session;
  };

  std::string configure(const BrokerSession& session);
  void runNetwork();
  int connect();
  std::string failureText(int code) const;
  bool refusedBeforeHandshake();
  static std::string ConnectFailureText(int error);
  int runLoopUntilDropped();
  int serveConnected(bool leaving);
  int napTime();
  bool sendOutbox();
  void leave(const BrokerMessage& farewell);
  void waitBeforeRetry(int seconds);
  void report(BrokerState state, std::string detail);
  void deliver(BrokerMessage message);
  void subscribe();
  bool subscribeTo(const Subscription& topic);
  void changeSubscriptions(bool tellBroker);
  void wakeNetwork();

  static void OnConnect(mosquitto* client, void* self, int code);
  static void OnDisconnect(mosquitto* client, void* self, int code);
  static void OnSubscribe(mosquitto* client, void* self, int id, int count, const int* granted);
  static void OnPublish(mosquitto* client, void* self, int id);
  static void OnMessage(mosquitto* client, void* self, const mosquitto_message* message);

  BrokerAddress address_;
  RemoteSettings settings_;
  PostToWindow post_;
  mosquitto* client_ = nullptr;
  std::shared_ptr<Receiver> receiver_;
  std::vector<Subscription> subscriptions_;
  std::size_t largestPayload_ = 0;
  bool retainedWanted_ = false;
  BrokerTls tls_;
  std::thread network_;

  std::mutex stopMutex_;
  std::condition_variable stopSignal_;
  bool stopRequested_ = false;
  std::chrono::steady_clock::time_point stopDeadline_;
  BrokerMessage farewell_;
  std::atomic<bool> connected_ = false;
  // Messages for the network thread to publish, in order; it is woken for
  // those that should not wait (the others go within one loop period).
  std::mutex outboxMutex_;
  std::vector<BrokerMessage> outbox_;
  std::vector<BrokerMessage> sending_;  // the network thread's
  // Filters to add (true) or drop (false), under the outbox's mutex.
  std::vector<std::pair<Subscription, bool>> subscriptionChanges_;
  int wakeFd_ = -1;
  // The network thread waits long with an empty outbox; publish() wakes it.
  std::atomic<bool> napping_ = false;
  bool gathering_ = false;  // the network thread's: the last turn sent a batch
  // Written and read on the network thread only.
  int protocol_;
  bool protocolRefused_ = false;  // the last attempt's MQTT 5 was turned away
  bool acceptedThisTime_ = false;
  int pendingSubscriptions_ = 0;
  int farewellId_ = 0;
  std::string dropReason_;
  // When the socket was first seen hung up before any handshake, this attempt.
  std::optional<std::chrono::steady_clock::time_point> hungUpSince_;
};

}  // namespace pump::remote
