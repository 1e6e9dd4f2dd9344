#include "number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace pump {
namespace {

// Full-width forms U+FF01..U+FF5E are encoded in UTF-8 as EF BC 81..EF BD 9E and
// map to ASCII 0x21..0x7E. Only the characters a number can hold are mapped.
bool MapFullWidth(unsigned char b1, unsigned char b2, char* ascii) {
  unsigned code = 0;
  if (b1 == 0xBC && b2 >= 0x81 && b2 <= 0xBF) {
    code = 0xFF00u + (b2 - 0x80u);
  } else if (b1 == 0xBD && b2 >= 0x80 && b2 <= 0x9E) {
    code = 0xFF40u + (b2 - 0x80u);
  } else {
    return false;
  }
  const char c = static_cast<char>(code - 0xFF00u + 0x20u);
  if ((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-') {
    *ascii = c;
    return true;
  }
  return false;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

struct NumberShape {
  // Power of ten of the leading non-zero digit, exponent included and
  // saturated; 0 for a zero. Only its sign is used: it tells an overflow from
  // an underflow.
  long long decimalExponent = 0;
};

// Checks that an unsigned text reads digits [. digits] [e [sign] digits] with
// at least one mantissa digit, and measures its magnitude.
std::optional<NumberShape> ReadShape(std::string_view s) {
  constexpr long long kSaturation = 1'000'000;
  std::size_t i = 0;
  std::size_t digits = 0;
  std::optional<long long> leading;  // power of ten of the first non-zero digit

  while (i < s.size() && IsDigit(s[i])) ++i;
  const std::size_t wholeDigits = i;
  digits += wholeDigits;
  for (std::size_t k = 0; k < wholeDigits && !leading; ++k) {
    if (s[k] != '0') leading = static_cast<long long>(wholeDigits - k - 1);
  }
  if (i < s.size() && s[i] == '.') {
    ++i;
    for (long long power = -1; i < s.size() && IsDigit(s[i]); --power, ++i, ++digits) {
      if (!leading && s[i] != '0') leading = power;
    }
  }
  if (digits == 0) return std::nullopt;

  long long exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    bool negativeExponent = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negativeExponent = s[i++] == '-';
    const std::size_t exponentStart = i;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
      exponent = std::min(exponent * 10 + (s[i] - '0'), kSaturation);
    }
    if (i == exponentStart) return std::nullopt;
    if (negativeExponent) exponent = -exponent;
  }
  if (i != s.size()) return std::nullopt;
  return NumberShape{leading ? *leading + exponent : 0};
}

}  // namespace

std::string NarrowFullWidth(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 == 0xEF && i + 2 < text.size()) {
      char ascii = 0;
      if (MapFullWidth(static_cast<unsigned char>(text[i + 1]),
                       static_cast<unsigned char>(text[i + 2]), &ascii)) {
        out.push_back(ascii);
        i += 2;
        continue;
      }
    }
    // U+3000 IDEOGRAPHIC SPACE is E3 80 80.
    if (b0 == 0xE3 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
        static_cast<unsigned char>(text[i + 2]) == 0x80) {
      out.push_back(' ');
      i += 2;
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}

std::optional<double> ToDouble(std::string_view text) {
  const std::string narrow = NarrowFullWidth(text);
  std::string_view s = narrow;
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);

  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  const auto shape = ReadShape(s);
  if (!shape) return std::nullopt;

  double value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // from_chars leaves the value untouched here, so the text itself tells an
    // overflow (fails) from an underflow (a number too small to hold: zero).
    if (shape->decimalExponent > 0) return std::nullopt;
    return 0.0;
  }
  if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  // "-0" is plain zero: no encoder writes a sign.
  if (value == 0) return 0.0;
  return negative ? -value : value;
}

bool IsNumeric(std::string_view text) { return ToDouble(text).has_value(); }

std::optional<std::int16_t> ToInteger(std::string_view text) {
  const auto value = ToDouble(text);
  if (!value) return std::nullopt;
  // nearbyint in the default rounding mode sends halves to the even neighbour.
  const double rounded = std::nearbyint(*value);
  if (rounded < std::numeric_limits<std::int16_t>::min() ||
      rounded > std::numeric_limits<std::int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(rounded);
}

}  // namespace pump
