// The text-to-number conversions on arbitrary text: no crash, no undefined
// behaviour, and the conversions agree with one another.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "link/port_name.h"
#include "platform/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  const auto value = pump::ToDouble(text);
  if (value && !std::isfinite(*value)) std::abort();
  if (pump::IsNumeric(text) != value.has_value()) std::abort();
  const auto whole = pump::ToInteger(text);
  if (whole && !value) std::abort();
  if (whole && std::fabs(*value - *whole) > 0.5) std::abort();
  (void)pump::link::PortDevice(text);
  return 0;
}
