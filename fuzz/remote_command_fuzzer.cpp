// Commands from the broker on arbitrary bytes: the first line is the command
// name, the rest the payload. No crash, no undefined behaviour; every input is
// either one command within its bounds or a refusal with a reason, and the
// answer built from it is always valid JSON.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string_view>

#include "remote/json_messages.h"
#include "remote/remote_command.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(bytes), size);
  const auto newline = input.find('\n');
  const auto name = input.substr(0, newline);
  const auto payload = newline == std::string_view::npos ? std::string_view{}
                                                         : input.substr(newline + 1);
  const auto parsed = pump::remote::ParseCommand(name, payload);
  if (parsed.command.has_value() == !parsed.refusal.empty()) std::abort();
  if (parsed.command) {
    const double value = parsed.command->value;
    if (!std::isfinite(value) || value < 0 || value > 35791394) std::abort();
  }
  for (char c : parsed.requestId.text) {
    if (c < ' ' || c > '~') std::abort();
  }
  const auto answer = pump::remote::ResultJson(parsed.requestId, !parsed.command, parsed.refusal);
  if (!nlohmann::json::accept(answer)) std::abort();
  return 0;
}
