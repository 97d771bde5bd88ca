#pragma once
// Rules over the device table that do not depend on how devices are found: the "USB first"
// ordering, lookup by name, the choice of camera to open, and the test-camera list of the
// VISTRELA_TEST_CAMERAS variable. User-interface thread only, like the table itself.

#include <QtGlobal>
#include <array>
#include <string>
#include <vector>

#include "settings/device_entry.h"

namespace vistrela {

using DeviceTable = std::array<DeviceEntry, MAX_DEVICES>;

// Each text of a row holds at most this many bytes, terminator included (longer texts are cut
// at a UTF-8 character boundary).
inline constexpr int MAX_NAME_BYTES = 256;

// Shown when no camera is found; the runs of spaces are part of the text. Source text of the
// translation context "Camera".
inline constexpr const char* kNoCameraNotice = QT_TRANSLATE_NOOP(
    "Camera", "카메라가 없습니다.        \n카메라의 연결상태나 전원을 확인하시기 바랍니다.  ");

// Moves every row whose friendly name starts with "USB" (case-sensitive) to row 0 by exchange,
// scanning rows 0..count-1 in order. With several such rows the last one ends in row 0 and
// each earlier one goes to that row's former place.
void PreferUsbCameras(DeviceTable& devices, int count);

// First row below `count` whose friendly name equals `name` byte for byte, or -1.
int FindDeviceIndex(const DeviceTable& devices, int count, const std::string& name);

// The camera choice before opening: keeps `cameraName` when it names a listed row and is at
// least two characters long, else replaces it with row 0's name. Returns the row to open, or
// -1 (name untouched) when `count` is below 1. The row is the first one with the name, unless
// the name was kept and `preferredRow` is a listed row carrying it: then it is that row, so
// that of two cameras with one name the one the user picked opens.
int ChooseCamera(const DeviceTable& devices, int count, std::string& cameraName,
                 int preferredRow = -1);

// The text that identifies a camera across replugs and restarts: "serial:<USB serial>" when it
// has one, else "port:<USB port path>", else "name:<friendly name>". Never the device node,
// whose number changes when the camera is plugged in again.
std::string CameraIdentity(const DeviceEntry& device);

// First row below `count` whose CameraIdentity equals `identity`, or -1.
int FindDeviceByIdentity(const DeviceTable& devices, int count, const std::string& identity);

// The row of a camera that was open as `identity` under `name` and is looked for again (after
// it was lost, or picked again): the first row with that identity; else the first row with that
// name and the same serial number (none, for a camera without one), so that a camera without a
// serial number that comes back in another port is found by its name, while a namesake with
// another serial number, a different camera of the same model, never is. An empty `identity`
// (nothing was open) takes the first row with the name. -1 when no row fits.
int FindCameraAgain(const DeviceTable& devices, int count, const std::string& identity,
                    const std::string& name);

// The row of the chosen camera, row `row` of `before`, in the list read again `now`: the same
// row when the list has not changed (so of two cameras with one name the chosen one stays),
// else the row of the device node `runningPath` of the running camera ("" when none runs),
// else FindCameraAgain of `identity` and `name`; -1 when it is not listed.
int RowAfterRelisting(const DeviceTable& before, int beforeCount, int row, const DeviceTable& now,
                      int nowCount, const std::string& runningPath, const std::string& identity,
                      const std::string& name);

// One camera of VISTRELA_TEST_CAMERAS.
struct TestCameraEntry {
    struct Size {
        int width = 0;
        int height = 0;
        bool operator==(const Size&) const = default;
    };
    std::string name;
    std::vector<Size> sizes;  // never empty; the first is the camera's own default
    int framesPerSecond = 30;
    // The device properties a real camera carries, "" when it has none.
    std::string serial;
    std::string portPath;
    // The picture: "" (the orientation picture), "clapper" (white for one frame at every whole
    // second of the steady clock, black otherwise) or "page" (dense print on white paper with
    // a little sensor noise, which costs an encoder what a real page does).
    std::string pattern;
    // How frames are sent: "" (YUY2), "MJPG" (JPEG frames, 4:2:0) or "MJPG422" (4:2:2).
    std::string format;
    // The list file of VISTRELA_TEST_CAMERAS=@FILE this camera came from, "" otherwise: a camera
    // whose line is removed from it fails as an unplugged camera does.
    std::string listFile;

    bool sameCamera(const TestCameraEntry& other) const {
        return name == other.name && serial == other.serial && portPath == other.portPath;
    }
};

inline constexpr int kTestCameraMinSide = 16;
inline constexpr int kTestCameraMaxSide = 7680;
inline constexpr int kTestCameraMaxFps = 240;

// Parses "Name[@WxH[,WxH...][@FPS]][@key=value[,key=value...]];...". Entries with an empty name
// are skipped. Sizes that do not parse, have an odd width (YUY2 packs pixel pairs) or lie
// outside the side limits are dropped; with no size left the camera is 640x480. An FPS that does
// not parse or lies outside 1..kTestCameraMaxFps gives 30.
// A part holding '=' is the camera's device properties wherever it stands after the name
// ("Cam@serial=A1", "Cam@1280x720@30@serial=A1,port=1-2.3"); the other parts are SIZES and
// FPS in this order. Keys: "serial" (USB serial number), "port" (USB port path), "pattern"
// ("clapper" or "page") and "format" ("MJPG" or "MJPG422"); unknown patterns and formats, other
// keys and fields without '=' are ignored, and a key given twice keeps its last value. Values end
// at ',', '@' and ';' and have their surrounding blanks removed.
std::vector<TestCameraEntry> ParseTestCameras(const std::string& text);

}  // namespace vistrela
