#include "capture/device_table.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>

#include "common/strings.h"

namespace vistrela {

void PreferUsbCameras(DeviceTable& devices, int count) {
    if (count > MAX_DEVICES) count = MAX_DEVICES;
    for (int i = 1; i < count; ++i) {
        if (devices[i].friendlyName.compare(0, 3, "USB") == 0) std::swap(devices[i], devices[0]);
    }
}

int FindDeviceIndex(const DeviceTable& devices, int count, const std::string& name) {
    if (count > MAX_DEVICES) count = MAX_DEVICES;
    for (int i = 0; i < count; ++i) {
        if (devices[i].friendlyName == name) return i;
    }
    return -1;
}

std::string CameraIdentity(const DeviceEntry& device) {
    if (!device.serial.empty()) return "serial:" + device.serial;
    if (!device.portPath.empty()) return "port:" + device.portPath;
    return "name:" + device.friendlyName;
}

int FindDeviceByIdentity(const DeviceTable& devices, int count, const std::string& identity) {
    count = std::min(count, MAX_DEVICES);
    for (int i = 0; i < count; ++i) {
        if (CameraIdentity(devices[i]) == identity) return i;
    }
    return -1;
}

int FindCameraAgain(const DeviceTable& devices, int count, const std::string& identity,
                    const std::string& name) {
    count = std::min(count, MAX_DEVICES);
    const int same = FindDeviceByIdentity(devices, count, identity);
    if (same >= 0) return same;
    const std::string_view serialTag = "serial:";
    const std::string serial =
        identity.starts_with(serialTag) ? identity.substr(serialTag.size()) : std::string();
    for (int i = 0; i < count; ++i) {
        if (devices[i].friendlyName == name && (identity.empty() || devices[i].serial == serial))
            return i;
    }
    return -1;
}

int RowAfterRelisting(const DeviceTable& before, int beforeCount, int row, const DeviceTable& now,
                      int nowCount, const std::string& runningPath, const std::string& identity,
                      const std::string& name) {
    beforeCount = std::min(beforeCount, MAX_DEVICES);
    nowCount = std::min(nowCount, MAX_DEVICES);
    bool same = beforeCount == nowCount && row >= 0 && row < nowCount;
    for (int i = 0; same && i < nowCount; ++i)
        same = CameraIdentity(before[i]) == CameraIdentity(now[i]) &&
               before[i].devicePath == now[i].devicePath;
    if (same) return row;
    for (int i = 0; !runningPath.empty() && i < nowCount; ++i)
        if (now[i].devicePath == runningPath) return i;
    return identity.empty() ? -1 : FindCameraAgain(now, nowCount, identity, name);
}

int ChooseCamera(const DeviceTable& devices, int count, std::string& cameraName, int preferredRow) {
    if (count < 1) return -1;
    const std::string asked = cameraName;
    if (FindDeviceIndex(devices, count, cameraName) < 0) cameraName = devices[0].friendlyName;
    if (cameraName.size() < 2) cameraName = devices[0].friendlyName;
    // The row only says which of the namesakes of the asked camera; once the name fell back
    // to row 0's, row 0 it is.
    if (cameraName == asked && preferredRow >= 0 && preferredRow < std::min(count, MAX_DEVICES) &&
        devices[preferredRow].friendlyName == cameraName)
        return preferredRow;
    const int row = FindDeviceIndex(devices, count, cameraName);
    return row < 0 ? 0 : row;
}

namespace {

bool ParseInt(const std::string& text, int& value) {
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool ParseSize(const std::string& text, TestCameraEntry::Size& size) {
    const auto x = text.find('x');
    if (x == std::string::npos) return false;
    int w = 0;
    int h = 0;
    if (!ParseInt(text.substr(0, x), w) || !ParseInt(text.substr(x + 1), h)) return false;
    if (w < kTestCameraMinSide || h < kTestCameraMinSide || w > kTestCameraMaxSide ||
        h > kTestCameraMaxSide || w % 2 != 0)
        return false;
    size = {w, h};
    return true;
}

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

void ParseProperties(const std::string& text, TestCameraEntry& camera) {
    std::vector<std::string> fields;
    SplitTokens(text, ',', fields, true);
    for (const std::string& field : fields) {
        const auto eq = field.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = Trimmed(field.substr(0, eq));
        const std::string value = Trimmed(field.substr(eq + 1));
        if (key == "serial") camera.serial = value;
        if (key == "port") camera.portPath = value;
        if (key == "pattern" && (value == "clapper" || value == "page" || value.empty()))
            camera.pattern = value;
        if (key == "format" && (value == "MJPG" || value == "MJPG422" || value.empty()))
            camera.format = value;
    }
}

}  // namespace

std::vector<TestCameraEntry> ParseTestCameras(const std::string& text) {
    std::vector<TestCameraEntry> cameras;
    std::vector<std::string> entries;
    SplitTokens(text, ';', entries, true);
    for (const std::string& entry : entries) {
        std::vector<std::string> parts;
        SplitTokens(entry, '@', parts, true);
        TestCameraEntry camera;
        camera.name = parts[0];
        if (camera.name.empty()) continue;
        // Property lists may stand anywhere after the name; what remains is SIZES, FPS.
        std::vector<std::string> plain;
        for (std::size_t i = 1; i < parts.size(); ++i) {
            if (parts[i].find('=') != std::string::npos)
                ParseProperties(parts[i], camera);
            else
                plain.push_back(parts[i]);
        }
        if (!plain.empty()) {
            std::vector<std::string> sizes;
            SplitTokens(plain[0], ',', sizes, true);
            for (const std::string& s : sizes) {
                TestCameraEntry::Size size;
                if (ParseSize(s, size)) camera.sizes.push_back(size);
            }
        }
        if (plain.size() > 1) {
            int fps = 0;
            if (ParseInt(plain[1], fps) && fps >= 1 && fps <= kTestCameraMaxFps)
                camera.framesPerSecond = fps;
        }
        if (camera.sizes.empty()) camera.sizes.push_back({640, 480});
        cameras.push_back(std::move(camera));
    }
    return cameras;
}

}  // namespace vistrela
