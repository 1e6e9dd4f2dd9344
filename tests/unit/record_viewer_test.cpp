#include "records/record_viewer.h"

#include <gtest/gtest.h>

#include "records/record_file.h"
#include "tests/support/doubles.h"

namespace pump::records {
namespace {

struct ViewerFixture {
  testing::MemoryFiles files;
  testing::ScriptedDialogs dialogs;
  testing::CountingWindow mainWindow;
  testing::CountingWindow self;
  RecordViewer viewer{files, dialogs, mainWindow, self, "/home/op/Documents/mytext.txt"};

  void setFile(std::string bytes) {
    files.files["/home/op/Documents/mytext.txt"] = std::move(bytes);
  }
};

TEST(RecordViewer, AnEmptyFileGivesAnEmptyText) {
  ViewerFixture v;
  EXPECT_EQ(v.viewer.recordLine.text(), "Text1");
  v.setFile("");
  v.viewer.loadLastLine();
  EXPECT_EQ(v.viewer.recordLine.text(), "");
}

TEST(RecordViewer, LoadingTwiceGivesTheSameAndANewSaveShowsTheNewLastLine) {
  ViewerFixture v;
  v.setFile(" 1  2  3  4  5 \r\n");
  v.viewer.loadLastLine();
  v.viewer.loadLastLine();
  EXPECT_EQ(v.viewer.recordLine.text(), " 1  2  3  4  5 ");
  v.setFile("-9 ");
  v.viewer.loadLastLine();
  EXPECT_EQ(v.viewer.recordLine.text(), "-9 ");
}

TEST(RecordViewer, AMissingFileIsReportedAndTheBoxKeepsItsText) {
  ViewerFixture v;
  v.viewer.recordLine.editedTo("typed by the operator");
  v.viewer.loadLastLine();
  ASSERT_EQ(v.dialogs.messages().size(), 1u);
  EXPECT_NE(v.dialogs.messages()[0].prompt.find("No such file or directory"), std::string::npos);
  EXPECT_NE(v.dialogs.messages()[0].prompt.find("/home/op/Documents/mytext.txt"),
            std::string::npos);
  EXPECT_EQ(v.viewer.recordLine.text(), "typed by the operator");
}

TEST(RecordViewer, AnUnreadableFileIsReportedAndTheBoxKeepsItsText) {
  ViewerFixture v;
  v.setFile("1\r\n2");
  v.viewer.loadLastLine();
  v.files.failing["/home/op/Documents/mytext.txt"] = {false, "Permission denied"};
  v.viewer.loadLastLine();
  ASSERT_EQ(v.dialogs.messages().size(), 1u);
  EXPECT_NE(v.dialogs.messages()[0].prompt.find("Permission denied"), std::string::npos);
  EXPECT_EQ(v.viewer.recordLine.text(), "2");
}

TEST(RecordViewer, AFileThatIsNotARegularFileIsRefusedInChineseAndTheBoxKeepsItsText) {
  ViewerFixture v;
  v.files.failing["/home/op/Documents/mytext.txt"] = {false, "not a regular file",
                                                      FileFailure::NotARegularFile};
  v.viewer.loadLastLine();
  ASSERT_EQ(v.dialogs.messages().size(), 1u);
  EXPECT_EQ(v.dialogs.messages()[0].prompt,
            "记录文件不是普通文件，无法查看：/home/op/Documents/mytext.txt");
  EXPECT_EQ(v.viewer.recordLine.text(), "Text1");
}

// Only the file's end is read: the line must come out whole wherever the
// line breaks fall against the start of what is read.
TEST(RecordViewer, TheLastLineIsFoundFromTheFilesEndWhereverItsBreaksFall) {
  ViewerFixture v;
  const std::string longest(kMaxLineBytes, '7');
  v.setFile(std::string(100000, '1') + "\r\n" + longest + "\r\n");
  v.viewer.loadLastLine();
  EXPECT_EQ(v.viewer.recordLine.text(), longest);

  // The CR of the break before the line falls just outside what is read, its LF inside.
  const std::string overLong = "x" + longest;
  v.setFile("earlier\r\n" + overLong + "\r\n");
  v.viewer.loadLastLine();
  EXPECT_EQ(v.viewer.recordLine.text(), longest);

  v.setFile("earlier\r\r\n");
  v.viewer.loadLastLine();
  EXPECT_EQ(v.viewer.recordLine.text(), "") << "CR alone ends a line, so the last line is empty";
}

TEST(RecordViewer, ALineLongerThanTheBoxHoldsKeepsItsLastPartAtTheBoxesLimit) {
  ViewerFixture v;
  std::string huge(5'000'000, '5');
  huge.replace(huge.size() - 3, 3, "end");
  v.setFile("first line\r" + huge);
  v.viewer.loadLastLine();
  ASSERT_EQ(v.viewer.recordLine.text().size(), kMaxLineBytes);
  EXPECT_TRUE(v.viewer.recordLine.text().ends_with("555end"));
}

TEST(RecordViewer, ReturnShowsTheMainWindowAndHidesTheViewerKeepingItsText) {
  ViewerFixture v;
  v.setFile("last");
  v.viewer.loadLastLine();
  v.viewer.backToMainWindow();
  EXPECT_EQ(v.mainWindow.shows, 1);
  EXPECT_EQ(v.mainWindow.hides, 0);
  EXPECT_EQ(v.self.hides, 1);
  EXPECT_FALSE(v.self.visible);
  EXPECT_EQ(v.viewer.recordLine.text(), "last");
}

}  // namespace
}  // namespace pump::records
