// Numbers with their units. A value the pump sends keeps its characters as
// the operator sees them beside the number read from them, so a screen shows
// the pump's own characters and everything else works with the number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pump {

// A decimal number exactly as written: "04.6" is 46 tenths, "4.60" is 460
// hundredths. Nothing is lost to floating point, so it is written back as it came.
struct Decimal {
  bool negative = false;
  std::uint64_t digits = 0;  // every digit, the point left out
  int places = 0;            // how many of them stand after the point

  double value() const;
  bool operator==(const Decimal&) const = default;
};

// The one reading of a number the pump or the keypad wrote: blanks around it,
// an optional sign, digits with at most one point and at least one digit after
// it ("04.6", " 2.0 ", "-1.5", ".5", "150"). Nothing for "", "12.", "1,5",
// "1e3", "Err", "--.-" or more than 18 digits after the leading zeros.
std::optional<Decimal> ParseDecimal(std::string_view text);

// The number in its plain form: no leading zeros, the places kept as written
// ("04.6" -> "4.6", "000" -> "0", ".5" -> "0.5"). Always "." as the point.
std::string PlainText(const Decimal& number);

enum class Unit { Megapascal, MillilitrePerMinute };

// A value in `kUnit`: the characters as shown, and the number when they are one.
template <Unit kUnit>
struct Measured {
  std::string characters;
  std::optional<Decimal> number;

  // Characters read as a number once, here.
  static Measured Read(std::string shown) {
    Measured measured{std::move(shown), std::nullopt};
    measured.number = ParseDecimal(measured.characters);
    return measured;
  }
  std::optional<double> value() const {
    return number ? std::optional<double>(number->value()) : std::nullopt;
  }
  // "4.6", or "" when the characters are not a number: the run log's column.
  std::string plain() const { return number ? PlainText(*number) : std::string(); }
  bool operator==(const Measured&) const = default;
};

using Pressure = Measured<Unit::Megapascal>;       // MPa
using Flow = Measured<Unit::MillilitrePerMinute>;  // ml/min

}  // namespace pump
