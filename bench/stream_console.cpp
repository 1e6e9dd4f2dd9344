#include "bench/stream_console.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/qt/caption_label.h"
#include "platform/qt/hinted_input_dialog.h"
#include "remote/broker_connection.h"
#include "remote/remote_settings.h"
#include "tests/support/console_harness.h"

namespace pump::bench {

namespace {

// Answers the port box the way an operator would.
void AnswerPortBox(const std::string& device) {
  QTimer::singleShot(0, [device] {
    auto* box = qobject_cast<qt::HintedInputDialog*>(QApplication::activeModalWidget());
    auto* edit = box ? box->findChild<QLineEdit*>(QStringLiteral("answer")) : nullptr;
    if (!edit) {
      std::fprintf(stderr, "stream_bench: the port box did not appear\n");
      std::exit(2);
    }
    edit->setText(QString::fromStdString(device));
    box->accept();
  });
}

}  // namespace

bool OpenPort(app::Console& console, const std::string& device) {
  AnswerPortBox(device);
  console.window().choosePort();
  return testing::MenusReleased(console.window());
}

void ReportCaptionsDrawn(app::Console& console) {
  std::printf("captions drawn afresh:");
  for (const auto* label : console.mainWindowView().findChildren<qt::CaptionLabel*>()) {
    if (label->captionsDrawn() > 0) {
      std::printf(" %s %lld", label->objectName().toUtf8().constData(), label->captionsDrawn());
    }
  }
  std::printf("\n");
}

bool BrokerConnected(app::Console& console) {
  const auto* line = console.mainWindowView().findChild<QLabel*>(QStringLiteral("remoteStatus"));
  const std::string connected =
      std::string("● ") + remote::BrokerStateText(remote::BrokerState::Connected);
  return line && line->text().toStdString() == connected;
}

bool ConnectToBroker(app::Console& console, const std::string& url) {
  remote::RemoteSettings settings;
  settings.brokerUrl = url;
  settings.pumpId = "stream-bench";
  console.startRemote(settings);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!BrokerConnected(console) && std::chrono::steady_clock::now() < deadline) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return BrokerConnected(console);
}

}  // namespace pump::bench
