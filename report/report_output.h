// Where a report may be written. A report replaces only a report: never the
// run log it is made from, by whatever name (a symbolic or a hard link), and
// never any other file that is there, nor a device or a folder.
#pragma once

#include <string>
#include <string_view>

namespace pump::report {

// Empty if a report may go to `pdfPath`: nothing is there yet, or a PDF
// that carries `creatorMark` (its Creator, as every report sets it). Else
// why not, in the operator's words.
std::string OutputRefusal(const std::string& logPath, const std::string& pdfPath,
                          std::string_view creatorMark);

}  // namespace pump::report
