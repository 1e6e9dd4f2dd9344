#include "records/record_viewer.h"

#include "records/record_file.h"

namespace pump::records {

void RecordViewer::backToMainWindow() {
  mainWindow_.show();
  self_.hide();
}

// Only the last line reaches the box; nothing is parsed. A file that cannot be
// read is reported and the box keeps what it showed.
void RecordViewer::loadLastLine() {
  std::string bytes;
  const FileResult read = files_.readWhole(recordPath_, &bytes);
  if (!read.ok) {
    dialogs_.showMessage(texts::RecordNotRead(recordPath_, read.error), texts::kViewRecordTitle);
    return;
  }
  recordLine.setText(std::string(LastLine(bytes)));
}

}  // namespace pump::records
