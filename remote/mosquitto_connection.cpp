#include "remote/mosquitto_connection.h"

#include <mosquitto.h>
#include <mqtt_protocol.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace pump::remote {
namespace {

// The longest a reading waits in the outbox: readings of a fast line go out
// together, one wake-up of the network thread and one TCP segment for each
// batch instead of one per reading.
constexpr int kLoopWaitMs = 50;
// With nothing to send, the thread sleeps until the broker, a message or
// stop() wakes it, or this long has passed: keep-alive pings (after 30 s of
// silence) still go out in time, and an idle console is not woken twenty
// times a second.
constexpr int kIdleWaitMs = 5000;
// How long stop() lets the farewell and the disconnect take to go out.
constexpr auto kFarewellTime = std::chrono::seconds(2);
void InitialiseLibraryOnce() {
  static std::once_flag once;
  std::call_once(once, [] { mosquitto_lib_init(); });
}

// A broken TLS connection raises SIGPIPE on write; the write's error is all
// this thread needs, so the signal must not end the program.
void IgnoreBrokenPipesOnThisThread() {
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
}

// Held, the socket gathers the packets written into full segments; let go,
// it sends what it holds at once.
void HoldSegments(int socket, int hold) {
  ::setsockopt(socket, IPPROTO_TCP, TCP_CORK, &hold, sizeof hold);
}

}  // namespace

MosquittoConnection::MosquittoConnection(const RemoteSettings& settings, PostToWindow post)
    : address_(ParseBrokerUrl(settings.brokerUrl).value_or(BrokerAddress{})),
      settings_(settings),
      post_(std::move(post)),
      protocol_(MQTT_PROTOCOL_V5) {
  InitialiseLibraryOnce();
  // A random client id: two consoles given the same pump id must not keep
  // throwing each other off the broker.
  client_ = mosquitto_new(nullptr, true, this);
  if (!client_) return;
  wakeFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  mosquitto_threaded_set(client_, true);
  mosquitto_int_option(client_, MOSQ_OPT_PROTOCOL_VERSION, protocol_);
  mosquitto_connect_callback_set(client_, &OnConnect);
  mosquitto_disconnect_callback_set(client_, &OnDisconnect);
  mosquitto_message_callback_set(client_, &OnMessage);
  mosquitto_subscribe_callback_set(client_, &OnSubscribe);
  mosquitto_publish_callback_set(client_, &OnPublish);
}

MosquittoConnection::~MosquittoConnection() {
  stop(BrokerMessage{});
  if (client_) mosquitto_destroy(client_);
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

std::string MosquittoConnection::configure(const BrokerSession& session) {
  if (!client_) return "cannot create an MQTT client";
  if (address_.host.empty()) return "broker URL must look like mqtt://host:1883";
  if (!settings_.user.empty() &&
      mosquitto_username_pw_set(
          client_, settings_.user.c_str(),
          settings_.password.empty() ? nullptr : settings_.password.c_str()) != MOSQ_ERR_SUCCESS) {
    return "user name or password not accepted";
  }
  if (address_.tls) {
    if (auto problem = tls_.setUp(client_, address_.host, settings_.caFile); !problem.empty()) {
      return problem;
    }
  }
  const auto& will = session.lastWill;
  if (!will.topic.empty() &&
      mosquitto_will_set(client_, will.topic.c_str(), static_cast<int>(will.payload.size()),
                         will.payload.data(), will.qos, will.retain) != MOSQ_ERR_SUCCESS) {
    return "last will not accepted";
  }
  return {};
}

void MosquittoConnection::start(BrokerSession session) {
  if (network_.joinable()) return;
  receiver_ = std::make_shared<Receiver>();
  receiver_->session = std::move(session);
  subscriptions_ = receiver_->session.subscriptions;
  largestPayload_ = receiver_->session.largestPayload;
  retainedWanted_ = receiver_->session.retainedWanted;
  if (const auto problem = configure(receiver_->session); !problem.empty()) {
    report(BrokerState::Disconnected, problem);
    return;
  }
  network_ = std::thread([this] { runNetwork(); });
}

// Readings (QoS 0, not retained) wait for the network thread's next turn;
// anything else wakes it.
bool MosquittoConnection::publish(BrokerMessage message) {
  if (!client_ || !connected_ || wakeFd_ < 0) return false;
  const bool urgent = message.qos > 0 || message.retain;
  {
    std::lock_guard lock(outboxMutex_);
    outbox_.push_back(std::move(message));
  }
  // A thread napping with an empty outbox is woken for the first reading.
  if (urgent || napping_.exchange(false)) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof one);
  }
  return true;
}

void MosquittoConnection::stop(const BrokerMessage& farewell) {
  if (receiver_) receiver_->alive = false;
  if (!network_.joinable()) return;
  {
    std::lock_guard lock(stopMutex_);
    stopRequested_ = true;
    stopDeadline_ = std::chrono::steady_clock::now() + kFarewellTime;
    farewell_ = farewell;
  }
  stopSignal_.notify_all();
  if (wakeFd_ >= 0) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof one);
  }
  network_.join();
}

void MosquittoConnection::runNetwork() {
  IgnoreBrokenPipesOnThisThread();
  ReconnectDelay delay;
  while (true) {
    report(BrokerState::Connecting, {});
    int code = connect();
    if (code == MOSQ_ERR_SUCCESS) code = runLoopUntilDropped();
    if (acceptedThisTime_) delay.reset();
    {
      std::lock_guard lock(stopMutex_);
      if (stopRequested_) return;
    }
    if (protocolRefused_ && protocol_ == MQTT_PROTOCOL_V5) {
      protocol_ = MQTT_PROTOCOL_V311;
      mosquitto_int_option(client_, MOSQ_OPT_PROTOCOL_VERSION, protocol_);
      continue;  // at once: the broker is there, it only wants the older protocol
    }
    report(BrokerState::Disconnected, failureText(code));
    waitBeforeRetry(delay.nextSeconds());
  }
}

// Runs the client until the connection ends: dropped, refused, or closed
// after stop() asked to leave.
int MosquittoConnection::runLoopUntilDropped() {
  bool leaving = false;
  while (true) {
    // The library's own loop until the broker has taken us (TCP and TLS
    // handshakes); then ours, which also empties the outbox.
    const int code = connected_ ? serveConnected(leaving) : mosquitto_loop(client_, kLoopWaitMs, 1);
    if (code != MOSQ_ERR_SUCCESS) return code;
    if (!dropReason_.empty()) return MOSQ_ERR_CONN_REFUSED;
    if (!connected_ && refusedBeforeHandshake()) return MOSQ_ERR_CONN_REFUSED;
    std::unique_lock lock(stopMutex_);
    if (!stopRequested_) continue;
    if (!connected_ || std::chrono::steady_clock::now() > stopDeadline_) return MOSQ_ERR_SUCCESS;
    if (!leaving) {
      leaving = true;
      const BrokerMessage farewell = farewell_;
      lock.unlock();
      leave(farewell);
    }
  }
}

// One turn of the connected client: waits for the socket, a wake-up or the
// loop period, publishes what the outbox holds, then reads, writes and keeps
// the connection alive as the library's loop would. The library's own
// wake-up channel is left unread: the eventfd does its work here.
int MosquittoConnection::serveConnected(bool leaving) {
  const int socket = mosquitto_socket(client_);
  if (socket < 0) return MOSQ_ERR_NO_CONN;
  pollfd watched[2] = {
      {socket, static_cast<short>(POLLIN | (mosquitto_want_write(client_) ? POLLOUT : 0)), 0},
      {wakeFd_, POLLIN, 0}};
  const int waitMs = leaving || gathering_ ? kLoopWaitMs : napTime();
  const int woken = ::poll(watched, 2, waitMs);
  napping_ = false;
  if (woken < 0 && errno != EINTR) return MOSQ_ERR_ERRNO;
  if (watched[1].revents & POLLIN) {
    std::uint64_t count = 0;
    [[maybe_unused]] const auto got = ::read(wakeFd_, &count, sizeof count);
  }
  changeSubscriptions(true);
  // Readings keep coming while a batch went out: gather the next one too.
  gathering_ = sendOutbox();
  int code = mosquitto_loop_read(client_, 1);
  if (code == MOSQ_ERR_SUCCESS && mosquitto_want_write(client_)) {
    code = mosquitto_loop_write(client_, 1);
  }
  return code == MOSQ_ERR_SUCCESS ? mosquitto_loop_misc(client_) : code;
}

// How long the thread may wait: long with an empty outbox, and then the
// next publish() wakes it; a reading already waiting goes within a period.
int MosquittoConnection::napTime() {
  napping_ = true;  // before the look: a message pushed after it wakes us
  std::lock_guard lock(outboxMutex_);
  if (outbox_.empty()) return kIdleWaitMs;
  napping_ = false;
  return kLoopWaitMs;
}

// Everything waiting goes out in as few segments as the socket can make;
// true when there was something.
bool MosquittoConnection::sendOutbox() {
  // The two vectors trade places and keep their room: no allocation a batch.
  std::vector<BrokerMessage>& batch = sending_;
  batch.clear();
  {
    std::lock_guard lock(outboxMutex_);
    batch.swap(outbox_);
  }
  if (batch.empty()) return false;
  const int socket = mosquitto_socket(client_);
  HoldSegments(socket, 1);
  for (const auto& message : batch) {
    mosquitto_publish(client_, nullptr, message.topic.c_str(),
                      static_cast<int>(message.payload.size()), message.payload.data(), message.qos,
                      message.retain);
  }
  mosquitto_loop_write(client_, 1);
  HoldSegments(socket, 0);
  return true;
}

// The disconnect waits for the broker to acknowledge the farewell: closing
// with its acknowledgement unread makes the kernel reset the connection, and
// a broker that sees a reset before our disconnect publishes the will.
void MosquittoConnection::leave(const BrokerMessage& farewell) {
  sendOutbox();  // what was published before the farewell goes before it
  farewellId_ = 0;
  if (farewell.topic.empty() ||
      mosquitto_publish(client_, &farewellId_, farewell.topic.c_str(),
                        static_cast<int>(farewell.payload.size()), farewell.payload.data(), 1,
                        farewell.retain) != MOSQ_ERR_SUCCESS) {
    mosquitto_disconnect(client_);
  }
}

void MosquittoConnection::waitBeforeRetry(int seconds) {
  std::unique_lock lock(stopMutex_);
  stopSignal_.wait_for(lock, std::chrono::seconds(seconds), [this] { return stopRequested_; });
}

void MosquittoConnection::report(BrokerState state, std::string detail) {
  post_([receiver = receiver_, status = BrokerStatus{state, std::move(detail)}] {
    if (receiver->alive && receiver->session.statusChanged) {
      receiver->session.statusChanged(status);
    }
  });
}

void MosquittoConnection::deliver(BrokerMessage message) {
  post_([receiver = receiver_, message = std::move(message)] {
    if (receiver->alive && receiver->session.messageArrived) {
      receiver->session.messageArrived(message);
    }
  });
}

}  // namespace pump::remote
