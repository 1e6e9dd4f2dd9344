// The trend window's files: opening run logs, exporting pictures and rows.
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <QSvgGenerator>
#include <utility>

#include "trend/log_export.h"
#include "trend/log_reader.h"
#include "trend/qt/log_load_task.h"
#include "trend/qt/trend_chart_view.h"
#include "trend/qt/trend_window.h"

namespace pump::trend::qt {

namespace {

QString LogFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const QString logs = QDir(documents).filePath("pump-logs");
  return QFileInfo::exists(logs) ? logs : documents;
}

}  // namespace

// The progress of a load and its cancel button, at the right of the status line.
void TrendWindow::buildLoadBar() {
  loadProgress_ = new QProgressBar(this);
  loadProgress_->setObjectName("logLoadProgress");
  loadProgress_->setRange(0, 1000);
  loadProgress_->setFormat("正在打开日志 %p%");
  loadProgress_->setMaximumWidth(260);
  loadCancel_ = new QPushButton("取消", this);
  loadCancel_->setObjectName("logLoadCancel");
  connect(loadCancel_, &QPushButton::clicked, this, &TrendWindow::cancelOpeningLog);
  statusBar()->addPermanentWidget(loadProgress_);
  statusBar()->addPermanentWidget(loadCancel_);
  setLoadBarShown(false);
}

void TrendWindow::setLoadBarShown(bool shown) {
  loadProgress_->setVisible(shown);
  loadCancel_->setVisible(shown);
  openAction_->setEnabled(!shown);
}

void TrendWindow::startOpeningLog(const QString& path) {
  cancelOpeningLog();
  loadingPath_ = path;
  loadTask_ = new LogLoadTask(path, this);
  connect(loadTask_, &LogLoadTask::progressed, loadProgress_, &QProgressBar::setValue);
  connect(loadTask_, &LogLoadTask::finished, this, &TrendWindow::finishOpeningLog);
  loadProgress_->setValue(0);
  setLoadBarShown(true);
}

// The thread is left to end at its next block on its own; its result is dropped.
void TrendWindow::cancelOpeningLog() {
  if (!loadTask_) return;
  LogLoadTask* task = std::exchange(loadTask_, nullptr);
  task->disconnect(this);
  task->disconnect(loadProgress_);
  task->cancel();
  connect(task, &LogLoadTask::finished, task, &QObject::deleteLater);
  setLoadBarShown(false);
  emit logOpenEnded(false, {});
}

void TrendWindow::finishOpeningLog() {
  LogLoadTask* task = std::exchange(loadTask_, nullptr);
  LogLoad load = task->takeResult();
  task->deleteLater();
  setLoadBarShown(false);
  if (!load.session) {
    emit logOpenEnded(false, QString::fromStdString(load.error));
    return;
  }
  showLoadedLog(std::move(load), loadingPath_);
  emit logOpenEnded(true, {});
}

void TrendWindow::showLoadedLog(LogLoad load, const QString& path) {
  loaded_ = std::move(load.session);
  loadedName_ = QFileInfo(path).fileName();
  loadedPath_ = path;
  fixedRange_.reset();
  view_.fitAll(loaded_->firstTimeMs(), loaded_->lastTimeMs());
  viewMoved();
  updateTitle();
  if (load.lastLineIncomplete) {
    statusBar()->showMessage("最后一行不完整（日志可能还在写入），已略过。");
  }
}

QString TrendWindow::openLog(const QString& path) {
  QEventLoop wait;
  QString error;
  const auto ended =
      connect(this, &TrendWindow::logOpenEnded, &wait, [&](bool, const QString& why) {
        error = why;
        wait.quit();
      });
  startOpeningLog(path);
  if (openingLog()) wait.exec();
  disconnect(ended);
  return error;
}

QString TrendWindow::exportImage(const QString& path) {
  redraw();
  if (path.endsWith(".svg", Qt::CaseInsensitive)) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(chart_->size());
    svg.setViewBox(chart_->rect());
    svg.setTitle(windowTitle());
    QPainter painter;
    if (!painter.begin(&svg)) return "无法写入 " + path;
    chart_->render(&painter);
    return painter.end() ? QString() : "无法写入 " + path;
  }
  return chart_->grab().save(path, "PNG") ? QString() : "无法写入 " + path;
}

QString TrendWindow::exportData(const QString& path, bool visibleSpanOnly) {
  const Session* s = shownSession();
  if (!s) return "没有可导出的数据";
  const double start = visibleSpanOnly ? view_.startMs() : s->firstTimeMs();
  const double end = visibleSpanOnly ? view_.endMs() : s->lastTimeMs();
  return QString::fromStdString(
      ExportRunLogRows(*s, start, end, QFile::encodeName(path).toStdString()));
}

void TrendWindow::askOpenLog() {
  const QString path =
      QFileDialog::getOpenFileName(this, "打开日志", LogFolder(), "运行日志 (*.csv);;所有文件 (*)");
  if (path.isEmpty()) return;
  startOpeningLog(path);
  connect(
      this, &TrendWindow::logOpenEnded, this,
      [this](bool, const QString& error) {
        if (!error.isEmpty()) QMessageBox::warning(this, "打开日志", error);
      },
      Qt::SingleShotConnection);
}

void TrendWindow::askExportImage() {
  const QString path =
      QFileDialog::getSaveFileName(this, "导出图片", QDir(LogFolder()).filePath("trend.png"),
                                   "PNG 图片 (*.png);;SVG 图片 (*.svg)");
  if (path.isEmpty()) return;
  if (const QString error = exportImage(path); !error.isEmpty()) {
    QMessageBox::warning(this, "导出图片", error);
  }
}

void TrendWindow::askExportData() {
  if (!shownSession()) {
    QMessageBox::information(this, "导出数据", "没有可导出的数据。");
    return;
  }
  QMessageBox which(QMessageBox::Question, "导出数据", "导出哪些行？", QMessageBox::Cancel, this);
  QPushButton* visible = which.addButton("可见时段", QMessageBox::AcceptRole);
  which.addButton("全部", QMessageBox::AcceptRole);
  which.exec();
  if (which.clickedButton() == which.button(QMessageBox::Cancel)) return;
  const QString path = QFileDialog::getSaveFileName(
      this, "导出数据", QDir(LogFolder()).filePath("trend.csv"), "CSV 文件 (*.csv)");
  if (path.isEmpty()) return;
  if (const QString error = exportData(path, which.clickedButton() == visible); !error.isEmpty()) {
    QMessageBox::warning(this, "导出数据", error);
  }
}

}  // namespace pump::trend::qt
