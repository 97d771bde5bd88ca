#pragma once
// The camera's own controls (brightness, focus, ...) behind one small interface, so the
// camera-settings dialog and the focus reset work the same on a V4L2 device and on a test
// camera. Implementations live in capture/media; this header has no platform types.
// An instance is used on the user-interface thread only.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vistrela {

enum class ControlType { Integer, Boolean, Menu };

// What a control means, where the program needs to know it (the focus reset).
enum class ControlRole { Other, Brightness, Contrast, Saturation, Focus, AutoFocus };

struct ControlMenuItem {
    int value = 0;
    std::string label;
};

struct ControlInfo {
    std::uint32_t id = 0;  // the implementation's own id (the V4L2 control id on Linux)
    std::string name;      // as the driver gives it
    ControlType type = ControlType::Integer;
    ControlRole role = ControlRole::Other;
    int minimum = 0;
    int maximum = 0;
    int step = 1;
    int defaultValue = 0;
    std::vector<ControlMenuItem> menu;  // Menu controls only: the valid values in order
};

class CameraControls {
public:
    virtual ~CameraControls() = default;
    // Every control the device lets the user change, in the device's order.
    virtual std::vector<ControlInfo> list() = 0;
    // The current value, or nothing when the device does not answer.
    virtual std::optional<int> get(std::uint32_t id) = 0;
    // Applies `value` at once; false when the device refuses it.
    virtual bool set(std::uint32_t id, int value) = 0;
};

// Sets every listed control to its default. Returns how many the device accepted.
int RestoreDefaults(CameraControls& controls);

// Puts the focus to the device's default: a non-zero default is set as manual focus (automatic
// focus switched off first); a default of 0, or no focus control at all, switches automatic
// focus on where the device has it. Returns the focus value chosen (0 for automatic).
int ResetFocus(CameraControls& controls);

}  // namespace vistrela
