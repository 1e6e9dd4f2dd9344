// The console with a window is a program of its own, so that the console
// without one loads no widget or GUI library: pump-console hands itself over
// to it (same process, same arguments) when no --headless is asked for. A run
// report from the command line is handed over the same way, to pump-report.
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

// The same places for the report program.
std::vector<std::string> ReportProgramPlaces(const std::string& programFolder);

// The folder of the running program.
std::string ProgramFolder();

// True if argv asks for a run report (--report) rather than a console.
bool AsksForReport(int argc, char** argv);

// The same hand-over to the report program, which draws the PDF with Qt's
// GUI module that this program never loads.
int RunReportProgram(char** argv);

}  // namespace pump::app
