#include "records/record_viewer.h"

#include <gtest/gtest.h>

#include "tests/support/doubles.h"

namespace pump::records {
namespace {

struct ViewerFixture {
  testing::MemoryFiles files;
  testing::ScriptedDialogs dialogs;
  testing::CountingWindow form1;
  testing::CountingWindow self;
  Form2 form2{files, dialogs, form1, self, "/home/op/Documents/mytext.txt"};

  void setFile(std::string bytes) {
    files.files["/home/op/Documents/mytext.txt"] = std::move(bytes);
  }
};

TEST(RecordViewer, AnEmptyFileGivesAnEmptyText) {
  ViewerFixture v;
  EXPECT_EQ(v.form2.Text1.text(), "Text1");
  v.setFile("");
  v.form2.Command2_Click();
  EXPECT_EQ(v.form2.Text1.text(), "");
}

TEST(RecordViewer, LoadingTwiceGivesTheSameAndANewSaveShowsTheNewLastLine) {
  ViewerFixture v;
  v.setFile(" 1  2  3  4  5 \r\n");
  v.form2.Command2_Click();
  v.form2.Command2_Click();
  EXPECT_EQ(v.form2.Text1.text(), " 1  2  3  4  5 ");
  v.setFile("-9 ");
  v.form2.Command2_Click();
  EXPECT_EQ(v.form2.Text1.text(), "-9 ");
}

TEST(RecordViewer, AMissingFileIsReportedAndTheBoxKeepsItsText) {
  ViewerFixture v;
  v.form2.Text1.editedTo("typed by the operator");
  v.form2.Command2_Click();
  ASSERT_EQ(v.dialogs.messages().size(), 1u);
  EXPECT_NE(v.dialogs.messages()[0].prompt.find("No such file or directory"), std::string::npos);
  EXPECT_NE(v.dialogs.messages()[0].prompt.find("/home/op/Documents/mytext.txt"),
            std::string::npos);
  EXPECT_EQ(v.form2.Text1.text(), "typed by the operator");
}

TEST(RecordViewer, AnUnreadableFileIsReportedAndTheBoxKeepsItsText) {
  ViewerFixture v;
  v.setFile("1\r\n2");
  v.form2.Command2_Click();
  v.files.failing["/home/op/Documents/mytext.txt"] = "Permission denied";
  v.form2.Command2_Click();
  ASSERT_EQ(v.dialogs.messages().size(), 1u);
  EXPECT_NE(v.dialogs.messages()[0].prompt.find("Permission denied"), std::string::npos);
  EXPECT_EQ(v.form2.Text1.text(), "2");
}

TEST(RecordViewer, ReturnShowsTheMainWindowAndHidesTheViewerKeepingItsText) {
  ViewerFixture v;
  v.setFile("last");
  v.form2.Command2_Click();
  v.form2.Command1_Click();
  EXPECT_EQ(v.form1.shows, 1);
  EXPECT_EQ(v.form1.hides, 0);
  EXPECT_EQ(v.self.hides, 1);
  EXPECT_FALSE(v.self.visible);
  EXPECT_EQ(v.form2.Text1.text(), "last");
}

}  // namespace
}  // namespace pump::records
