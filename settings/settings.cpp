#include "settings/settings.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "common/strings.h"
#include "settings/paths.h"
#include "viewer/view_state.h"

namespace vistrela {

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

void Settings::SetDefaults(const std::string& desktopPath) {
    jpegQuality = kDefaultJpegQuality;
    fileName = kDefaultFileName;
    nameMode = kDefaultNameMode;
    resolutionMode = FormatString("%d*%d", kDefaultWidth, kDefaultHeight);
    const ResolutionSize size = ParseResolutionSize(resolutionMode);
    cropWidth = size.width;
    cropHeight = size.height;
    hideAfterCapture = 0;
    timeLapseSeconds = 0;
    savePath = desktopPath;
    if (savePath.empty() || savePath.back() != '/') savePath += '/';
}

void Settings::Load(const CIni& ini, const std::string& desktopPath) {
    SetDefaults(desktopPath);
    cameraName = ini.GetString("camsi", "curfn", nullptr);
    deviceCount =
        static_cast<int>(std::min<std::uint32_t>(ini.GetUInt("camsi", "num", 0, 10), MAX_DEVICES));
    jpegQuality =
        static_cast<int>(ini.GetUInt("main", "jpgq", static_cast<std::uint32_t>(jpegQuality), 10));
    // The file's "croph" and "cropw" never count: the crop size is the frame size, which is
    // the default resolution's here (SetDefaults set it).
    savePath = InProgramFolder(ini.GetString("main", "path", nullptr));
    if (savePath.empty()) savePath = HomeFolder();
    fileName = ini.GetString("main", "fname", nullptr);
    if (fileName.empty()) fileName = kEmptyIniFileName;
    nameMode =
        static_cast<int>(ini.GetUInt("main", "autonum", static_cast<std::uint32_t>(nameMode), 10));
    hideAfterCapture = static_cast<int>(
        ini.GetUInt("main", "autohide", static_cast<std::uint32_t>(hideAfterCapture), 10));
}

void Settings::ClampCrop(const ViewState& view, [[maybe_unused]] double factor) {
    cropWidth = view.frameWidth;
    cropHeight = view.frameHeight;
}

void Settings::ResetDevices() {
    deviceCount = 0;
    cameraName.clear();
    for (DeviceEntry& row : devices) row = DeviceEntry{};
}

Settings LoadSettings(const CIni& ini, const std::string& desktopPath) {
    Settings settings;
    settings.Load(ini, desktopPath);
    return settings;
}

Settings OptionsStartSettings(const Settings& inForce, const CIni& ini) {
    Settings s = inForce;
    auto number = [&ini](const char* key, int inForceValue) {
        return static_cast<int>(
            ini.GetUInt("main", key, static_cast<std::uint32_t>(inForceValue), 10));
    };
    auto text = [&ini](const char* key, std::string& value) {
        std::string named = ini.GetString("main", key, nullptr);
        if (!named.empty()) value = std::move(named);
    };
    s.jpegQuality = number("jpgq", inForce.jpegQuality);
    text("path", s.savePath);
    text("fname", s.fileName);
    s.nameMode = number("autonum", inForce.nameMode);
    s.hideAfterCapture = number("autohide", inForce.hideAfterCapture);
    return s;
}

ResolutionSize ParseResolutionSize(const std::string& resolutionMode) {
    ResolutionSize size;
    int width = 0;
    int height = 0;
    const char* p = resolutionMode.c_str();
    const bool scanned = ScanInt(p, width) && *p++ == '*' && ScanInt(p, height);
    if (scanned && width >= 1 && height >= 1) {
        size.width = width;
        size.height = height;
    }
    return size;
}

void ParseResolution(const std::string& resolutionMode, ViewState& view) {
    const ResolutionSize size = ParseResolutionSize(resolutionMode);
    view.frameWidth = size.width;
    view.frameHeight = size.height;
    view.zoomSize = view.zoomMinSize = size.width;
    view.zoomSizeY = view.zoomMinSizeY = size.height;
    view.zoom = 1.0;
}

void ApplyDefaultView(const Settings& settings, ViewState& view) {
    ParseResolution(settings.resolutionMode, view);
    view.zoomLimit = kDefaultZoomLimit;
}

Settings StartupSettings(const CIni& ini, const std::string& desktopPath, ViewState& view) {
    // The first load runs before the desktop folder is known; the defaults that follow keep
    // only the camera name and the device count from the file.
    Settings settings = LoadSettings(ini, std::string());
    settings.SetDefaults(desktopPath);
    ApplyDefaultView(settings, view);
    view.zoomLimit = kStartupZoomLimit;
    return settings;
}

}  // namespace vistrela
