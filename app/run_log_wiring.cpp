#include "app/run_log_wiring.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>
#include <cstdio>

#include "app/design_to_qt.h"
#include "platform/posix/append_file.h"
#include "platform/posix/background_append_log.h"
#include "runlog/log_failure_text.h"
#include "runlog/run_log.h"
#include "texts/operator_texts.h"

namespace pump::app {

namespace {

constexpr std::chrono::milliseconds kRetryInterval{10000};
constexpr int kRetrySeconds = static_cast<int>(kRetryInterval.count() / 1000);

}  // namespace

void ShowRunLogBox(QWidget* parent, const std::string& text) {
  auto* box = new QMessageBox(QMessageBox::Warning, Text(texts::kRunLogTitle), Text(text),
                              QMessageBox::Ok, parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

RunLogWiring::RunLogWiring(session::EventFeed& feed, std::string folder, QWidget* window)
    : folder_(std::move(folder)), headless_(window == nullptr), window_(window) {
  posix::BackgroundLogOptions options;
  options.folder = folder_;
  options.retryInterval = kRetryInterval;
  disk_ = std::make_unique<posix::BackgroundAppendLog>(options, toWindowThread());
  log_ = std::make_unique<runlog::RunLog>(*disk_);
  log_->follow(feed);
}

// The writer stops first, so no call from it can come after the receiver has gone.
RunLogWiring::~RunLogWiring() {
  log_.reset();
  disk_.reset();
}

// The writer tells each failure once and each recovery once; both are passed
// to the window's thread, where the console publishes them as `log` events.
AppendLogListener RunLogWiring::toWindowThread() {
  return {[this](const AppendFailure& failure) {
            const std::string box = runlog::FailureBoxText(failure, kRetrySeconds);
            const std::string line = runlog::FailureLine(failure, kRetrySeconds);
            const std::string status = runlog::FailureStatusText(failure);
            const std::string event = runlog::FailureEventDetail(failure);
            QMetaObject::invokeMethod(
                &receiver_,
                [this, box, line, status, event] {
                  if (showTrouble_) showTrouble_(status, event);
                  tell(box, line);
                },
                Qt::QueuedConnection);
          },
          [this](std::uint64_t dropped) {
            const std::string box = runlog::ResumedStatusText(dropped);
            const std::string line = runlog::ResumedLine(folder_, dropped);
            const std::string event = runlog::ResumedEventDetail(dropped);
            QMetaObject::invokeMethod(
                &receiver_,
                [this, box, line, event] {
                  if (showTrouble_) showTrouble_("", event);
                  if (headless_ || !box.empty()) tell(box, line);
                },
                Qt::QueuedConnection);
          }};
}

void RunLogWiring::tell(const std::string& boxText, const std::string& line) {
  if (headless_) {
    std::fprintf(stderr, "%s: %s\n", texts::kRunLogTitle, line.c_str());
    std::fflush(stderr);
  } else {
    ShowRunLogBox(window_.data(), boxText);
  }
}

void RunLogWiring::openFolder() {
  const int error = posix::MakeFolders(folder_);
  const QUrl url = QUrl::fromLocalFile(QString::fromStdString(folder_));
  if (error != 0 || !QDesktopServices::openUrl(url)) {
    ShowRunLogBox(window_.data(), texts::kLogFolderNotOpened + folder_);
  }
}

}  // namespace pump::app
