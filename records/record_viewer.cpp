#include "records/record_viewer.h"

#include "records/record_file.h"

namespace pump::records {

void Form2::Command1_Click() {
  form1_.show();
  self_.hide();
}

// Only the last line reaches the box; nothing is parsed. A file that cannot be
// read is reported and the box keeps what it showed.
void Form2::Command2_Click() {
  std::string bytes;
  const FileResult read = files_.readWhole(recordPath_, &bytes);
  if (!read.ok) {
    dialogs_.MsgBox("记录文件无法读取：" + recordPath_ + "\n" + read.error, "查看记录");
    return;
  }
  Text1.setText(std::string(LastLine(bytes)));
}

}  // namespace pump::records
