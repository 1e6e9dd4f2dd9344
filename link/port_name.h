// Turns the operator's answer to the port box into the device to open.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pump::link {

enum class PortNaming { Windows, Posix };

#ifdef _WIN32
inline constexpr PortNaming kHostPortNaming = PortNaming::Windows;
#else
inline constexpr PortNaming kHostPortNaming = PortNaming::Posix;
#endif

// The name of the built-in simulated pump.
inline constexpr std::string_view kSimulatedPort = "sim";

// A number is a port number, read as the Integer conversion reads it (2.5 -> 2,
// 3.5 -> 4): n >= 1 gives "COMn" on Windows and "/dev/ttyS(n-1)" elsewhere.
// Most pumps now hang on USB adapters, so a device name or path is opened as
// typed: "COM3", "\\.\COM12", "/dev/ttyUSB0", "/dev/pts/4", and on POSIX a bare
// "ttyUSB0", "cu.usbserial" or "rfcomm0" is looked for in /dev. "sim" names the
// simulated pump. Nothing for any other answer, a port number below 1, or the
// pseudo-terminal multiplexer /dev/ptmx.
std::optional<std::string> PortDevice(std::string_view answer, PortNaming naming = kHostPortNaming);

}  // namespace pump::link
