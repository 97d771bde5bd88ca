#include "capture/camera_controls.h"

namespace vistrela {

int RestoreDefaults(CameraControls& controls) {
    int accepted = 0;
    for (const ControlInfo& c : controls.list()) {
        if (controls.set(c.id, c.defaultValue)) ++accepted;
    }
    return accepted;
}

int ResetFocus(CameraControls& controls) {
    const ControlInfo* focus = nullptr;
    const ControlInfo* autoFocus = nullptr;
    const std::vector<ControlInfo> all = controls.list();
    for (const ControlInfo& c : all) {
        if (c.role == ControlRole::Focus && focus == nullptr) focus = &c;
        if (c.role == ControlRole::AutoFocus && autoFocus == nullptr) autoFocus = &c;
    }
    const int focusValue = focus != nullptr ? focus->defaultValue : 0;
    if (focusValue != 0) {
        // Most drivers refuse a manual focus value while automatic focus is on.
        if (autoFocus != nullptr) controls.set(autoFocus->id, 0);
        controls.set(focus->id, focusValue);
    } else if (autoFocus != nullptr) {
        controls.set(autoFocus->id, 1);
    }
    return focusValue;
}

}  // namespace vistrela
