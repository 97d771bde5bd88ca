#pragma once
// Saving the processed picture as a JPEG file: the name from the naming mode, the status
// message, and the write itself. The caller (the main window, inside its frame handler) owns
// the request flag and the follow-up (minimise, close after a one-shot picture).
// UI thread only.

#include <QtGlobal>
#include <ctime>
#include <string>

#include "common/prompts.h"
#include "settings/settings.h"
#include "viewer/image.h"
#include "viewer/view_state.h"

namespace vistrela {

// Title-line texts (source texts of the translation context "Still").
inline constexpr const char* kSavedMessage = QT_TRANSLATE_NOOP("Still", "바탕화면에 저장합니다");
inline constexpr const char* kSaveFailedMessage = QT_TRANSLATE_NOOP("Still", "저장하지 못했습니다");
inline constexpr double kStatusSeconds = 2.0001;

// Joins a folder and a file name with one '/' between them ("" folder: the name alone).
std::string JoinPath(const std::string& folder, const std::string& name);

// The file name for a picture taken at `when` (local time) by the naming mode of `settings`:
// 1 time stamp "%Y%m%d_%H%M%S.jpg" in savePath (a name that exists already gets "_2", "_3",
// ... before ".jpg" so no picture is overwritten); 0 the fixed fileName in savePath; 2 asks
// with the save dialog of `prompts` (empty when cancelled); any other mode gives savePath
// itself.
std::string StillFileName(const Settings& settings, std::time_t when, Prompts& prompts);

struct StillOutcome {
    std::string path;  // the file written, or tried; empty when nothing was asked for
    bool written = false;
};

// What the title says of a picture written to `path`: kSavedMessage in the desktop folder
// `desktopFolder`, "<folder>에 저장합니다" in any other folder.
std::string SavedMessage(const std::string& path, const std::string& desktopFolder);

// Saves `picture` under `path` at the low byte of `jpegQuality` (clamped to 1..99 for the
// encoder, which knows no other values) and says so: the status message of the title line
// (SavedMessage, or kSaveFailedMessage when the file could not be written) and the notice over
// the picture, which also names the file (a failure's stays until the next click).
StillOutcome SaveStill(const CxImage& picture, const std::string& path, int jpegQuality,
                       const std::string& desktopFolder, ViewState& view, double nowSec);

}  // namespace vistrela
