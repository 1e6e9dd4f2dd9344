// The record file: where it lives, how the save lays out the samples, and how
// the viewer picks the last line out of it.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace pump::records {

// "D:\mytext.txt" where there are drive letters; elsewhere mytext.txt in the
// user's documents folder (~/Documents), which is created when missing so the
// first save has somewhere to go.
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

}  // namespace pump::records
