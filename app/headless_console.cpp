#include "app/headless_console.h"

#include <QCoreApplication>
#include <cstdio>

#include "link/stable_port_name.h"
#include "records/record_file.h"
#include "texts/operator_texts.h"

namespace pump::app {

HeadlessConsole::HeadlessConsole(std::string logFolder)
    : recordPath_(records::DefaultRecordPath()) {
  window_ = std::make_unique<console::MainWindow>(services());
  remote_ = std::make_unique<remote::qt::RemoteMonitoring>(*window_);
  if (logFolder.empty()) return;
  runLog_ = std::make_unique<RunLogWiring>(window_->events(), std::move(logFolder),
                                           TellOnStandardError());
  runLog_->onTrouble([this](const std::string& status, const std::string& event) {
    window_->showLogTrouble(status, event);
  });
}

HeadlessConsole::~HeadlessConsole() = default;

// No port list and no port kept: the port comes from the command line.
console::MainWindowServices HeadlessConsole::services() {
  return console::MainWindowServices{
      .serial = serial_,
      .runClockTimer = runClockTimer_,
      .pollTimer = pollTimer_,
      .linkWatchTimer = linkWatchTimer_,
      .dialogs = dialogs_,
      .chartCanvas = chart_,
      .printer = printer_,
      .files = files_,
      .app = application_,
      .popupMenu = popupMenu_,
      .recordViewer = recordViewer_,
      .trendWindow = nullptr,
      .recordPath = recordPath_,
      .stableName = [](const std::string& device) { return link::StableAdapterName(device); },
  };
}

void HeadlessConsole::start(const std::string& port) {
  window_->load();
  dialogs_.answerNext(port);
  window_->choosePort();
}

void HeadlessConsole::startRemote(const remote::RemoteSettings& settings) {
  remote_->apply(settings);
}

void HeadlessConsole::endOnSignal() { QCoreApplication::exit(0); }

void HeadlessConsole::finish() {
  window_->closeWindow();
  remote_->stop();
}

void HeadlessConsole::tellRunLogOff(const std::string& why) {
  std::fprintf(stderr, "%s: %s\n", texts::kRunLogTitle, why.c_str());
}

}  // namespace pump::app
