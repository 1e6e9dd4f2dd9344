// The trend window's run report: the shown span or the whole log, as a PDF.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <cmath>

#include "report/qt/report_pdf.h"
#include "runlog/log_folder.h"
#include "texts/operator_texts.h"
#include "trend/qt/trend_window.h"

namespace pump::trend::qt {

namespace {

constexpr char kReportDialogTitle[] = "导出报告";

QString NewestLog(const QString& folder) {
  const QFileInfoList logs = QDir(folder).entryInfoList({"*.csv"}, QDir::Files, QDir::Time);
  return logs.isEmpty() ? QString() : logs.first().absoluteFilePath();
}

}  // namespace

QString TrendWindow::shownLogPath() const {
  if (loaded_) return loadedPath_;
  if (!live_) return {};
  return NewestLog(QString::fromStdString(runlog::DefaultLogFolder()));
}

QString TrendWindow::exportReport(const QString& path, bool visibleSpanOnly) {
  const QString log = shownLogPath();
  if (log.isEmpty()) return "没有运行日志可以生成报告";
  report::TimeRange range;
  if (visibleSpanOnly) {
    range.fromMs = static_cast<std::int64_t>(std::floor(view_.startMs()));
    range.toMs = static_cast<std::int64_t>(std::ceil(view_.endMs()));
  }
  const auto outcome = report::qt::WriteRunReport(QFile::encodeName(log).toStdString(), range,
                                                  report::qt::ThisComputer({}),
                                                  QFile::encodeName(path).toStdString());
  return QString::fromStdString(outcome.error);
}

void TrendWindow::askExportReport() {
  const QString log = shownLogPath();
  if (log.isEmpty()) {
    QMessageBox::information(this, kReportDialogTitle, "没有运行日志可以生成报告。");
    return;
  }
  QMessageBox which(QMessageBox::Question, kReportDialogTitle, "报告包括哪一段？",
                    QMessageBox::Cancel, this);
  QPushButton* visible = which.addButton("可见时段", QMessageBox::AcceptRole);
  which.addButton("整个日志", QMessageBox::AcceptRole);
  which.exec();
  if (which.clickedButton() == which.button(QMessageBox::Cancel)) return;
  const QString suggested = QFileInfo(log).completeBaseName() + ".pdf";
  const QString path = QFileDialog::getSaveFileName(
      this, kReportDialogTitle, QFileInfo(log).dir().filePath(suggested), "PDF 文件 (*.pdf)");
  if (path.isEmpty()) return;
  if (const QString error = exportReport(path, which.clickedButton() == visible);
      !error.isEmpty()) {
    QMessageBox::warning(this, kReportDialogTitle, error);
  }
}

}  // namespace pump::trend::qt
