#include "link/pump_frame.h"

#include <charconv>
#include <cmath>

namespace pump::link {
namespace {

// Rounds a non-negative value half away from zero to `decimals` places, working
// on its shortest decimal text so that 2.45 rounds up as the operator expects
// even though the nearest double lies a hair below it. Returns the digits
// without a point, scaled by 10^decimals, or nothing if out of range.
std::optional<long long> ScaledRounded(double value, int decimals, long long maximum) {
  if (!std::isfinite(value) || value < 0) return std::nullopt;
  if (value > static_cast<double>(maximum) + 1.0) return std::nullopt;
  // -0.0 would be written with a sign.
  if (value == 0) value = 0;
  // The fixed form of the smallest double runs to some 330 digits.
  char text[400];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  if (ec != std::errc()) return std::nullopt;
  const std::string_view s(text, static_cast<std::size_t>(end - text));
  const auto point = s.find('.');
  const std::string_view whole = s.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view{} : s.substr(point + 1);

  long long scaled = 0;
  for (char c : whole) scaled = scaled * 10 + (c - '0');
  for (int i = 0; i < decimals; ++i) {
    const int digit = i < static_cast<int>(fraction.size()) ? fraction[i] - '0' : 0;
    scaled = scaled * 10 + digit;
  }
  if (static_cast<int>(fraction.size()) > decimals && fraction[decimals] >= '5') ++scaled;
  if (scaled > maximum) return std::nullopt;
  return scaled;
}

std::string ZeroFilled(long long value, int width) {
  std::string digits = std::to_string(value);
  if (static_cast<int>(digits.size()) < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

}  // namespace

std::optional<std::string> BuildFrame(int address, char letter, std::string_view field) {
  if (address < 0 || address > 99) return std::nullopt;
  if (letter < 'A' || letter > 'Z') return std::nullopt;
  if (field.size() != 4) return std::nullopt;
  for (char c : field) {
    if (c < 0x20 || c > 0x7E) return std::nullopt;
  }
  std::string frame = "Q";
  frame += ZeroFilled(address, 2);
  frame += letter;
  frame += field;
  frame += 'Y';
  return frame;
}

std::optional<std::string> FlowField(double flow) {
  const auto scaled = ScaledRounded(flow, 0, 9999);
  if (!scaled) return std::nullopt;
  return ZeroFilled(*scaled, 4);
}

std::optional<std::string> PressureField(double pressure) {
  const auto scaled = ScaledRounded(pressure, 1, 999);
  if (!scaled) return std::nullopt;
  std::string digits = ZeroFilled(*scaled, 3);
  return digits.substr(0, 2) + "." + digits.substr(2);
}

bool IsFrame(std::string_view text) {
  return text.size() >= kFrameLength && text[0] == 'Q' && text[8] == 'Y';
}

char FrameKind(std::string_view frame) { return frame[3]; }

std::string FrameValue(std::string_view frame) { return std::string(frame.substr(4, 4)); }

std::string PressureDisplay(std::string_view frame) {
  std::string shown(frame.substr(4, 2));
  shown += '.';
  shown += frame[7];
  return shown;
}

}  // namespace pump::link
