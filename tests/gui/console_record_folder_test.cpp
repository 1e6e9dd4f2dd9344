// The whole console, as started by the program, against the user's home
// folder: what exists on disk before and after a save, and where the record
// boxes appear.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/composition.h"
#include "tests/support/scoped_variable.h"

namespace pump::app {
namespace {

namespace fs = std::filesystem;

using testing::HomeAt;

struct BoxSeen {
  QString text;
  QWidget* parent = nullptr;
  QPoint centre;
};

// Runs `action`, which raises one message box, and closes that box.
BoxSeen CloseTheBoxOf(const std::function<void()>& action) {
  BoxSeen seen;
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen = {box->text(), box->parentWidget(), box->frameGeometry().center()};
    box->accept();
  });
  action();
  return seen;
}

constexpr const char* kSaved = "当前压力数值以存储";

TEST(ConsoleRecordFolder, StartUpCreatesNothingAndTheFirstSaveMakesTheDocumentsFolder) {
  QTemporaryDir home;
  HomeAt at(home.path().toStdString());
  Console console;
  console.start();
  QTest::qWait(3000);  // anything made shortly after start-up counts too
  EXPECT_TRUE(fs::is_empty(home.path().toStdString())) << "the home folder was written at start-up";

  EXPECT_EQ(CloseTheBoxOf([&] { console.window().saveRecord(); }).text, kSaved);
  EXPECT_TRUE(fs::is_regular_file(home.path().toStdString() + "/Documents/mytext.txt"));
}

TEST(ConsoleRecordFolder, AFolderDeletedWhileTheConsoleRunsIsMadeAgainByTheNextSave) {
  QTemporaryDir home;
  HomeAt at(home.path().toStdString());
  Console console;
  console.start();
  const fs::path documents = home.path().toStdString() + "/Documents";
  ASSERT_EQ(CloseTheBoxOf([&] { console.window().saveRecord(); }).text, kSaved);
  fs::remove_all(documents);
  EXPECT_EQ(CloseTheBoxOf([&] { console.window().saveRecord(); }).text, kSaved);
  EXPECT_TRUE(fs::is_regular_file(documents / "mytext.txt"));
}

TEST(ConsoleRecordFolder, AHomePathThatIsNotUtf8IsSavedToUnderItsOwnBytes) {
  QTemporaryDir base;
  const std::string latin1Home = base.path().toStdString() + "/op\xE9rateur";
  fs::create_directory(latin1Home);
  HomeAt at(latin1Home);
  Console console;
  console.start();
  EXPECT_EQ(CloseTheBoxOf([&] { console.window().saveRecord(); }).text, kSaved);
  EXPECT_TRUE(fs::is_regular_file(latin1Home + "/Documents/mytext.txt"));
  const auto viewer = console.recordViewer().findChild<QPushButton*>(QStringLiteral("Command2"));
  console.recordViewer().show();
  EXPECT_EQ(CloseTheBoxOf([&] { viewer->click(); }).text, QString())
      << "the viewer reads the same file back without a box";
  fs::remove_all(latin1Home);  // QTemporaryDir cannot remove a name that is not UTF-8
}

TEST(ConsoleRecordBoxes, TheViewersBoxBelongsToTheViewerAndIsCentredOnIt) {
  QTemporaryDir home;
  HomeAt at(home.path().toStdString());
  Console console;
  console.start();
  RecordViewerView& viewer = console.recordViewer();
  // In the screen's far corner from the main window, so the two centres differ.
  const QRect screen = viewer.screen()->availableGeometry();
  viewer.show();
  viewer.move(screen.right() - viewer.frameGeometry().width(), screen.top());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
  const BoxSeen box =
      CloseTheBoxOf([&] { viewer.findChild<QPushButton*>(QStringLiteral("Command2"))->click(); });
  EXPECT_TRUE(box.text.startsWith(QStringLiteral("记录文件无法读取："))) << box.text.toStdString();
  EXPECT_EQ(box.parent, &viewer);
  const QPoint mainOffset =
      viewer.frameGeometry().center() - console.mainWindowView().frameGeometry().center();
  ASSERT_GT(mainOffset.manhattanLength(), 100) << "the two windows must not share a centre";
  // Centred on the viewer (as near as the window system places it), well
  // inside the viewer's frame.
  const QPoint offset = box.centre - viewer.frameGeometry().center();
  EXPECT_LE(offset.manhattanLength(), 60) << offset.x() << "," << offset.y();
}

TEST(ConsoleRecordBoxes, TheMainWindowsBoxesStillBelongToTheMainWindow) {
  QTemporaryDir home;
  HomeAt at(home.path().toStdString());
  Console console;
  console.start();
  const BoxSeen box = CloseTheBoxOf([&] { console.window().saveRecord(); });
  EXPECT_EQ(box.parent, &console.mainWindowView());
}

}  // namespace
}  // namespace pump::app
