// The whole console, its real boxes answered as an operator would, losing
// its pump: one box, the window stays, and another pump can be opened.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <set>

#include "app/composition.h"
#include "tests/support/console_harness.h"
#include "tests/support/port_box_answer.h"
#include "tests/support/pty_pair.h"
#include "tests/support/pump_sim_process.h"

namespace pump {
namespace {

using testing::OpenThroughThePortBox;
using testing::PumpSimProcess;
using testing::WaitUntil;

// Every message box that comes up is read and closed with OK.
class BoxWatcher {
 public:
  BoxWatcher() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || seen_.count(box) != 0) return;
      seen_.insert(box);
      texts.push_back(box->text().toStdString());
      QTest::keyClick(box, Qt::Key_Return);
    });
    timer_.start();
  }
  std::vector<std::string> texts;

 private:
  QTimer timer_;
  std::set<QPointer<QMessageBox>> seen_;
};

TEST(WholeConsole, APumpHangingUpShowsOneBoxAndTheWindowCarriesOn) {
  PumpSimProcess first({"--hangup-after", "3"});
  ASSERT_FALSE(first.devicePath().empty());
  app::Console console(/*logFolder=*/"");  // no run log: not what is tested here
  console.start();
  auto& w = console.window();
  OpenThroughThePortBox(console.window(), first.devicePath());
  ASSERT_TRUE(testing::MenusReleased(w));
  ASSERT_TRUE(WaitUntil([&] { return w.chart().position() >= 1; }, 4000));

  BoxWatcher boxes;
  ASSERT_TRUE(WaitUntil([&] { return !testing::MenusReleased(w); }, 5000));
  QTest::qWait(800);
  ASSERT_EQ(boxes.texts.size(), 1U);
  EXPECT_NE(boxes.texts[0].find(first.devicePath() + " 已断开"), std::string::npos)
      << boxes.texts[0];
  EXPECT_TRUE(console.mainWindowView().isVisible());
  EXPECT_FALSE(w.menus.file.enabled());
  EXPECT_FALSE(w.menus.pump.enabled());

  PumpSimProcess second;
  ASSERT_FALSE(second.devicePath().empty());
  const int before = w.chart().position();
  OpenThroughThePortBox(console.window(), second.devicePath());
  ASSERT_TRUE(testing::MenusReleased(w));
  EXPECT_TRUE(w.menus.file.enabled());
  EXPECT_TRUE(WaitUntil([&] { return w.chart().position() > before; }, 4000));
  EXPECT_EQ(boxes.texts.size(), 1U);
}

TEST(WholeConsole, APumpHangingUpWhileThePortBoxIsOpenIsReportedOnceAndTheNewPortOpens) {
  PumpSimProcess first({"--hangup-after", "3"});
  PumpSimProcess second;
  ASSERT_FALSE(first.devicePath().empty());
  ASSERT_FALSE(second.devicePath().empty());
  app::Console console(/*logFolder=*/"");  // no run log: not what is tested here
  console.start();
  auto& w = console.window();
  OpenThroughThePortBox(console.window(), first.devicePath());
  ASSERT_TRUE(testing::MenusReleased(w));

  // The operator opens the port box to change pumps and is slow to answer:
  // the first pump hangs up meanwhile. Its box comes up over the port box.
  BoxWatcher boxes;
  bool answered = false;
  QElapsedTimer waiting;  // no hang-up box within 8 s: answer anyway, fail below
  waiting.start();
  QTimer answer;
  answer.setInterval(10);
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* box = testing::ShownPortBox();
    if (box == nullptr || answered || (boxes.texts.empty() && waiting.elapsed() < 8000)) return;
    answered = true;
    testing::AnswerPortBox(*box, second.devicePath());
  });
  answer.start();
  w.choosePort();

  ASSERT_EQ(boxes.texts.size(), 1U);
  EXPECT_NE(boxes.texts[0].find(first.devicePath() + " 已断开"), std::string::npos)
      << boxes.texts[0];
  ASSERT_TRUE(testing::MenusReleased(w));
  EXPECT_TRUE(w.menus.file.enabled());
  const int before = w.chart().position();
  EXPECT_TRUE(WaitUntil([&] { return w.chart().position() > before; }, 4000));
  QTest::qWait(300);
  EXPECT_EQ(boxes.texts.size(), 1U);
}

}  // namespace
}  // namespace pump
