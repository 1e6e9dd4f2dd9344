#include "records/sample_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace pump::records {
namespace {

constexpr int kSignificantDigits = 15;

// A finite value as significant digits d1 d2 ... dn times 10^exponent, with
// d1 before the decimal point and no trailing zeros.
struct Decimal {
  char digits[24];
  int count = 0;
  int exponent = 0;
};

// The shortest digits that read back as `value`; false if it is not finite.
bool ShortestDigits(double value, Decimal& decimal) {
  char text[32];
  const char* const end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr;
  const char* const e = std::find(static_cast<const char*>(text), end, 'e');
  if (e == end) return false;
  for (const char* c = text; c != e; ++c) {
    if (*c >= '0' && *c <= '9') decimal.digits[decimal.count++] = *c;
  }
  std::from_chars(e + 2, end, decimal.exponent);
  if (e[1] == '-') decimal.exponent = -decimal.exponent;
  return true;
}

// Rounds the shortest digits to 15. This equals rounding the exact binary
// value: a midpoint between two 15-digit neighbours lying strictly between the
// value and its shortest digits would itself be a shorter or closer
// round-trip form. The one exception is shortest digits that are that
// midpoint, where the side depends on the exact value: false then.
bool RoundToSignificantDigits(Decimal& decimal) {
  if (decimal.count <= kSignificantDigits) return true;
  const char first = decimal.digits[kSignificantDigits];
  if (first == '5' && decimal.count == kSignificantDigits + 1) return false;
  decimal.count = kSignificantDigits;
  if (first >= '5') {
    int i = decimal.count - 1;
    while (i >= 0 && decimal.digits[i] == '9') --i;
    if (i < 0) {  // 999...9 carries into a new leading digit
      decimal.digits[0] = '1';
      decimal.count = 1;
      ++decimal.exponent;
    } else {
      ++decimal.digits[i];
      decimal.count = i + 1;
    }
  }
  while (decimal.count > 1 && decimal.digits[decimal.count - 1] == '0') --decimal.count;
  return true;
}

char* Put(char* out, const char* from, int count) {
  std::memcpy(out, from, static_cast<std::size_t>(count));
  return out + count;
}

char* LayOut(char* out, bool negative, const Decimal& d) {
  if (negative) *out++ = '-';
  if (d.exponent < -4 || d.exponent >= kSignificantDigits) {
    *out++ = d.digits[0];
    if (d.count > 1) {
      *out++ = '.';
      out = Put(out, d.digits + 1, d.count - 1);
    }
    *out++ = 'e';
    *out++ = d.exponent < 0 ? '-' : '+';
    const int magnitude = d.exponent < 0 ? -d.exponent : d.exponent;
    if (magnitude < 10) *out++ = '0';
    return std::to_chars(out, out + 3, magnitude).ptr;
  }
  if (d.exponent < 0) {
    *out++ = '0';
    *out++ = '.';
    out = std::fill_n(out, -d.exponent - 1, '0');
    return Put(out, d.digits, d.count);
  }
  if (d.count <= d.exponent + 1) {
    out = Put(out, d.digits, d.count);
    return std::fill_n(out, d.exponent + 1 - d.count, '0');
  }
  out = Put(out, d.digits, d.exponent + 1);
  *out++ = '.';
  return Put(out, d.digits + d.exponent + 1, d.count - d.exponent - 1);
}

}  // namespace

// Shortest round-trip digits are much cheaper to get than a fixed precision,
// and from them the 15-digit form follows for all but exact midpoints. Below
// the normal range a double holds fewer than 15 digits, so its shortest form
// says too little and the precise conversion is used.
char* WriteSampleText(char* out, double value) {
  Decimal decimal;
  const bool subnormal = value != 0 && std::fabs(value) < std::numeric_limits<double>::min();
  if (subnormal || !ShortestDigits(value, decimal) || !RoundToSignificantDigits(decimal)) {
    return std::to_chars(out, out + kMaxSampleTextBytes, value, std::chars_format::general,
                         kSignificantDigits)
        .ptr;
  }
  return LayOut(out, std::signbit(value), decimal);
}

}  // namespace pump::records
