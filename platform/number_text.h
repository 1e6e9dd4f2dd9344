// Text-to-number conversions shared by every handler that reads a number the
// operator typed or a caption read back from a label.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pump {

// Strict conversion to a double. Blanks around the number are allowed; an
// optional sign, digits with at most one ".", and an optional exponent. The
// empty text, "inf", "nan", hex, a number too large for a double and anything
// else fail; a number too small to hold reads as 0, and "-0" as 0. Full-width
// digits, point, signs and the ideographic blank count as their ASCII twins,
// so an operator typing through a Chinese input method is understood.
std::optional<double> ToDouble(std::string_view text);

// True when ToDouble would succeed.
bool IsNumeric(std::string_view text);

// Conversion to a signed 16-bit whole number: the text is read as ToDouble does,
// rounded to the nearest whole number with a half going to the even neighbour
// (2.5 -> 2, 3.5 -> 4), and must then lie within -32768..32767.
std::optional<std::int16_t> ToInteger(std::string_view text);

// Maps full-width digits, ".", "+", "-" and the ideographic blank to ASCII;
// every other character is kept as it is.
std::string NarrowFullWidth(std::string_view text);

}  // namespace pump
