// USB serial adapters get their /dev/ttyUSBn or /dev/ttyACMn name in the order
// they appear, so one that drops out and comes back may return under another
// number. udev also gives each a stable name under /dev/serial/by-id.
#pragma once

#include <optional>
#include <string>

namespace pump::link {

inline constexpr char kStableNamesFolder[] = "/dev/serial/by-id";

// For a device opened by a name that can change (a ttyUSB or ttyACM node),
// the stable name in `folder` that points at the same device now. Nothing for
// any other name (a symlink the operator typed is kept as typed), or when no
// stable name points there.
std::optional<std::string> StableAdapterName(const std::string& device,
                                             const std::string& folder = kStableNamesFolder);

}  // namespace pump::link
