// Programs named on the command line: checked alone (--check-program), or
// read for a console without a window to run (--program).
#pragma once

#include <optional>
#include <string>

#include "program/program.h"

namespace pump::app {

// Prints the program's steps, total time and volume to the standard output
// and gives 0, or its first fault to the standard error and gives 2.
int CheckProgram(const std::string& path);

// The program in the file, or nothing after its fault went to the standard error.
std::optional<program::Program> ProgramToRun(const std::string& path);

}  // namespace pump::app
