#include "tests/remote/far_end.h"

#include <mosquitto.h>

#include <algorithm>

namespace pump::remote::testing {

using namespace std::chrono_literals;

FarEnd::FarEnd(int port, const std::string& topic, const std::string& caFile) {
  mosquitto_lib_init();
  client_ = mosquitto_new(nullptr, true, this);
  if (!client_) return;
  mosquitto_message_callback_set(client_, &OnMessage);
  mosquitto_subscribe_callback_set(client_, &OnSubscribe);
  mosquitto_publish_callback_set(client_, &OnPublish);
  if (!caFile.empty() &&
      mosquitto_tls_set(client_, caFile.c_str(), nullptr, nullptr, nullptr, nullptr) != 0) {
    return;
  }
  if (mosquitto_connect(client_, "127.0.0.1", port, 30) != MOSQ_ERR_SUCCESS) return;
  if (mosquitto_loop_start(client_) != MOSQ_ERR_SUCCESS) return;
  if (mosquitto_subscribe(client_, nullptr, topic.c_str(), 1) != MOSQ_ERR_SUCCESS) return;
  ready_ = waitUntil([this] { return subscribed_; }, 5s);
}

FarEnd::~FarEnd() {
  if (!client_) return;
  mosquitto_disconnect(client_);
  mosquitto_loop_stop(client_, false);
  mosquitto_destroy(client_);
}

bool FarEnd::publish(const std::string& topic, const std::string& payload, bool retain) {
  int id = 0;
  if (mosquitto_publish(client_, &id, topic.c_str(), static_cast<int>(payload.size()),
                        payload.data(), 1, retain) != MOSQ_ERR_SUCCESS) {
    return false;
  }
  return waitUntil(
      [this, id] {
        for (int done : acknowledged_) {
          if (done == id) return true;
        }
        return false;
      },
      5s);
}

std::optional<Received> FarEnd::waitFor(const std::function<bool(const Received&)>& match,
                                        std::chrono::milliseconds within) {
  std::optional<Received> found;
  waitUntil(
      [&] {
        for (const auto& message : received_) {
          if (match(message)) {
            found = message;
            return true;
          }
        }
        return false;
      },
      within);
  return found;
}

std::vector<Received> FarEnd::received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

std::vector<Received> FarEnd::receivedOn(const std::string& topic) const {
  std::vector<Received> matching;
  for (auto& message : received()) {
    if (message.topic == topic) matching.push_back(message);
  }
  return matching;
}

bool FarEnd::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds within) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, within, done);
}

void FarEnd::OnMessage(mosquitto*, void* self, const mosquitto_message* message) {
  auto& end = *static_cast<FarEnd*>(self);
  const auto* bytes = static_cast<const char*>(message->payload);
  {
    std::lock_guard lock(end.mutex_);
    end.received_.push_back(
        {message->topic, std::string(bytes, bytes + message->payloadlen), message->retain});
  }
  end.changed_.notify_all();
}

void FarEnd::OnSubscribe(mosquitto*, void* self, int, int, const int*) {
  auto& end = *static_cast<FarEnd*>(self);
  {
    std::lock_guard lock(end.mutex_);
    end.subscribed_ = true;
  }
  end.changed_.notify_all();
}

void FarEnd::OnPublish(mosquitto*, void* self, int id) {
  auto& end = *static_cast<FarEnd*>(self);
  {
    std::lock_guard lock(end.mutex_);
    end.acknowledged_.push_back(id);
  }
  end.changed_.notify_all();
}

void WindowThread::post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  posted_.notify_all();
}

bool WindowThread::runUntil(const std::function<bool()>& done, std::chrono::milliseconds within) {
  const auto deadline = std::chrono::steady_clock::now() + within;
  // `done` may turn on another thread's news, so look again every few ms.
  constexpr auto kGlance = std::chrono::milliseconds(5);
  while (!done()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    std::vector<std::function<void()>> tasks;
    {
      std::unique_lock lock(mutex_);
      posted_.wait_until(lock, std::min(deadline, now + kGlance),
                         [this] { return !tasks_.empty(); });
      tasks.swap(tasks_);
    }
    for (auto& task : tasks) task();
  }
  return true;
}

void WindowThread::runFor(std::chrono::milliseconds span) {
  runUntil([] { return false; }, span);
}

}  // namespace pump::remote::testing
