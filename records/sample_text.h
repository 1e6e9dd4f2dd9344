// The decimal text of one recorded sample.
#pragma once

namespace pump::records {

// The longest text WriteSampleText produces ("-1.23456789012345e-308").
inline constexpr int kMaxSampleTextBytes = 24;

// Writes `value` at `out` as printf's "%.15g" does, with "." as the decimal
// point: at most 15 significant digits, no trailing zeros, exponent form below
// 1e-4 and from 1e15 upwards. Returns the end of the text.
char* WriteSampleText(char* out, double value);

}  // namespace pump::records
