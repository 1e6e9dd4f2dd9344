// A program file on disk, and a program as text for a terminal.
#pragma once

#include <string>
#include <variant>

#include "program/program.h"

namespace pump::program {

// Reads and checks the program in the file at `path`; a file that cannot be
// read is a fault of the program as a whole.
std::variant<Program, Fault> ReadProgramFile(const std::string& path);

// Its name, a line per step, the total time and the volume, for
// `pump-console --check-program`.
std::string ProgramSummary(const Program& program);

// "01:02:03"; a hundred hours and more keep all their hours.
std::string HoursMinutesSeconds(long seconds);

}  // namespace pump::program
