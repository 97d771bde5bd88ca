#include "settings/settings.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "common/strings.h"
#include "settings/paths.h"
#include "viewer/view_state.h"

namespace vistrela {

CIni theIni;
Settings theSettings;
std::string desktopPath;

namespace {

// One "%d" of sscanf: blanks skipped, optional sign, digits. Values outside int fail instead
// of being undefined.
bool ScanInt(const char*& p, int& out) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(p, &end, 10);
    if (end == p || errno == ERANGE || value < INT_MIN || value > INT_MAX) return false;
    out = static_cast<int>(value);
    p = end;
    return true;
}

}  // namespace

void Settings::SetDefaults() {
    jpegQuality = kDefaultJpegQuality;
    fileName = kDefaultFileName;
    nameMode = kDefaultNameMode;
    theView.frameWidth = kDefaultWidth;
    theView.frameHeight = kDefaultHeight;
    resolutionMode = FormatString("%d*%d", kDefaultWidth, kDefaultHeight);
    ParseResolution();
    cropWidth = theView.frameWidth;
    cropHeight = theView.frameHeight;
    hideAfterCapture = 0;
    savePath = desktopPath;
    if (savePath.empty() || savePath.back() != '/') savePath += '/';
    theView.zoomLimit = 3;
}

void Settings::Load() {
    SetDefaults();
    cameraName = theIni.GetString("camsi", "curfn", nullptr);
    deviceCount = static_cast<int>(
        std::min<std::uint32_t>(theIni.GetUInt("camsi", "num", 0, 10), MAX_DEVICES));
    ParseResolution();
    jpegQuality = static_cast<int>(
        theIni.GetUInt("main", "jpgq", static_cast<std::uint32_t>(jpegQuality), 10));
    cropHeight = static_cast<int>(
        theIni.GetUInt("main", "croph", static_cast<std::uint32_t>(cropHeight), 10));
    cropWidth = static_cast<int>(
        theIni.GetUInt("main", "cropw", static_cast<std::uint32_t>(cropWidth), 10));
    ClampCrop(0.9);
    savePath = theIni.GetString("main", "path", nullptr);
    if (savePath.empty()) savePath = HomeFolder();
    fileName = theIni.GetString("main", "fname", nullptr);
    if (fileName.empty()) fileName = kEmptyIniFileName;
    nameMode = static_cast<int>(
        theIni.GetUInt("main", "autonum", static_cast<std::uint32_t>(nameMode), 10));
    hideAfterCapture = static_cast<int>(
        theIni.GetUInt("main", "autohide", static_cast<std::uint32_t>(hideAfterCapture), 10));
}

void Settings::ParseResolution() {
    int width = 0;
    int height = 0;
    const char* p = resolutionMode.c_str();
    const bool scanned = ScanInt(p, width) && *p++ == '*' && ScanInt(p, height);
    if (!scanned || width < 1 || height < 1) {
        width = kDefaultWidth;
        height = kDefaultHeight;
    }
    theView.frameWidth = width;
    theView.frameHeight = height;
    theView.zoomSize = theView.zoomMinSize = width;
    theView.zoomSizeY = theView.zoomMinSizeY = height;
    theView.zoom = 1.0;
}

void Settings::ClampCrop([[maybe_unused]] double factor) {
    cropWidth = theView.frameWidth;
    cropHeight = theView.frameHeight;
}

void Settings::ResetDevices() {
    deviceCount = 0;
    cameraName.clear();
    for (DeviceEntry& row : devices) row = DeviceEntry{};
}

void ApplyStartupSettings() {
    theIni.SetPathName(IniPath().c_str());
    theSettings.Load();
    desktopPath = DesktopFolder();
    theSettings.SetDefaults();
    theView.zoomLimit = kStartupZoomLimit;
}

}  // namespace vistrela
