// Saving the record, printing the test page and opening the record viewer.
#include "console/main_window.h"
#include "records/record_file.h"

namespace pump::console {
namespace {

// Why a save failed, in the operator's words where the cause is a common one.
std::string SaveFailureReason(const FileResult& written) {
  return written.failure == FileFailure::DiskFull ? texts::kDiskFull : written.error;
}

}  // namespace

// The file is replaced as a whole, so a failed save leaves the previous record
// as it was; the confirmation appears only once the new one is on disk.
void MainWindow::saveRecord() {
  const std::string bytes =
      records::FormatRecord(record_.samples(), records::LocaleDecimalSeparator());
  const FileResult written = services_.files.writeWhole(services_.recordPath, bytes);
  if (!written.ok) {
    dialogs_.showMessage(texts::RecordNotWritten(services_.recordPath, SaveFailureReason(written)),
                         texts::kSaveTitle);
    return;
  }
  dialogs_.showMessage(record_.full() ? std::string(texts::kSaved) + texts::kSavedRecordFull
                                      : std::string(texts::kSaved),
                       texts::kSaveTitle);
}

// Each copy is its own one-page job. Cancel and any printer failure end the
// printing silently; copies already sent stay sent.
void MainWindow::printTestPage() {
  const std::optional<int> copies = services_.printer.showPrintDialog();
  if (!copies) return;
  for (int copy = 1; copy <= *copies; ++copy) {
    if (!services_.printer.printLine(texts::kTestPageLine)) return;
    if (!services_.printer.endDoc()) return;
  }
}

void MainWindow::viewRecord() { services_.recordViewer.show(); }

// Open whether or not a port is: the trend also shows earlier logs.
void MainWindow::showTrend() {
  if (services_.trendWindow) services_.trendWindow->show();
}

}  // namespace pump::console
