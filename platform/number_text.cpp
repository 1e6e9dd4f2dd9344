#include "number_text.h"

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
  // Shape check: digits [. digits] [e [sign] digits], at least one mantissa digit.
  std::size_t i = 0, digits = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != s.size()) return std::nullopt;

  double value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Overflow fails; an underflow to zero is still a number.
    if (std::fabs(value) > 1.0 || std::isinf(value)) return std::nullopt;
    value = 0;
  } else if (ec != std::errc() || end != s.data() + s.size()) {
    return std::nullopt;
  }
  if (!std::isfinite(value)) return std::nullopt;
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
