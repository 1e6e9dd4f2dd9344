#include "records/record_viewer.h"

#include "records/record_file.h"

namespace pump::records {
namespace {

// Operator texts of the viewer's boxes.
constexpr const char* kUnreadableText = "记录文件无法读取：";
constexpr const char* kNotARegularFileText = "记录文件不是普通文件，无法查看：";
constexpr const char* kViewerBoxTitle = "查看记录";

}  // namespace

void Form2::Command1_Click() {
  form1_.show();
  self_.hide();
}

// Only the last line reaches the box; nothing is parsed. Only the file's end
// is read, so neither a huge file nor a device can hold the window. A file
// that cannot be read is reported and the box keeps what it showed.
void Form2::Command2_Click() {
  std::string tail;
  const FileResult read = files_.readTail(recordPath_, kLastLineTailBytes, &tail);
  if (read.failure == FileFailure::NotARegularFile) {
    dialogs_.MsgBox(kNotARegularFileText + recordPath_, kViewerBoxTitle);
    return;
  }
  if (!read.ok) {
    dialogs_.MsgBox(kUnreadableText + recordPath_ + "\n" + read.error, kViewerBoxTitle);
    return;
  }
  Text1.setText(std::string(LastLineOfTail(tail)));
}

}  // namespace pump::records
