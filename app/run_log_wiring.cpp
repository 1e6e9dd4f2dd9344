#include "app/run_log_wiring.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

#include "app/design_to_qt.h"
#include "platform/posix/append_file.h"
#include "platform/posix/background_append_log.h"
#include "runlog/log_failure_text.h"
#include "runlog/run_log.h"
#include "texts/operator_texts.h"

namespace pump::app {

namespace {

constexpr std::chrono::milliseconds kRetryInterval{10000};

}  // namespace

RunLogWiring::RunLogWiring(console::ConsoleEventFeed& feed, std::string folder, QWidget& window)
    : folder_(std::move(folder)), window_(&window) {
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

AppendLogListener RunLogWiring::toWindowThread() {
  return {[this](const AppendFailure& failure) {
            const std::string text =
                runlog::FailureBoxText(failure, static_cast<int>(kRetryInterval.count() / 1000));
            const std::string status = runlog::FailureStatusText(failure);
            QMetaObject::invokeMethod(
                &receiver_,
                [this, text, status] {
                  if (showTrouble_) showTrouble_(status);
                  showBox(text);
                },
                Qt::QueuedConnection);
          },
          [this](std::uint64_t dropped) {
            const std::string text = runlog::ResumedStatusText(dropped);
            QMetaObject::invokeMethod(
                &receiver_,
                [this, text] {
                  if (showTrouble_) showTrouble_("");
                  if (!text.empty()) showBox(text);
                },
                Qt::QueuedConnection);
          }};
}

// Not modal: the operator keeps the keypad and menus while the box is up.
void RunLogWiring::showBox(const std::string& text) {
  auto* box = new QMessageBox(QMessageBox::Warning, Text(texts::kRunLogTitle), Text(text),
                              QMessageBox::Ok, window_.data());
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

void RunLogWiring::openFolder() {
  const int error = posix::MakeFolders(folder_);
  const QUrl url = QUrl::fromLocalFile(QString::fromStdString(folder_));
  if (error != 0 || !QDesktopServices::openUrl(url)) {
    showBox(texts::kLogFolderNotOpened + folder_);
  }
}

}  // namespace pump::app
