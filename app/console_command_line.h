// The console's command line, read with Qt's parser before any window exists:
// --help, --version and a line that cannot be used never need a display.
#pragma once

#include <QStringList>
#include <optional>
#include <string>

#include "remote/command_line.h"

namespace pump::app {

// What the command line asks for: a console started with `line`, or, when
// there is none, an exit now with `exitStatus` after writing `output` to the
// standard output (--help, --version) and `problem` to the standard error.
struct CommandLineReading {
  std::optional<remote::CommandLine> line;
  int exitStatus = 0;
  std::string output;
  std::string problem;  // one line, with its line end
};

// `arguments` starts with the program's name, as argv does.
CommandLineReading ParseCommandLine(const QStringList& arguments);

// Parses argv and writes the reading's output and problem.
CommandLineReading ReadCommandLine(int argc, char** argv);

}  // namespace pump::app
