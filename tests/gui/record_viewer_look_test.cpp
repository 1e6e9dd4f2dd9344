// What an operator sees in the record viewer: its buttons' captions whole,
// with the button's face showing round them.
#include <gtest/gtest.h>

#include <QImage>
#include <QPushButton>

#include "app/record_viewer_view.h"
#include "platform/posix/posix_files.h"
#include "tests/support/doubles.h"

namespace pump::app {
namespace {

// Columns of the button's middle row band that hold caption ink: pixels much
// darker than the button's face, which the frame's grey is not.
std::pair<int, int> CaptionColumns(const QImage& button) {
  int first = -1;
  int last = -1;
  for (int x = 0; x < button.width(); ++x) {
    for (int y = button.height() / 4; y < button.height() * 3 / 4; ++y) {
      if (button.pixelColor(x, y).lightness() >= 110) continue;
      if (first < 0) first = x;
      last = x;
      break;
    }
  }
  return {first, last};
}

TEST(RecordViewerLook, EachButtonCaptionFitsWithTheFaceShowingAtBothEnds) {
  posix::PosixFiles files;
  testing::ScriptedDialogs dialogs;
  RecordViewerView view(files, dialogs, "unused.txt");
  view.show();
  view.grab().save(QStringLiteral("record-viewer.png"));
  for (const char* name : {"Command1", "Command2"}) {
    auto* button = view.findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr);
    const QImage image = button->grab().toImage();
    const auto [first, last] = CaptionColumns(image);
    ASSERT_GE(first, 0) << name << " shows no caption";
    // The frame takes the outer two pixels; at least two more of face each side.
    EXPECT_GE(first, 4) << name;
    EXPECT_LE(last, image.width() - 5) << name;
  }
}

}  // namespace
}  // namespace pump::app
