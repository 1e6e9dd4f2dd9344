// The filters the connection subscribes to: the session's at every connect,
// and those added or dropped while it runs.
#include <mosquitto.h>
#include <mqtt_protocol.h>
#include <unistd.h>

#include <algorithm>

#include "remote/mosquitto_connection.h"

namespace pump::remote {

// Commands must be live: unless retained messages are wanted, the broker is
// asked not to send what it retained. A bridge from another broker replays
// what that one retained as messages published with the retain flag; kept as
// published, the flag still tells them apart from live ones. MQTT 3.1.1 has
// neither option.
bool MosquittoConnection::subscribeTo(const Subscription& topic) {
  const int options = (retainedWanted_ || topic.retained ? 0 : MQTT_SUB_OPT_SEND_RETAIN_NEVER) |
                      (topic.retainAsPublished ? MQTT_SUB_OPT_RETAIN_AS_PUBLISHED : 0);
  const int code =
      protocol_ == MQTT_PROTOCOL_V5
          ? mosquitto_subscribe_v5(client_, nullptr, topic.filter.c_str(), 1, options, nullptr)
          : mosquitto_subscribe(client_, nullptr, topic.filter.c_str(), 1);
  return code == MOSQ_ERR_SUCCESS;
}

void MosquittoConnection::subscribe() {
  changeSubscriptions(false);
  pendingSubscriptions_ = 0;
  for (const auto& topic : subscriptions_) {
    if (subscribeTo(topic)) ++pendingSubscriptions_;
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

void MosquittoConnection::wakeNetwork() {
  if (wakeFd_ < 0) return;
  const std::uint64_t one = 1;
  [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof one);
}

void MosquittoConnection::subscribe(const Subscription& subscription) {
  {
    std::lock_guard lock(outboxMutex_);
    subscriptionChanges_.push_back({subscription, true});
  }
  wakeNetwork();
}

void MosquittoConnection::unsubscribe(const std::string& filter) {
  {
    std::lock_guard lock(outboxMutex_);
    subscriptionChanges_.push_back({Subscription(filter), false});
  }
  wakeNetwork();
}

// On the network thread: the filters added or dropped since its last turn,
// kept for the next connect and, with `tellBroker`, told to the broker now.
void MosquittoConnection::changeSubscriptions(bool tellBroker) {
  std::vector<std::pair<Subscription, bool>> changes;
  {
    std::lock_guard lock(outboxMutex_);
    changes.swap(subscriptionChanges_);
  }
  for (const auto& change : changes) {
    const Subscription& topic = change.first;
    const bool add = change.second;
    const auto same = [&topic](const Subscription& s) { return s.filter == topic.filter; };
    subscriptions_.erase(std::remove_if(subscriptions_.begin(), subscriptions_.end(), same),
                         subscriptions_.end());
    if (add) subscriptions_.push_back(topic);
    if (!tellBroker) continue;
    if (add) {
      subscribeTo(topic);
    } else {
      mosquitto_unsubscribe(client_, nullptr, topic.filter.c_str());
    }
  }
}

}  // namespace pump::remote
