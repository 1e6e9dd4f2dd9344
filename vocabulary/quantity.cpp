#include "vocabulary/quantity.h"

#include <array>
#include <cmath>

namespace pump {
namespace {

constexpr int kMostDigits = 18;  // all fit in 64 bits

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Powers of ten up to 1e22 are exact doubles: a table lookup instead of
// pow() for every reading, with the same quotient.
constexpr std::array<double, 23> kExactPowersOfTen = [] {
  std::array<double, 23> powers{};
  double power = 1;
  for (double& entry : powers) entry = power, power *= 10;
  return powers;
}();

double PowerOfTen(int places) {
  if (places >= 0 && places < static_cast<int>(kExactPowersOfTen.size()))
    return kExactPowersOfTen[static_cast<std::size_t>(places)];
  return std::pow(10.0, places);
}

}  // namespace

double Decimal::value() const {
  const double magnitude = static_cast<double>(digits) / PowerOfTen(places);
  return negative ? -magnitude : magnitude;
}

std::optional<Decimal> ParseDecimal(std::string_view text) {
  text = TrimBlanks(text);
  Decimal number;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    number.negative = text.front() == '-';
    text.remove_prefix(1);
  }
  const std::size_t point = text.find('.');
  if (point != std::string_view::npos && point + 1 == text.size()) return std::nullopt;
  int count = 0;
  int significant = 0;  // leading zeros take no room
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i == point) continue;
    if (!IsDigit(text[i])) return std::nullopt;
    ++count;
    if ((significant > 0 || text[i] != '0') && ++significant > kMostDigits) return std::nullopt;
    number.digits = number.digits * 10 + static_cast<unsigned>(text[i] - '0');
  }
  if (count == 0) return std::nullopt;
  if (point != std::string_view::npos) number.places = static_cast<int>(text.size() - point - 1);
  return number;
}

std::string PlainText(const Decimal& number) {
  std::string digits = std::to_string(number.digits);
  const auto places = static_cast<std::size_t>(number.places);
  if (digits.size() <= places) digits = std::string(places + 1 - digits.size(), '0') + digits;
  std::string text = number.negative ? "-" : "";
  text.append(digits, 0, digits.size() - places);
  if (places > 0) text.append(".").append(digits, digits.size() - places, places);
  return text;
}

}  // namespace pump
