#include "capture/media/capture_device.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "capture/device_table.h"
#include "capture/media/test_camera.h"
#include "capture/media/v4l2_controls.h"
#include "common/media/gstreamer_init.h"

namespace vistrela {
namespace {

std::string StringProperty(const GstStructure* props, const char* key) {
    const gchar* value = props != nullptr ? gst_structure_get_string(props, key) : nullptr;
    return value != nullptr ? value : "";
}

// Where sysfs could not say: udev's ID_PATH as the V4L2 provider gives it ("device.bus_path",
// unless it fell back to a sysfs path), else the driver's bus information
// ("usb-0000:00:14.0-2.3"), which names the port as well.
std::string PortFromProperties(const GstStructure* props) {
    std::string port = StringProperty(props, "device.bus_path");
    if (port.empty() || port.front() == '/') port = StringProperty(props, "v4l2.device.bus_info");
    if (port.empty()) port = StringProperty(props, "api.v4l2.cap.bus_info");
    return port;
}

std::string FirstLine(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line)) return {};
    const auto last = line.find_last_not_of(" \t\r\n");
    return last == std::string::npos ? std::string() : line.substr(0, last + 1);
}

// A device found by GstDeviceMonitor; holds one reference on the GstDevice.
class MonitorDevice final : public CaptureDevice {
public:
    explicit MonitorDevice(GstDevice* device) : device_(GST_DEVICE(gst_object_ref(device))) {
        gchar* name = gst_device_get_display_name(device_);
        name_ = name != nullptr ? name : "noName";
        g_free(name);
        GstStructure* props = gst_device_get_properties(device_);
        path_ = StringProperty(props, "device.path");
        if (path_.empty()) path_ = StringProperty(props, "api.v4l2.path");
        description_ = StringProperty(props, "v4l2.device.card");
        if (description_.empty()) {
            gchar* cls = gst_device_get_device_class(device_);
            description_ = cls != nullptr ? cls : "";
            g_free(cls);
        }
        // The device provider's own serial property is udev's ID_SERIAL, which is
        // "Vendor_Model" for a camera without a serial number and so tells two such cameras
        // apart no better than their name: the serial number comes from sysfs only.
        const UsbPlace place = UsbPlaceOfNode(path_);
        serial_ = place.serial;
        portPath_ = place.portPath;
        if (portPath_.empty()) portPath_ = PortFromProperties(props);
        if (props != nullptr) gst_structure_free(props);
    }
    ~MonitorDevice() override { gst_object_unref(device_); }
    MonitorDevice(const MonitorDevice&) = delete;
    MonitorDevice& operator=(const MonitorDevice&) = delete;

    std::string friendlyName() const override { return name_; }
    std::string description() const override { return description_; }
    std::string devicePath() const override { return path_; }
    std::string serial() const override { return serial_; }
    std::string portPath() const override { return portPath_; }
    GstElement* createSource() override { return gst_device_create_element(device_, nullptr); }
    std::vector<CameraMode> modes() override {
        GstCaps* caps = gst_device_get_caps(device_);
        std::vector<CameraMode> result = ModesFromCaps(caps);
        if (caps != nullptr) gst_caps_unref(caps);
        return result;
    }
    std::unique_ptr<CameraControls> openControls() override {
        if (path_.empty()) return nullptr;
        return std::make_unique<V4l2Controls>(path_);
    }

private:
    GstDevice* device_;
    std::string name_;
    std::string description_;
    std::string path_;
    std::string serial_;
    std::string portPath_;
};

std::vector<std::shared_ptr<CaptureDevice>> MonitorDevices() {
    std::vector<std::shared_ptr<CaptureDevice>> result;
    GstDeviceMonitor* monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, "Video/Source", nullptr);
    GList* devices = gst_device_monitor_get_devices(monitor);
    // The PipeWire and V4L2 providers can both list one camera; keep the first of each node.
    std::set<std::string> paths;
    for (GList* l = devices; l != nullptr; l = l->next) {
        auto device = std::make_shared<MonitorDevice>(GST_DEVICE(l->data));
        const std::string path = device->devicePath();
        if (!path.empty() && !paths.insert(path).second) continue;
        result.push_back(std::move(device));
    }
    g_list_free_full(devices, gst_object_unref);
    gst_object_unref(monitor);
    return result;
}

void AddFramerate(const GValue* value, CameraMode& mode) {
    auto consider = [&mode](int num, int den) {
        if (den <= 0) return;
        if (mode.fpsNumerator == 0 || static_cast<double>(num) / den > mode.fps())
            mode.fpsNumerator = num, mode.fpsDenominator = den;
    };
    if (value == nullptr) return;
    if (GST_VALUE_HOLDS_FRACTION(value)) {
        consider(gst_value_get_fraction_numerator(value),
                 gst_value_get_fraction_denominator(value));
    } else if (GST_VALUE_HOLDS_LIST(value)) {
        for (guint i = 0; i < gst_value_list_get_size(value); ++i)
            AddFramerate(gst_value_list_get_value(value, i), mode);
    } else if (GST_VALUE_HOLDS_FRACTION_RANGE(value)) {
        AddFramerate(gst_value_get_fraction_range_max(value), mode);
    }
}

}  // namespace

std::string TestCameraListText(const std::string& value) {
    if (value.empty() || value[0] != '@') return value;
    std::ifstream file(value.substr(1), std::ios::binary);
    if (!file) return {};
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ';');
    return text;
}

std::vector<std::shared_ptr<CaptureDevice>> ListCaptureDevices(const DeviceSources& sources) {
    EnsureGStreamer();
    if (sources.testCameras) {
        const std::string& test = *sources.testCameras;
        std::vector<std::shared_ptr<CaptureDevice>> result;
        for (TestCameraEntry entry : ParseTestCameras(TestCameraListText(test))) {
            if (!test.empty() && test[0] == '@') entry.listFile = test;
            result.push_back(std::make_shared<TestCamera>(entry));
        }
        return result;
    }
    return MonitorDevices();
}

UsbPlace UsbPlaceOfNode(const std::string& devicePath, const std::string& sysfsRoot) {
    namespace fs = std::filesystem;
    UsbPlace place;
    std::error_code error;
    // A node reached through a link (/dev/v4l/by-id/...) is named by its target.
    fs::path node = fs::canonical(devicePath, error);
    if (error) node = devicePath;
    const std::string name = node.filename().string();
    if (name.empty()) return place;
    const fs::path root = fs::weakly_canonical(sysfsRoot, error);
    if (error) return place;
    fs::path dir = fs::canonical(root / "class" / "video4linux" / name / "device", error);
    if (error) return place;
    // The interface is one level below the USB device; a few more allow for bridges.
    for (int depth = 0; depth < 4 && dir.has_relative_path() && dir != root; ++depth) {
        if (fs::exists(dir / "idVendor", error)) {
            std::string serial = FirstLine(dir / "serial");
            if (serial.find_first_not_of('0') == std::string::npos) serial.clear();
            place.serial = serial;
            place.portPath = dir.filename().string();
            return place;
        }
        dir = dir.parent_path();
    }
    return place;
}

std::shared_ptr<void> ToMoniker(std::shared_ptr<CaptureDevice> device) {
    return device;
}

std::shared_ptr<CaptureDevice> DeviceFromMoniker(const std::shared_ptr<void>& moniker) {
    return std::static_pointer_cast<CaptureDevice>(moniker);
}

std::vector<CameraMode> ModesFromCaps(const GstCaps* caps) {
    std::vector<CameraMode> modes;
    if (caps == nullptr) return modes;
    for (guint i = 0; i < gst_caps_get_size(caps); ++i) {
        const GstStructure* s = gst_caps_get_structure(caps, i);
        CameraMode mode;
        if (!gst_structure_get_int(s, "width", &mode.width) ||
            !gst_structure_get_int(s, "height", &mode.height))
            continue;
        AddFramerate(gst_structure_get_value(s, "framerate"), mode);
        if (gst_structure_has_name(s, "image/jpeg")) {
            mode.format = PixelFormat::Mjpeg;
            modes.push_back(mode);
            continue;
        }
        if (!gst_structure_has_name(s, "video/x-raw")) {
            mode.format = PixelFormat::Other;
            mode.formatName = gst_structure_get_name(s);
            modes.push_back(mode);
            continue;
        }
        std::vector<std::string> formats;
        const GValue* format = gst_structure_get_value(s, "format");
        if (format != nullptr && G_VALUE_HOLDS_STRING(format)) {
            formats.emplace_back(g_value_get_string(format));
        } else if (format != nullptr && GST_VALUE_HOLDS_LIST(format)) {
            for (guint k = 0; k < gst_value_list_get_size(format); ++k) {
                const GValue* f = gst_value_list_get_value(format, k);
                if (G_VALUE_HOLDS_STRING(f)) formats.emplace_back(g_value_get_string(f));
            }
        }
        for (const std::string& f : formats) {
            mode.formatName = f;
            mode.format = f == "YUY2" ? PixelFormat::Yuy2 : PixelFormat::OtherRaw;
            modes.push_back(mode);
        }
    }
    return modes;
}

GstCaps* CapsForMode(const CameraMode& mode) {
    GstCaps* caps = nullptr;
    if (mode.format == PixelFormat::Mjpeg) {
        caps = gst_caps_new_simple("image/jpeg", "width", G_TYPE_INT, mode.width, "height",
                                   G_TYPE_INT, mode.height, nullptr);
    } else {
        caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, mode.formatName.c_str(),
                                   "width", G_TYPE_INT, mode.width, "height", G_TYPE_INT,
                                   mode.height, nullptr);
    }
    if (mode.fpsNumerator > 0)
        gst_caps_set_simple(caps, "framerate", GST_TYPE_FRACTION, mode.fpsNumerator,
                            mode.fpsDenominator, nullptr);
    return caps;
}

}  // namespace vistrela
