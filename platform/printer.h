// The printer dialog and the default printer.
#pragma once

#include <optional>
#include <string>

namespace pump {

class Printer {
 public:
  virtual ~Printer() = default;
  // Shows the printer dialog. The chosen number of copies, or nothing when the
  // operator cancelled or the dialog failed.
  virtual std::optional<int> showPrintDialog() = 0;
  // Prints one line of text (the text, then a line break) on the current page.
  virtual bool printLine(const std::string& text) = 0;
  // Ends the document: the page goes out as its own job.
  virtual bool endDoc() = 0;
};

}  // namespace pump
