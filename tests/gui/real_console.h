// A console on the real Qt serial port, timers and record files, with the
// boxes recorded instead of shown: the fault tests' console.
#pragma once

#include <string>

#include "platform/posix/posix_files.h"
#include "tests/gui/console_on_qt.h"

namespace pump::testing {

struct RealFiles {
  posix::PosixFiles diskFiles;
};

struct RealConsole : QtLine, RealFiles, ConsoleHarness {
  explicit RealConsole(const std::string& recordPath = "record.txt") : ConsoleHarness(Deferred{}) {
    ServiceOverrides services = qtServices();
    services.files = &diskFiles;
    services.recordPath = recordPath;
    build(services);
  }
  ~RealConsole() { window->closeWindow(); }

  void open(const std::string& answer) { openPort(answer); }
  std::size_t messageCount() const { return dialogs.messages().size(); }
};

}  // namespace pump::testing
