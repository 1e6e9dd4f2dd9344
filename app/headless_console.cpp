#include "app/headless_console.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>
#include <string>

#include "app/console_settings.h"
#include "app/report_after_program.h"
#include "link/port_name.h"
#include "texts/operator_texts.h"

namespace pump::app {
namespace {

// What a box would say, as one line for the journal: its lines are joined.
void Tell(const std::string& title, std::string text) {
  std::erase(text, '\n');
  std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}

}  // namespace

HeadlessConsole::HeadlessConsole(std::string logFolder) {
  session_.setNoWindow();
  session_.setOnNotice([](const session::Notice& notice) { Tell(notice.title, notice.text); });
  session_.events().subscribe([](const session::SessionEvent& event) {
    if (event.kind == EventKind::Program) Tell(texts::kProgramTitle, event.detail);
  });
  remote_ = std::make_unique<remote::qt::RemoteMonitoring>(session_);
  if (logFolder.empty()) return;
  runLog_ = std::make_unique<RunLogWiring>(session_.events(), std::move(logFolder),
                                           TellOnStandardError());
  // Each change is a `log` event; there is no status line to show it on.
  runLog_->onTrouble([this](const std::string&, const std::string& event) {
    if (!event.empty()) session_.note(EventKind::Log, event);
  });
  runLog_->onProgramLogged([this](const std::string& logPath) {
    ReportAfterProgramEnd(RemoteSettingsStore(), logPath, TellOnStandardError(),
                          remote_->settings().pumpId);
  });
}

HeadlessConsole::~HeadlessConsole() = default;

void HeadlessConsole::start(const std::string& port) {
  const auto device = link::PortDevice(port);
  if (!device) return Tell(texts::kCommErrorTitle, texts::NotAPort(port));
  // A port not there yet (an adapter still to be plugged in), busy or
  // refused is tried again until it opens: nobody is at hand to retry it.
  const session::CommandResult opened = session_.open(*device, link::OpenRetry::UntilOpen);
  if (!opened.ok()) Tell(texts::kCommErrorTitle, opened.refusal);
}

// Started from the event loop, not inside the reply that brought the answer.
void HeadlessConsole::runProgramOnFirstAnswer(program::Program program) {
  firstProgram_ = std::move(program);
  session_.events().subscribe([this](const session::SessionEvent& event) {
    if (!firstProgram_ || event.kind != EventKind::Link || event.state.link != LinkState::Answering)
      return;
    QTimer::singleShot(0, [this, program = std::move(*firstProgram_)] {
      const session::CommandResult started = session_.startProgram(program);
      if (!started.ok()) Tell(texts::kProgramTitle, started.refusal);
    });
    firstProgram_.reset();
  });
}

void HeadlessConsole::startRemote(const remote::RemoteSettings& settings) {
  remote_->apply(settings);
}

void HeadlessConsole::endOnSignal() { QCoreApplication::exit(0); }

void HeadlessConsole::finish() {
  session_.close();
  remote_->stop();
}

void HeadlessConsole::tellRunLogOff(const std::string& why) { Tell(texts::kRunLogTitle, why); }

}  // namespace pump::app
