#include "program/json_numbers.h"

#include <cmath>
#include <cstdint>

namespace pump::program {

std::optional<long long> WholeNumber(const nlohmann::json& value) {
  if (value.is_number_integer()) return value.get<long long>();
  if (!value.is_number_float()) return std::nullopt;
  const double number = value.get<double>();
  if (!std::isfinite(number) || std::abs(number) > 1e12 || number != std::floor(number))
    return std::nullopt;
  return static_cast<long long>(number);
}

std::optional<long long> Tenths(const nlohmann::json& value) {
  if (!value.is_number()) return std::nullopt;
  const double tenths = value.get<double>() * 10;
  if (!std::isfinite(tenths) || std::abs(tenths) > 1e12) return std::nullopt;
  const double rounded = std::round(tenths);
  if (std::abs(tenths - rounded) > 1e-6) return std::nullopt;
  return static_cast<long long>(rounded);
}

bool ReadNumberFields(const nlohmann::json& json, const NumberField* fields, std::size_t count,
                      long long* values, std::pair<std::string, std::string>& fault) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::string key = fields[i].key;
    const auto found = json.find(key);
    if (found == json.end()) {
      fault = {key, key + " is missing"};
      return false;
    }
    const auto value = fields[i].read(*found);
    if (!value || *value < INT32_MIN || *value > INT32_MAX) {
      fault = {key, key + " must be " + fields[i].wanted};
      return false;
    }
    values[i] = *value;
  }
  return true;
}

}  // namespace pump::program
