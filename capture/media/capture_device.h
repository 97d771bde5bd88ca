#pragma once
// One capture device as the media layer sees it: a source element for the pipeline, the
// modes it offers and its controls. Two kinds exist side by side: GStreamer devices found by
// the device monitor, and the test cameras of VISTRELA_TEST_CAMERAS (test_camera.h).
// The `moniker` of a device-table row holds a std::shared_ptr<CaptureDevice>; every moniker in
// the table is made by ListCaptureDevices, so DeviceFromMoniker may cast it back.

#include <gst/gst.h>

#include <memory>
#include <string>
#include <vector>

#include "capture/camera_controls.h"
#include "capture/capture_modes.h"

namespace vistrela {

class CaptureDevice {
public:
    virtual ~CaptureDevice() = default;
    virtual std::string friendlyName() const = 0;
    virtual std::string description() const = 0;
    virtual std::string devicePath() const = 0;
    // A new source element producing the device's picture (floating reference), or nullptr.
    virtual GstElement* createSource() = 0;
    // Every format, size and best rate the device offers, in its own order (first = default).
    virtual std::vector<CameraMode> modes() = 0;
    // The device's controls, or nullptr when it has none that can be reached.
    virtual std::unique_ptr<CameraControls> openControls() = 0;
};

// The devices of the machine, or exactly the test cameras when VISTRELA_TEST_CAMERAS is set.
// A value "@FILE" takes the list from FILE, read again at every call (one camera per line or
// ';'-separated; an empty or missing file lists none). Initialises GStreamer. User-interface
// thread.
std::vector<std::shared_ptr<CaptureDevice>> ListCaptureDevices();

std::shared_ptr<void> ToMoniker(std::shared_ptr<CaptureDevice> device);
std::shared_ptr<CaptureDevice> DeviceFromMoniker(const std::shared_ptr<void>& moniker);

// Reads the rows of `caps` (fixed sizes only; format lists give one row per format).
std::vector<CameraMode> ModesFromCaps(const GstCaps* caps);

// Caps that select `mode` exactly (format, size and, when known, rate). Caller owns the result.
GstCaps* CapsForMode(const CameraMode& mode);

}  // namespace vistrela
