#include "remote/qt/remote_monitoring.h"

#include <cstdio>

#include "remote/qt/window_poster.h"
#include "texts/operator_texts.h"

namespace pump::remote::qt {
namespace {

// Dark colours that read on the pale status panel, as the link's own do.
constexpr char kGood[] = "#006400";
constexpr char kBad[] = "#b00000";
constexpr char kNeutral[] = "#404040";
constexpr char kCommand[] = "#00308f";

}  // namespace

RemoteMonitoring::RemoteMonitoring(session::PumpSession& session, RemoteStatusShown show,
                                   RemoteNoticeShown notify, BrokerConnector connect)
    : session_(session),
      show_(std::move(show)),
      notify_(std::move(notify)),
      connect_(std::move(connect)) {
  // The feed keeps its listeners for good: this one forwards to whatever
  // station runs at the time.
  session_.events().subscribe([this](const session::SessionEvent& event) {
    if (station_) station_->onSessionEvent(event);
  });
}

RemoteMonitoring::~RemoteMonitoring() { stop(); }

void RemoteMonitoring::apply(const RemoteSettings& settings) {
  stop();
  settings_ = settings;
  if (settings.brokerUrl.empty()) {
    show("", kNeutral);
    return;
  }
  connection_ = connect_(settings, PostTo(this));
  if (!connection_) {
    show(std::string("● ") + BrokerStateText(BrokerState::Disconnected), kBad);
    return;
  }
  RemoteStationHooks hooks;
  hooks.brokerStatusChanged = [this](const BrokerStatus& status) {
    std::string text = std::string("● ") + BrokerStateText(status.state);
    if (status.state == BrokerState::Disconnected && !status.detail.empty()) {
      text += " (" + status.detail + ")";
    }
    show(text, status.state == BrokerState::Connected      ? kGood
               : status.state == BrokerState::Disconnected ? kBad
                                                           : kNeutral);
  };
  hooks.commandHandled = [this](const RemoteCommandNotice& notice) {
    show(notice.statusText + (notice.requestId.empty() ? "" : "  [" + notice.requestId + "]"),
         notice.ok ? kCommand : kBad);
    // A row in the run log, mirrored on the broker's event topic.
    session_.note(notice.ok ? EventKind::Command : EventKind::Refused, notice.logDetail);
  };
  hooks.pumpIdInUse = [this] {
    const std::string text = texts::PumpIdInUse(EffectivePumpId(settings_));
    if (notify_) {
      notify_(text, texts::kRemoteTitle);
    } else {
      std::fprintf(stderr, "%s: %s\n", texts::kRemoteTitle, text.c_str());
    }
  };
  hooks.interlockTripped = [this](const std::string& text) { show(text, kBad); };
  groupTimer_ = std::make_unique<pump::qt::QtTimer>();
  station_ = std::make_unique<RemoteStation>(settings, *connection_, session_, std::move(hooks),
                                             session_.state(), groupTimer_.get());
  station_->start();
}

void RemoteMonitoring::stop() {
  if (station_) station_->stop();
  station_.reset();
  groupTimer_.reset();
  connection_.reset();
}

void RemoteMonitoring::show(const std::string& text, const char* colour) {
  if (show_) {
    show_(text, colour);
  } else if (!text.empty()) {
    std::fprintf(stderr, "%s\n", text.c_str());
  }
}

}  // namespace pump::remote::qt
