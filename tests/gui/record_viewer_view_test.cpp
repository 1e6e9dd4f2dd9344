#include "app/record_viewer_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "tests/support/viewer_window.h"

namespace pump::app {
namespace {

using testing::ViewerWindow;

TEST(RecordViewerWindow, HasItsDesignCaptionSizeTextsAndGeometry) {
  ViewerWindow w;
  EXPECT_EQ(w.view.windowTitle(), QStringLiteral("泵启动和停止时间记录"));
  EXPECT_EQ(w.view.size(), QSize(578, 338));
  EXPECT_EQ(w.text1().text(), QStringLiteral("Text1"));
  EXPECT_EQ(w.text1().geometry(), QRect(72, 64, 393, 137));
  EXPECT_EQ(w.button("Command2").text(), QStringLiteral("Command2"));
  EXPECT_EQ(w.button("Command2").geometry(), QRect(408, 304, 57, 25));
  EXPECT_EQ(w.button("Command1").text(), QStringLiteral("退出"));
  EXPECT_EQ(w.button("Command1").geometry(), QRect(504, 304, 49, 25));
  EXPECT_FALSE(w.view.isVisible()) << "nothing shows the viewer until it is asked for";
}

TEST(RecordViewerWindow, OpensWithFocusOnReturnAndTabsToLoadThenTheText) {
  ViewerWindow w;
  w.view.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w.view));
  EXPECT_EQ(QApplication::focusWidget(), &w.button("Command1"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), &w.button("Command2"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), &w.text1());
}

TEST(RecordViewerWindow, LoadShowsTheLastLineOfTheSavedFile) {
  ViewerWindow w;
  w.writeRecord(" 1  2  3  4  5 \r\n 6  7.25 ");
  w.view.show();
  QTest::mouseClick(&w.button("Command2"), Qt::LeftButton);
  EXPECT_EQ(w.text1().text(), QStringLiteral(" 6  7.25 "));
  EXPECT_EQ(w.view.viewer().recordLine.text(), " 6  7.25 ");
}

TEST(RecordViewerWindow, ALongLineIsShownFromItsBeginning) {
  ViewerWindow w;
  std::string line;
  for (int i = 0; i < 40; ++i) line += " 123.456 ";
  w.writeRecord(line);
  w.view.show();
  QTest::mouseClick(&w.button("Command2"), Qt::LeftButton);
  EXPECT_EQ(w.text1().text().toStdString(), line);
  EXPECT_EQ(w.text1().cursorPosition(), 0);
}

TEST(RecordViewerWindow, OperatorTypingReachesTheModel) {
  ViewerWindow w;
  w.view.show();
  w.text1().clear();
  QTest::keyClicks(&w.text1(), "note 1");
  EXPECT_EQ(w.view.viewer().recordLine.text(), "note 1");
}

TEST(RecordViewerWindow, ReturnHidesTheViewerShowsTheMainWindowAndKeepsTheText) {
  ViewerWindow w;
  w.writeRecord("-1.5 ");
  w.view.show();
  QTest::mouseClick(&w.button("Command2"), Qt::LeftButton);
  QTest::mouseClick(&w.button("Command1"), Qt::LeftButton);
  EXPECT_FALSE(w.view.isVisible());
  EXPECT_EQ(w.mainWindow.shows, 1);
  EXPECT_EQ(w.mainWindow.hides, 0);
  w.view.show();
  EXPECT_TRUE(w.view.isVisible());
  EXPECT_EQ(w.text1().text(), QStringLiteral("-1.5 "));
}

}  // namespace
}  // namespace pump::app
