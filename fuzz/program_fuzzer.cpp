// Program files and broker payloads on arbitrary bytes. No crash, no
// undefined behaviour; every input is either a program with no fault, which
// reads back unchanged from its own writing, or a fault with a message.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "program/program.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(bytes), size);
  const auto read = pump::program::ReadProgram(input);
  if (const auto* fault = std::get_if<pump::program::Fault>(&read)) {
    if (fault->message.empty()) std::abort();
    return 0;
  }
  const auto& program = std::get<pump::program::Program>(read);
  if (pump::program::FirstFault(program)) std::abort();
  const auto again = pump::program::ReadProgram(pump::program::WriteProgram(program));
  const auto* back = std::get_if<pump::program::Program>(&again);
  if (!back || back->steps != program.steps) std::abort();
  return 0;
}
