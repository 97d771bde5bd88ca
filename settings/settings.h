#pragma once
// The settings record and its load from capture.ini.
//
// capture.ini is only read, never written. Section "camsi": "curfn" (camera name), "num"
// (device count); section "main": "jpgq", "croph", "cropw", "path", "fname", "autonum",
// "autohide". docs/capture.ini describes every key.
//
// Threads: a Settings value belongs to whoever holds it; the window's copy lives on the
// user-interface thread and the capture streaming thread never touches it.

#include <array>
#include <string>

#include "settings/device_entry.h"
#include "settings/ini.h"
#include "viewer/view_state.h"

namespace vistrela {

inline constexpr int kDefaultJpegQuality = 99;
inline constexpr const char* kDefaultFileName = "image.jpg";
// The name Load falls back to when the ini's "fname" is empty (differs from kDefaultFileName
// on purpose: it shows that the ini was read but gave no name).
inline constexpr const char* kEmptyIniFileName = "image2.jpg";
inline constexpr int kDefaultNameMode = 1;  // name pictures from the current time
inline constexpr int kDefaultWidth = 640;
inline constexpr int kDefaultHeight = 480;
inline constexpr int kStartupZoomLimit = 8;
inline constexpr int kDefaultZoomLimit = 3;

// Picture naming modes (`nameMode`).
inline constexpr int kNameFixed = 0;
inline constexpr int kNameTimeStamp = 1;
inline constexpr int kNameAsk = 2;

// The view fields the settings drive belong to a ViewState the caller owns; nothing here
// touches a process-wide record. A Settings is a plain value: the options dialog edits a copy
// and the window takes it back on OK.
struct Settings {
    std::array<DeviceEntry, MAX_DEVICES> devices;  // filled by the device enumeration
    int deviceCount = 0;                           // valid rows of `devices`, at most 10
    std::string cameraName;                        // friendly name of the chosen camera
    std::string resolutionMode;                    // requested capture size, "W*H"
    int jpegQuality = 0;       // 1..99 from the options dialog; the ini value stays as read
    int cropWidth = 0;         // always the frame width after any operation here
    int cropHeight = 0;        // always the frame height
    std::string savePath;      // folder for pictures and movies; ends in '/' unless from the ini
    std::string fileName;      // picture name for kNameFixed
    int nameMode = 0;          // kNameFixed, kNameTimeStamp or kNameAsk (the ini may give others)
    int hideAfterCapture = 0;  // non-zero: minimise the main window after a capture
    int timeLapseSeconds = 0;  // the record button's mode: 1..60 time-lapse interval, 0 normal

    // Every field but the device table and camera name gets its default: 640 x 480, crop of
    // that size, savePath = `desktopPath` with '/' appended when it does not end in one.
    // The view is not touched: ApplyDefaultView does the view's part of the defaults.
    void SetDefaults(const std::string& desktopPath);
    // SetDefaults, then the values of `ini`. Values are not limited, except "num" to 10.
    // An empty "path" gives the home folder, an empty "fname" gives kEmptyIniFileName.
    void Load(const CIni& ini, const std::string& desktopPath);
    // The crop size becomes the frame size; `factor` has no effect (kept for the callers).
    void ClampCrop(const ViewState& view, double factor);
    // Empties the device table (dropping the device references), deviceCount and cameraName.
    void ResetDevices();
};

// The settings `ini` gives on top of the defaults (a pure function of the file's text and the
// desktop folder).
Settings LoadSettings(const CIni& ini, const std::string& desktopPath);

// What the options dialog starts from: the settings in force, with the values capture.ini's
// section "main" names on top ("jpgq", "path", "fname", "autonum", "autohide"). A key the file
// leaves out, or leaves empty, keeps the value in force, so the dialog shows the folder and
// name pictures go to now. Camera, size and device table stay those in force.
Settings OptionsStartSettings(const Settings& inForce, const CIni& ini);

// The requested capture size of a "%d*%d" text; a text that does not give two numbers of at
// least 1 gives 640 x 480.
struct ResolutionSize {
    int width = kDefaultWidth;
    int height = kDefaultHeight;
};
ResolutionSize ParseResolutionSize(const std::string& resolutionMode);

// The frame size and zoom fields of `view` from `resolutionMode` (zoom 1, the smallest
// virtual size that of the resolution). The start-up reset and the options dialog both call it.
void ParseResolution(const std::string& resolutionMode, ViewState& view);

// The view's part of the defaults: the frame size and zoom fields of `settings`' resolution
// and zoom limit 3.
void ApplyDefaultView(const Settings& settings, ViewState& view);

// The start-up sequence of the main window: Load from `ini` (before the desktop folder is
// known), then the defaults again with `desktopPath`, the view reset to 640 x 480 and zoom
// limit 8. Afterwards only cameraName and deviceCount keep values from the file.
Settings StartupSettings(const CIni& ini, const std::string& desktopPath, ViewState& view);

}  // namespace vistrela
