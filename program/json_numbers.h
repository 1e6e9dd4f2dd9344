// The numbers a program file holds, read from JSON values strictly: what an
// operator typed by hand is taken only if it means exactly one number.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>

namespace pump::program {

// A whole number: 50 and 50.0 are, 50.5, "50" and true are not.
std::optional<long long> WholeNumber(const nlohmann::json& value);

// A number of MPa to a tenth, in tenths: 3, 3.0 and 2.5 are; 2.55 is not.
std::optional<long long> Tenths(const nlohmann::json& value);

}  // namespace pump::program
