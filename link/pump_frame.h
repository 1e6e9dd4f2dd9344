// The pump's nine-character frame: "Q", two address digits, a letter, a
// four-character value field and "Y". No terminator, no checksum. These pure
// functions are the only place frames are built or taken apart.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pump::link {

inline constexpr std::size_t kFrameLength = 9;
inline constexpr std::string_view kRunFrame = "Q00R0000Y";
inline constexpr std::string_view kStopFrame = "Q00S0000Y";
inline constexpr std::string_view kPollFrame = "Q00F0000Y";

// "Q" + address as two digits + letter + field + "Y". Nothing when the address
// is outside 0..99, the letter is not an upper-case ASCII letter or the field is
// not four printable ASCII characters: such a frame must never reach the line.
std::optional<std::string> BuildFrame(int address, char letter, std::string_view field);

// Flow in ml/min in the pattern "0000": the whole number, zero-filled. A
// fraction is rounded half away from zero, on the decimal digits of the value
// (150.5 -> "0151"). Nothing for a negative flow or one that rounds above 9999.
std::optional<std::string> FlowField(double flow);

// Pressure in MPa in the pattern "00.0", always with "." whatever the locale;
// rounded half away from zero to one decimal (2.45 -> "02.5"). Nothing for a
// negative pressure or one that rounds above 99.9.
std::optional<std::string> PressureField(double pressure);

// A received text is a frame when its first character is "Q" and its ninth is
// "Y", compared exactly. Anything after the ninth character is not looked at.
bool IsFrame(std::string_view text);
// The reply letter, the fourth character. Only for a text that passed IsFrame.
char FrameKind(std::string_view frame);
// Characters 5 to 8. Only for a text that passed IsFrame.
std::string FrameValue(std::string_view frame);
// How a pressure reply is shown: characters 5 and 6, ".", character 8.
// Character 7 is not read.
std::string PressureDisplay(std::string_view frame);

}  // namespace pump::link
