// The numbers a program file holds, read from JSON values strictly: what an
// operator typed by hand is taken only if it means exactly one number.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>

namespace pump::program {

// A whole number: 50 and 50.0 are, 50.5, "50" and true are not.
std::optional<long long> WholeNumber(const nlohmann::json& value);

// A number of MPa to a tenth, in tenths: 3, 3.0 and 2.5 are; 2.55 is not.
std::optional<long long> Tenths(const nlohmann::json& value);

// A number a step holds: its key, how it is read, and what it must be.
struct NumberField {
  const char* key;
  std::optional<long long> (*read)(const nlohmann::json&);
  const char* wanted;  // "a whole number of seconds"
};

// Reads each field of `json` into `values`, in order. The first that is
// missing or not what it must be (or outside 32 bits) is named in `fault`:
// its key, and "<key> is missing" or "<key> must be <wanted>".
bool ReadNumberFields(const nlohmann::json& json, const NumberField* fields, std::size_t count,
                      long long* values, std::pair<std::string, std::string>& fault);

}  // namespace pump::program
