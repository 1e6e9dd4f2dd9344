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
// A device name or path is taken as typed ("ttyUSB0" is looked for in /dev).
// Nothing for an answer that is neither, or a port number below 1.
std::optional<std::string> PortDevice(std::string_view answer,
                                      PortNaming naming = kHostPortNaming);

}  // namespace pump::link
