#include "records/record_viewer.h"

#include "records/record_file.h"

namespace pump::records {

void RecordViewer::backToMainWindow() {
  mainWindow_.show();
  self_.hide();
}

// Only the last line reaches the box; nothing is parsed. Only the file's end
// is read, so neither a huge file nor a device can hold the window. A file
// that cannot be read is reported and the box keeps what it showed.
void RecordViewer::loadLastLine() {
  std::string tail;
  const FileResult read = files_.readTail(recordPath_, kLastLineTailBytes, &tail);
  if (read.failure == FileFailure::NotARegularFile) {
    dialogs_.showMessage(texts::RecordNotARegularFile(recordPath_), texts::kViewRecordTitle);
    return;
  }
  if (!read.ok) {
    dialogs_.showMessage(texts::RecordNotRead(recordPath_, read.error), texts::kViewRecordTitle);
    return;
  }
  recordLine.setText(std::string(LastLineOfTail(tail)));
}

}  // namespace pump::records
