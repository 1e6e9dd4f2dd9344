// The console's connection to an MQTT broker, as the remote station sees it.
// Handlers run on the window's thread; no call here waits on the network.
#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace pump::remote {

enum class BrokerState { Disconnected, Connecting, Connected };

struct BrokerStatus {
  BrokerState state = BrokerState::Disconnected;
  std::string detail;  // why the last attempt failed or the line dropped, if known
};

// The status-line words for a broker state: "远程: 已连接".
const char* BrokerStateText(BrokerState state);

struct BrokerMessage {
  std::string topic;
  std::string payload;
  int qos = 0;
  bool retain = false;  // coming in: an old message the broker kept, not a live one
};

// A topic filter to subscribe to. With `retainAsPublished` each message
// comes with its retain flag as its publisher set it, so that a retained
// message a bridge replays is still known as one; without, the flag is set
// only on what the broker itself kept, and a live message comes unmarked.
// With `retained`, what the broker kept on the filter comes too, whatever the
// session asks for its other filters.
struct Subscription {
  Subscription(std::string topicFilter, bool asPublished = true, bool retainedToo = false)
      : filter(std::move(topicFilter)), retainAsPublished(asPublished), retained(retainedToo) {}
  std::string filter;
  bool retainAsPublished = true;
  bool retained = false;
};

struct BrokerSession {
  BrokerMessage lastWill;  // left with the broker at every connect
  // Made again at every connect, asking the broker not to send the messages
  // it kept: what arrives is live. A broker that cannot be asked (MQTT 3.1.1)
  // still sends them, marked `retain`.
  std::vector<Subscription> subscriptions;
  // A watcher that wants what the broker kept as well (the pump board, for
  // every console's retained status) says so here.
  bool retainedWanted = false;
  // Payloads longer than this arrive cut to one byte more, so that they are
  // known to be too long without being copied whole. The broker is told the
  // largest packet taken: this, with room for the topic and properties; it
  // drops a larger one.
  std::size_t largestPayload = std::numeric_limits<std::size_t>::max() - 1;
  std::function<void(const BrokerStatus&)> statusChanged;
  std::function<void(const BrokerMessage&)> messageArrived;
};

class BrokerConnection {
 public:
  virtual ~BrokerConnection() = default;
  // Starts connecting, and reconnecting whenever the line drops, until stop().
  virtual void start(BrokerSession session) = 0;
  // Hands a message to the network thread. False when it cannot go out now
  // (not connected, for QoS 0); QoS 1 messages wait for the next connection.
  // Taken by value: a reading's message moves in rather than being copied.
  virtual bool publish(BrokerMessage message) = 0;
  // Sends the farewell (if its topic is not empty), disconnects cleanly so the
  // will is not published, and ends the network thread within about 2 s.
  virtual void stop(const BrokerMessage& farewell) = 0;
  // Adds a filter to the session's, now if connected and at every connect
  // from then on; unsubscribe() drops it again.
  virtual void subscribe(const Subscription& subscription) { (void)subscription; }
  virtual void unsubscribe(const std::string& filter) { (void)filter; }
};

// How long to wait before the next attempt to connect: 1 s after a drop,
// doubling after each failed attempt up to 30 s.
class ReconnectDelay {
 public:
  int nextSeconds() {
    const int delay = seconds_;
    seconds_ = seconds_ * 2 > kLongest ? kLongest : seconds_ * 2;
    return delay;
  }
  void reset() { seconds_ = kShortest; }

  static constexpr int kShortest = 1;
  static constexpr int kLongest = 30;

 private:
  int seconds_ = kShortest;
};

}  // namespace pump::remote
