// The text-to-number conversions on arbitrary text: no crash, no undefined
// behaviour, and the conversions agree with one another. The pump's numbers
// read back from their plain form to the same number.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "link/port_name.h"
#include "platform/number_text.h"
#include "vocabulary/quantity.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(bytes), size);
  const auto value = pump::ToDouble(text);
  if (value && !std::isfinite(*value)) std::abort();
  if (pump::IsNumeric(text) != value.has_value()) std::abort();
  const auto whole = pump::ToInteger(text);
  if (whole && !value) std::abort();
  if (whole && std::fabs(*value - *whole) > 0.5) std::abort();
  (void)pump::link::PortDevice(text);
  if (const auto decimal = pump::ParseDecimal(text)) {
    // Both read a plain decimal alike, up to the last bit of an 18-digit one.
    if (!value || std::fabs(*value - decimal->value()) > 1e-12 * std::fabs(*value)) std::abort();
    if (pump::ParseDecimal(pump::PlainText(*decimal)) != decimal) std::abort();
  }
  return 0;
}
