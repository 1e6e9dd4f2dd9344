// A program file on disk, and a program as text for a terminal.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/files.h"
#include "program/program.h"

namespace pump::program {

// A step as the console writes it takes about 120 bytes at its widest; a
// step of 512 leaves room for a file indented, spaced or annotated by hand,
// and 64 KB more for the name and keys of the program's own.
inline constexpr std::uint64_t kLargestProgramStepBytes = 512;
inline constexpr std::uint64_t kLargestProgramFileBytes =
    kMaxSteps * kLargestProgramStepBytes + 64 * 1024;

// The bytes of a program file, read without waiting on what the path leads
// to; anything but a regular file of at most kLargestProgramFileBytes is
// refused unread.
FileResult ReadProgramFileBytes(const std::string& path, std::string* bytes);

// Reads and checks the program in the file at `path`; a file that cannot be
// read is a fault of the program as a whole, its cause in ASCII.
std::variant<Program, Fault> ReadProgramFile(const std::string& path);

// Its name, a line per step, the total time and the volume, for
// `pump-console --check-program`.
std::string ProgramSummary(const Program& program);

// "01:02:03"; a hundred hours and more keep all their hours.
std::string HoursMinutesSeconds(long seconds);

}  // namespace pump::program
