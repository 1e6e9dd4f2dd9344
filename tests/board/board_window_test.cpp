// The board's window, offscreen: twelve pumps, two of them in alarm. With
// BOARD_SCREENSHOT=<file.png> in the environment it also saves the window.
#include "board/qt/board_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QJsonDocument>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdio>

#include "board/qt/tile_widget.h"
#include "remote/broker_connection.h"

namespace pump::board::qt {
namespace {

using namespace std::chrono_literals;

// Keeps what the board would send; the broker's own tests are elsewhere.
class SentMessages : public remote::BrokerConnection {
 public:
  void start(remote::BrokerSession given) override { session = std::move(given); }
  bool publish(remote::BrokerMessage message) override {
    sent.push_back(std::move(message));
    return true;
  }
  void stop(const remote::BrokerMessage&) override {}

  remote::BrokerSession session;
  std::vector<remote::BrokerMessage> sent;
};

std::string Status(int number, double pressure, bool remoteControl) {
  const char* program =
      number == 7 ? R"({"name":"升流量","state":"running","step":2,"steps":5,"seconds_left":1234})"
                  : "null";
  char text[600];
  std::snprintf(text, sizeof text,
                R"({"pump_id":"P%02d","online":true,"link":"answering","port":"/dev/ttyUSB0",)"
                R"("pump":"%s","flow_ml_min":%d,"pressure_limit_mpa":5.0,"pressure_mpa":%.1f,)"
                R"("run":{"state":"%s","seconds_left":%s},"program":%s,"remote_control":%s})",
                number, number % 3 ? "RUN" : "STOP", number * 10, pressure,
                number % 4 == 1 ? "running" : "idle", number % 4 == 1 ? "1530" : "null", program,
                remoteControl ? "true" : "false");
  return text;
}

class BoardWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    feed.start();
    // Ten minutes of readings, then the last will of P04 and P09 over its limit.
    for (int minute = 0; minute <= 10; ++minute) {
      for (int number = 12; number >= 1; --number) {
        const double pressure = 1 + 0.25 * number + 0.3 * std::sin(minute + number);
        deliver("pumps/P" + Pad(number) + "/status", Status(number, pressure, number % 2 == 1));
      }
      if (minute == 10) break;
      now.steady += 1min;
      now.wall += 1min;
    }
    deliver("pumps/P04/status", R"({"online":false,"pump_id":"P04"})");
    deliver("pumps/P09/pressure", R"({"pressure_mpa":5.1})");
    window.resize(1000, 900);
    window.show();
    shown = &window;
    window.boardChanged();
    ASSERT_TRUE(settle([&] { return window.findChildren<TileWidget*>().size() == 12; }));
  }

  static std::string Pad(int number) { return (number < 10 ? "0" : "") + std::to_string(number); }

  void deliver(const std::string& topic, const std::string& payload) {
    connection.session.messageArrived({topic, payload, 0, false});
  }

  TileWidget* tile(const char* id) {
    return window.findChild<TileWidget*>(QStringLiteral("tile-") + id);
  }
  QString caption(const char* id, const char* label) {
    const TileWidget* shownTile = tile(id);
    return shownTile ? shownTile->findChild<QLabel*>(label)->text() : "(no tile)";
  }

  static bool settle(const std::function<bool()>& done) { return QTest::qWaitFor(done, 5000); }

  BoardTime now = BoardTime::Now();
  SentMessages connection;
  Board board{"pumps", "board-window"};
  BoardWindow* shown = nullptr;
  BoardFeed feed{board, connection, [this] { return now; },
                 [this] {
                   if (shown) shown->boardChanged();
                 }};
  BoardWindow window{board, feed};
};

TEST_F(BoardWindowTest, TwelvePumpsTwoInAlarmShowAsRedTilesCountedInTheTitle) {
  ASSERT_TRUE(settle([&] { return window.windowTitle() == "泵站总览 — 报警 2"; }))
      << window.windowTitle().toStdString();
  EXPECT_EQ(window.findChildren<TileWidget*>().size(), 12);
  EXPECT_EQ(caption("P09", "pressure"), "5.1 / 5.0 MPa");
  EXPECT_EQ(caption("P05", "flow"), "50 ml/min");
  EXPECT_EQ(caption("P07", "run"), "程序 升流量 步骤 2/5 剩余 00:20:34");
  EXPECT_EQ(caption("P05", "run"), "定时运行 00:25:30");
  EXPECT_EQ(caption("P03", "pump"), "STOP");
  EXPECT_EQ(caption("P04", "link"), "离线");
  const QColor red(0xd3, 0x2f, 0x2f);
  EXPECT_EQ(tile("P04")->palette().color(QPalette::Window), red);
  EXPECT_EQ(tile("P09")->palette().color(QPalette::Window), red);
  EXPECT_NE(tile("P05")->palette().color(QPalette::Window), red);
  // Drawn red, too: a tile takes its own colours, not those of the view it sits in.
  EXPECT_EQ(tile("P04")->grab().toImage().pixel(3, 100), red.rgb());
  EXPECT_NE(tile("P05")->grab().toImage().pixel(3, 100), red.rgb());

  // Sorted by pump id: P01 first, P12 last, four to a row.
  ASSERT_TRUE(settle([&] { return tile("P12")->pos().y() > 0; }));
  EXPECT_LT(tile("P01")->pos().x(), tile("P02")->pos().x());
  EXPECT_LT(tile("P04")->pos().y(), tile("P05")->pos().y());

  const auto* alarms = window.findChild<QListWidget*>("alarms");
  ASSERT_EQ(alarms->count(), 2);
  EXPECT_TRUE(alarms->item(0)->text().contains("P04  离线  开始"));
  EXPECT_TRUE(alarms->item(1)->text().contains("P09  压力达到上限  开始"));

  if (const QByteArray file = qgetenv("BOARD_SCREENSHOT"); !file.isEmpty()) {
    ASSERT_TRUE(window.grab().save(QString::fromLocal8Bit(file)));
  }

  deliver("pumps/P09/pressure", R"({"pressure_mpa":4.2})");
  ASSERT_TRUE(settle([&] { return window.windowTitle() == "泵站总览 — 报警 1"; }));
  EXPECT_TRUE(alarms->item(2)->text().contains("P09  压力达到上限  结束"));
}

TEST_F(BoardWindowTest, AHostileIdAndAnUnknownRunStateShowAsSuch) {
  deliver("pumps/<b>P01<b>/status", Status(1, 2.0, true));  // ids hold no slash
  deliver("pumps/P00\u202E/status", R"({"online":false,"pump_id":"P00"})");
  window.boardChanged();
  ASSERT_TRUE(settle([&] { return tile("<b>P01<b>") && tile("P00\u202E"); }));
  const auto* id = tile("<b>P01<b>")->findChild<QLabel*>("id");
  EXPECT_EQ(id->text(), "<b>P01<b>");
  EXPECT_EQ(id->textFormat(), Qt::PlainText);
  EXPECT_EQ(caption("P00\u202E", "id"), "P00<U+202E>");
  EXPECT_EQ(caption("P00\u202E", "pump"), "—");
  EXPECT_EQ(caption("P00\u202E", "pressure"), "— / — MPa");
  if (const QByteArray folder = qgetenv("BOARD_SHOTS"); !folder.isEmpty()) {
    const QString into = QString::fromLocal8Bit(folder);
    ASSERT_TRUE(tile("<b>P01<b>")->grab().save(into + "/tile-hostile-id.png"));
    ASSERT_TRUE(tile("P00\u202E")->grab().save(into + "/tile-run-unknown.png"));
  }
}

TEST_F(BoardWindowTest, FiveHundredPumpsCostAScreenfulOfTilesAndScrollToTheLast) {
  for (int number = 0; number < 500; ++number) {
    const std::string id = "Q" + std::to_string(1000 + number);
    deliver("pumps/" + id + "/status",
            R"({"online":true,"pressure_mpa":)" + std::to_string(number / 100.0) + "}");
  }
  window.boardChanged();
  auto* tiles = window.findChild<QAbstractScrollArea*>("tiles");
  ASSERT_TRUE(settle([&] { return tiles->verticalScrollBar()->maximum() > 0; }));
  const auto tileWidgets = [&] { return window.findChildren<TileWidget*>().size(); };
  EXPECT_LE(tileWidgets(), 24) << "a widget per pump in view, not per pump";
  EXPECT_FALSE(tile("Q1499"));

  tiles->verticalScrollBar()->setValue(tiles->verticalScrollBar()->maximum());
  ASSERT_TRUE(settle([&] { return tile("Q1499") != nullptr; }));
  EXPECT_EQ(caption("Q1499", "pressure"), "5.0 / — MPa");
  EXPECT_LT(tile("Q1499")->geometry().bottom(), tiles->viewport()->height());
  EXPECT_FALSE(tile("P01"));
  EXPECT_LE(tileWidgets(), 24);
}

TEST_F(BoardWindowTest, StopAllAsksOnceAndStopsOnlyThePumpsThatAllowIt) {
  QString asked;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    asked = box->text();
    box->button(QMessageBox::Yes)->click();
  });
  answer.start(20);
  window.stopAll();
  answer.stop();
  EXPECT_TRUE(asked.contains("P05")) << asked.toStdString();
  EXPECT_FALSE(asked.contains("P06")) << "P06 does not take commands";
  std::vector<std::string> topics;
  for (const auto& message : connection.sent) topics.push_back(message.topic);
  // The odd pumps take commands; P09 too, though in alarm; P04's console is offline.
  EXPECT_EQ(topics, (std::vector<std::string>{"pumps/P01/cmd/stop", "pumps/P03/cmd/stop",
                                              "pumps/P05/cmd/stop", "pumps/P07/cmd/stop",
                                              "pumps/P09/cmd/stop", "pumps/P11/cmd/stop"}));
  EXPECT_TRUE(settle([&] { return caption("P05", "command") == "停泵 等待回应…"; }));

  // P01 refuses, P11 says nothing, the rest stop.
  for (const auto& message : connection.sent) {
    const QString pump = QString::fromStdString(message.topic).section('/', 1, 1);
    const QString requestId =
        QJsonDocument::fromJson(QByteArray::fromStdString(message.payload))["request_id"]
            .toString();
    if (pump == "P11") continue;
    deliver("pumps/" + pump.toStdString() + "/cmd/result",
            (pump == "P01" ? R"({"ok":false,"error":"本地操作中","request_id":")"
                           : R"({"ok":true,"request_id":")") +
                requestId.toStdString() + R"("})");
  }
  now.steady += 5s;
  feed.tick();
  window.boardChanged();
  ASSERT_TRUE(settle([&] { return caption("P11", "command") == "停泵 无回应"; }));
  QMessageBox* report = nullptr;
  ASSERT_TRUE(settle([&] { return (report = window.findChild<QMessageBox*>("stopAllReport")); }));
  EXPECT_EQ(report->text(),
            "以下泵拒绝了停泵命令：\nP01：本地操作中\n\n以下泵没有回应：\nP11\n\n"
            "以下泵已停泵：\nP03\nP05\nP07\nP09");
  EXPECT_EQ(caption("P01", "command"), "停泵 已拒绝: 本地操作中");
}

}  // namespace
}  // namespace pump::board::qt
