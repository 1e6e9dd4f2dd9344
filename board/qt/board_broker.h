// The board's one broker: its connection and the object the connection's
// tasks are posted to. Replaced whole when the operator picks another broker,
// so that nothing the old one still had on its way reaches the board.
#pragma once

#include <QObject>
#include <QSettings>
#include <memory>
#include <optional>

#include "board/board_feed.h"
#include "board/qt/gathering_poster.h"
#include "remote/mosquitto_connection.h"
#include "remote/remote_settings.h"

class QWidget;

namespace pump::board::qt {

class BoardBroker {
 public:
  explicit BoardBroker(const remote::RemoteSettings& settings);
  ~BoardBroker();
  BoardBroker(const BoardBroker&) = delete;
  BoardBroker& operator=(const BoardBroker&) = delete;

  remote::BrokerConnection& connection() { return *connection_; }
  const remote::RemoteSettings& settings() const { return settings_; }

 private:
  remote::RemoteSettings settings_;
  std::unique_ptr<GatheringPoster> poster_;
  std::unique_ptr<remote::MosquittoConnection> connection_;
};

// 远程监控…, the console's own dialog, starting from `shown` (what runs, or
// what is stored). The settings chosen, saved in `store`; nothing if cancelled.
std::optional<remote::RemoteSettings> AskBrokerSettings(QWidget* parent, QSettings& store,
                                                        const remote::RemoteSettings* shown);

// Asks, and on a new choice moves the feed to a broker made from it.
void ChangeBroker(QWidget* parent, QSettings& store, std::unique_ptr<BoardBroker>& broker,
                  BoardFeed& feed);

}  // namespace pump::board::qt
