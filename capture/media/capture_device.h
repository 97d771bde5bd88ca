#pragma once
// One capture device as the media layer sees it: a source element for the pipeline, the
// modes it offers and its controls. Two kinds exist side by side: GStreamer devices found by
// the device monitor, and the test cameras (test_camera.h) of DeviceSources::testCameras.
// The `moniker` of a device-table row holds a std::shared_ptr<CaptureDevice>; every moniker in
// the table is made by ListCaptureDevices, so DeviceFromMoniker may cast it back.

#include <gst/gst.h>

#include <memory>
#include <string>
#include <vector>

#include "capture/camera_controls.h"
#include "capture/capture_modes.h"
#include "common/device_sources.h"

namespace vistrela {

class CaptureDevice {
public:
    virtual ~CaptureDevice() = default;
    virtual std::string friendlyName() const = 0;
    virtual std::string description() const = 0;
    virtual std::string devicePath() const = 0;
    // The USB serial number (the device's own iSerial, never a vendor and model text) and the
    // USB port path (the chain of hub ports, such as "1-2.3"), each "" when unknown.
    virtual std::string serial() const = 0;
    virtual std::string portPath() const = 0;
    // A new source element producing the device's picture (floating reference), or nullptr.
    virtual GstElement* createSource() = 0;
    // Every format, size and best rate the device offers, in its own order (first = default).
    virtual std::vector<CameraMode> modes() = 0;
    // The device's controls, or nullptr when it has none that can be reached.
    virtual std::unique_ptr<CameraControls> openControls() = 0;
};

// The devices of the machine, or exactly the test cameras of `sources` when it names any. A
// list "@FILE" is read from FILE at every call (one camera per line or ';'-separated; an empty
// or missing file lists none). Initialises GStreamer. User-interface thread.
std::vector<std::shared_ptr<CaptureDevice>> ListCaptureDevices(const DeviceSources& sources);

// The camera list of a test-camera value: the value itself, or with "@FILE" the
// current text of FILE with its line ends as ';' ("" when it cannot be read). Any thread.
std::string TestCameraListText(const std::string& value);

std::shared_ptr<void> ToMoniker(std::shared_ptr<CaptureDevice> device);
std::shared_ptr<CaptureDevice> DeviceFromMoniker(const std::shared_ptr<void>& moniker);

// Where a V4L2 device node sits on the USB: the serial number and port path of the USB device
// that owns `devicePath` (such as /dev/video0), read from sysfs under `sysfsRoot`:
// class/video4linux/<node>/device leads to the USB interface, whose nearest ancestor with an
// idVendor file is the USB device; its `serial` file is the serial number (none when missing,
// blank or all zeros, a placeholder some makers ship) and its directory name the port path.
// Both "" when the node is not a USB device or sysfs cannot be read.
struct UsbPlace {
    std::string serial;
    std::string portPath;
};
UsbPlace UsbPlaceOfNode(const std::string& devicePath, const std::string& sysfsRoot = "/sys");

// Reads the rows of `caps` (fixed sizes only; format lists give one row per format).
std::vector<CameraMode> ModesFromCaps(const GstCaps* caps);

// Caps that select `mode` exactly (format, size and, when known, rate). Caller owns the result.
GstCaps* CapsForMode(const CameraMode& mode);

}  // namespace vistrela
