#include "board/qt/board_broker.h"

#include "remote/qt/remote_dialog.h"

namespace pump::board::qt {
namespace {

// How long a message may wait for others to reach the window with it: well
// inside the 200 ms a reading may take to its tile.
constexpr std::chrono::milliseconds kGather{40};

}  // namespace

BoardBroker::BoardBroker(const remote::RemoteSettings& settings)
    : settings_(settings),
      poster_(std::make_unique<GatheringPoster>(kGather)),
      connection_(std::make_unique<remote::MosquittoConnection>(settings, poster_->post())) {}

BoardBroker::~BoardBroker() {
  connection_->stop({});
  connection_.reset();
  poster_.reset();  // drops the tasks the network thread posted and nobody ran
}

std::optional<remote::RemoteSettings> AskBrokerSettings(QWidget* parent, QSettings& store,
                                                        const remote::RemoteSettings* shown) {
  remote::qt::StoredRemoteSettings stored = remote::qt::LoadRemoteSettings(store);
  if (shown) stored.settings = *shown;
  remote::qt::RemoteDialog dialog(stored, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const remote::qt::StoredRemoteSettings chosen = dialog.chosen();
  remote::qt::SaveRemoteSettings(store, chosen);
  return chosen.settings;
}

void ChangeBroker(QWidget* parent, QSettings& store, std::unique_ptr<BoardBroker>& broker,
                  BoardFeed& feed) {
  const auto chosen = AskBrokerSettings(parent, store, broker ? &broker->settings() : nullptr);
  if (!chosen || chosen->brokerUrl.empty()) return;
  broker.reset();  // the old broker is left before the new one is joined
  broker = std::make_unique<BoardBroker>(*chosen);
  feed.moveTo(broker->connection());
}

}  // namespace pump::board::qt
