#include "records/sample_text.h"

#include <charconv>

namespace pump::records {

// std::to_chars with a precision is printf's "%g" without the locale, and fast
// enough for a million samples in well under the save's time budget.
char* WriteSampleText(char* out, double value) {
  constexpr int kSignificantDigits = 15;
  return std::to_chars(out, out + kMaxSampleTextBytes, value, std::chars_format::general,
                       kSignificantDigits)
      .ptr;
}

}  // namespace pump::records
