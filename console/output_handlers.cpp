// Saving the record, printing the test page and opening the record viewer.
#include "console/main_window.h"
#include "records/record_file.h"

namespace pump::console {
namespace {

// Operator text for a save that found the disk full.
constexpr const char* kDiskFullText = "磁盘空间已满";

// Why a save failed, in the operator's words where the cause is a common one.
std::string SaveFailureReason(const FileResult& written) {
  return written.failure == FileFailure::DiskFull ? kDiskFullText : written.error;
}

}  // namespace

// The file is replaced as a whole, so a failed save leaves the previous record
// as it was; the confirmation appears only once the new one is on disk.
void Form1::save_Click() {
  const std::string bytes =
      records::FormatRecord(record_.samples(), records::LocaleDecimalSeparator());
  const FileResult written = services_.files.writeWhole(services_.recordPath, bytes);
  if (!written.ok) {
    dialogs_.MsgBox("记录文件无法写入：" + services_.recordPath + "\n" + SaveFailureReason(written),
                    "存储数据");
    return;
  }
  dialogs_.MsgBox("当前压力数值以存储", "存储数据");
}

// Each copy is its own one-page job. Cancel and any printer failure end the
// handler silently; copies already sent stay sent.
void Form1::print_Click() {
  const std::optional<int> copies = services_.printer.showPrintDialog();
  if (!copies) return;
  for (int copy = 1; copy <= *copies; ++copy) {
    if (!services_.printer.printLine("打印测试")) return;
    if (!services_.printer.endDoc()) return;
  }
}

void Form1::viewrecord_Click() { services_.recordViewer.show(); }

}  // namespace pump::console
