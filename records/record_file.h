// The record file: where it lives, how the save lays out the samples, and how
// the viewer picks the last line out of it.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace pump::records {

// "D:\mytext.txt" where there are drive letters; elsewhere mytext.txt in the
// user's documents folder (~/Documents), as the bytes of $HOME, whatever their
// encoding. Nothing is created: the save makes the folder when it writes.
std::string DefaultRecordPath();

// The decimal separator of the process's current C locale ("." or ",", ...).
std::string LocaleDecimalSeparator();

// The file's bytes for these samples: each one as " 1.5 " or "-1.5 ", up to 15
// significant digits without trailing zeros, CR LF after every fifth sample
// and nowhere else. No samples give no bytes.
std::string FormatRecord(std::span<const double> samples, std::string_view decimalSeparator);

// The last line of a text whose lines end at CR or CR LF. A final line break
// does not start another line; a text without lines gives the empty text.
std::string_view LastLine(std::string_view text);

// The most one shown line may hold, in bytes: the viewer's single-line box
// takes 32767 characters, and a record is plain ASCII.
inline constexpr std::size_t kMaxLineBytes = 32767;
// How much of a file's end LastLineOfTail needs: a capped line, the line break
// before it, a final line break, and one byte to tell CR LF from LF.
inline constexpr std::size_t kLastLineTailBytes = kMaxLineBytes + 4;

// The last line of a file, from no more than its last kLastLineTailBytes
// bytes, so the cost does not grow with the file. A last line longer than
// kMaxLineBytes gives its last kMaxLineBytes bytes.
std::string_view LastLineOfTail(std::string_view tail);

}  // namespace pump::records
