#pragma once
// The choices of the options dialog that the user asked the program to remember ("설정
// 기억하기"), kept in the application profile under the group "Remembered": the camera (its
// identity and its name), the capture size, the JPEG quality, the save folder, the naming rule,
// the fixed file name, the hide-after-capture flag, the record button's mode (time-lapse
// interval) and the language (applied at the next start). They are applied on top of the
// start-up reset, so capture.ini and the standard start-up hold for everyone who leaves the box
// off.
//
// The profile is passed in (profile_store.h). User-interface thread only.

#include <optional>
#include <string>

#include "capture/device_table.h"
#include "common/language.h"
#include "settings/settings.h"

namespace vistrela {

class ProfileStore;

struct RememberedChoices {
    std::string cameraIdentity;  // CameraIdentity of the chosen row, "" without a camera
    std::string cameraName;
    std::string resolutionMode;  // "W*H"
    int jpegQuality = kDefaultJpegQuality;
    std::string savePath;
    std::string fileName;
    int nameMode = kDefaultNameMode;
    int hideAfterCapture = 0;
    int language = 0;  // LanguageChoice (common/language.h): 0 automatic, 1 Korean, 2 English
    int timeLapseSeconds = 0;
};

// What `settings` holds now, with `camera` (may be null) as the chosen device.
RememberedChoices ChoicesOf(const Settings& settings, const DeviceEntry* camera);

// Turns remembering on and stores `choices`, replacing what was stored before.
void StoreRememberedChoices(ProfileStore& profile, const RememberedChoices& choices);

// The last ink (palette colour of the pen and of the highlighter, width, tool), kept under the
// group "RememberedInk" while remembering is on; the numbers are the annotation tools' own
// (they check their ranges when they take them back).
struct RememberedInk {
    int colour = 0;
    int highlightColour = 0;
    int width = 0;
    int tool = 0;
};

// Stores `ink` when remembering is on; nothing otherwise.
void StoreRememberedInk(ProfileStore& profile, const RememberedInk& ink);

// The stored ink, or nothing when remembering is off or no ink was stored.
std::optional<RememberedInk> LoadRememberedInk(const ProfileStore& profile);

// Stores the record button's mode when remembering is on; nothing otherwise.
void StoreRememberedTimeLapse(ProfileStore& profile, int timeLapseSeconds);

// Turns remembering off and removes everything stored under "Remembered" and "RememberedInk".
void ForgetRememberedChoices(ProfileStore& profile);

// The language stored with the choices; Automatic when remembering is off or none is stored.
LanguageChoice RememberedLanguage(const ProfileStore& profile);

// The stored choices, or nothing when remembering is off. A stored value outside its range
// (quality 1..99, naming rule 0..2, time-lapse 0..60, a size that does not read as "W*H") is left
// out: the choice keeps its default.
std::optional<RememberedChoices> LoadRememberedChoices(const ProfileStore& profile);

// Puts `choices` into `settings` (camera name, resolution, quality, folder, naming, file name,
// hide flag, record button's mode); the device table is not touched. The crop size follows the new
// resolution.
void ApplyRememberedChoices(const RememberedChoices& choices, Settings& settings);

// The row of the remembered camera among the listed devices: by identity first (so that of two
// cameras with one name the remembered one is found), else by name; -1 when it is absent.
int RememberedCameraRow(const RememberedChoices& choices, const DeviceTable& devices, int count);

}  // namespace vistrela
