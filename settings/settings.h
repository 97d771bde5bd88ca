#pragma once
// The process-wide settings record `theSettings` and the reader `theIni` of capture.ini.
//
// capture.ini is only read, never written. Section "camsi": "curfn" (camera name), "num"
// (device count); section "main": "jpgq", "croph", "cropw", "path", "fname", "autonum",
// "autohide". docs/capture.ini describes every key.
//
// Threads: theIni, theSettings and desktopPath belong to the user-interface thread; the
// capture streaming thread never touches them.

#include <array>
#include <string>

#include "settings/device_entry.h"
#include "settings/ini.h"

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

// Picture naming modes (`nameMode`).
inline constexpr int kNameFixed = 0;
inline constexpr int kNameTimeStamp = 1;
inline constexpr int kNameAsk = 2;

struct Settings {
    std::array<DeviceEntry, MAX_DEVICES> devices;  // filled by the device enumeration
    int deviceCount = 0;                           // valid rows of `devices`, at most 10
    std::string cameraName;                        // friendly name of the chosen camera
    std::string resolutionMode;                    // requested capture size, "W*H"
    int jpegQuality = 0;       // 1..99 from the options dialog; the ini value stays as read
    int cropWidth = 0;         // always theView.frameWidth after any operation here
    int cropHeight = 0;        // always theView.frameHeight
    std::string savePath;      // folder for pictures and movies; ends in '/' unless from the ini
    std::string fileName;      // picture name for kNameFixed
    int nameMode = 0;          // kNameFixed, kNameTimeStamp or kNameAsk (the ini may give others)
    int hideAfterCapture = 0;  // non-zero: minimise the main window after a capture

    // Every field but the device table and camera name gets its default; the frame size
    // becomes 640 x 480 with the zoom reset (ParseResolution) and theView.zoomLimit 3.
    // savePath = desktopPath with '/' appended when it does not end in one.
    void SetDefaults();
    // SetDefaults, then the values of theIni. Values are not limited, except "num" to 10.
    // An empty "path" gives the home folder, an empty "fname" gives kEmptyIniFileName.
    void Load();
    // theView's frame size and zoom fields from resolutionMode ("%d*%d"); a text that does not
    // give two numbers of at least 1 gives 640 x 480.
    void ParseResolution();
    // The crop size becomes the frame size; `factor` has no effect (kept for the callers).
    void ClampCrop(double factor);
    // Empties the device table (dropping the device references), deviceCount and cameraName.
    void ResetDevices();
};

extern CIni theIni;
extern Settings theSettings;
// The user's desktop folder ending in '/', filled at start-up; empty before that.
extern std::string desktopPath;

// The start-up sequence of the main window: bind theIni to IniPath(), Load, fill desktopPath,
// SetDefaults again and set theView.zoomLimit to 8. Afterwards only cameraName and
// deviceCount keep values from the file.
void ApplyStartupSettings();

}  // namespace vistrela
