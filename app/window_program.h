// The console with a window is a program of its own, so that the console
// without one loads no widget or GUI library: pump-console hands itself over
// to it (same process, same arguments) when no --headless is asked for.
#pragma once

#include <string>
#include <vector>

namespace pump::app {

// Where the window program may be, in the order looked at: beside this
// program (a build tree), then where the package installs it, relative to
// the folder `programFolder` this program runs from.
std::vector<std::string> WindowProgramPlaces(const std::string& programFolder);

// Replaces this process with the window program, `argv` unchanged (so Qt
// still names the application after argv[0]). Returns only if none could be
// run, having said why on the standard error: the exit status then.
int RunWindowProgram(char** argv);

}  // namespace pump::app
