#pragma once
// One capture device of the device table.

#include <memory>
#include <string>

namespace vistrela {

inline constexpr int MAX_DEVICES = 10;

struct DeviceEntry {
    // The platform's handle of the device (a GstDevice reference in the media layer), kept
    // type-erased so the core does not depend on the media libraries. Empty = no device.
    std::shared_ptr<void> moniker;
    std::string friendlyName;  // display name, the name the user picks and the ini stores
    std::string description;   // device class or card
    std::string devicePath;    // device node, for example /dev/video0
    // What tells this camera apart from every other one across replugs: its USB serial number
    // and its USB port path (the physical socket chain), each "" when the device has none.
    std::string serial;
    std::string portPath;
};

}  // namespace vistrela
