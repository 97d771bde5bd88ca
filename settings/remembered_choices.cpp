#include "settings/remembered_choices.h"

#include <QString>
#include <array>

#include "common/strings.h"
#include "recording/time_lapse.h"
#include "settings/app_profile.h"
#include "settings/paths.h"
#include "settings/profile_store.h"

namespace vistrela {

namespace {

constexpr const char* kGroup = kRememberedGroup;
constexpr const char* kEnabled = kRememberedEnabledKey;
constexpr const char* kInkGroup = "RememberedInk";
constexpr std::array<const char*, 4> kInkKeys = {"colour", "highlightColour", "width", "tool"};

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

QString Key(const char* name) {
    return QString(kGroup) + "/" + name;
}

bool ValidResolution(const std::string& mode) {
    const ResolutionSize size = ParseResolutionSize(mode);
    return FormatString("%d*%d", size.width, size.height) == mode;
}

}  // namespace

RememberedChoices ChoicesOf(const Settings& settings, const DeviceEntry* camera) {
    RememberedChoices choices;
    if (camera != nullptr) choices.cameraIdentity = CameraIdentity(*camera);
    choices.cameraName = settings.cameraName;
    choices.resolutionMode = settings.resolutionMode;
    choices.jpegQuality = settings.jpegQuality;
    choices.savePath = settings.savePath;
    choices.fileName = settings.fileName;
    choices.nameMode = settings.nameMode;
    choices.hideAfterCapture = settings.hideAfterCapture;
    choices.timeLapseSeconds = settings.timeLapseSeconds;
    return choices;
}

void StoreRememberedChoices(ProfileStore& profile, const RememberedChoices& choices) {
    profile.remove(kGroup);
    profile.setValue(Key(kEnabled), true);
    profile.setValue(Key("cameraIdentity"), Text(choices.cameraIdentity));
    profile.setValue(Key("cameraName"), Text(choices.cameraName));
    profile.setValue(Key("resolution"), Text(choices.resolutionMode));
    profile.setValue(Key("jpegQuality"), choices.jpegQuality);
    profile.setValue(Key("savePath"), Text(choices.savePath));
    profile.setValue(Key("fileName"), Text(choices.fileName));
    profile.setValue(Key("nameMode"), choices.nameMode);
    profile.setValue(Key("hideAfterCapture"), choices.hideAfterCapture);
    profile.setValue(Key("language"), choices.language);
    profile.setValue(Key("timeLapseSeconds"), choices.timeLapseSeconds);
    profile.sync();
}

void StoreRememberedTimeLapse(ProfileStore& profile, int timeLapseSeconds) {
    if (!profile.value(Key(kEnabled), false).toBool()) return;
    profile.setValue(Key("timeLapseSeconds"), timeLapseSeconds);
    profile.sync();
}

void ForgetRememberedChoices(ProfileStore& profile) {
    profile.remove(kGroup);
    profile.remove(kInkGroup);
    profile.sync();
}

void StoreRememberedInk(ProfileStore& profile, const RememberedInk& ink) {
    if (!profile.value(Key(kEnabled), false).toBool()) return;
    const std::array<int, 4> values = {ink.colour, ink.highlightColour, ink.width, ink.tool};
    for (std::size_t i = 0; i < kInkKeys.size(); ++i)
        profile.setValue(QString(kInkGroup) + "/" + kInkKeys[i], values[i]);
    profile.sync();
}

std::optional<RememberedInk> LoadRememberedInk(const ProfileStore& profile) {
    if (!profile.value(Key(kEnabled), false).toBool()) return std::nullopt;
    std::array<int, 4> values{};
    for (std::size_t i = 0; i < kInkKeys.size(); ++i) {
        bool ok = false;
        values[i] = profile.value(QString(kInkGroup) + "/" + kInkKeys[i]).toInt(&ok);
        if (!ok) return std::nullopt;
    }
    return RememberedInk{values[0], values[1], values[2], values[3]};
}

std::optional<RememberedChoices> LoadRememberedChoices(const ProfileStore& profile) {
    if (!profile.value(Key(kEnabled), false).toBool()) return std::nullopt;
    auto text = [&](const char* key) { return profile.value(Key(key)).toString().toStdString(); };
    auto number = [&](const char* key, int low, int high, int fallback) {
        bool ok = false;
        const int value = profile.value(Key(key)).toInt(&ok);
        return ok && value >= low && value <= high ? value : fallback;
    };
    RememberedChoices choices;
    choices.cameraIdentity = text("cameraIdentity");
    choices.cameraName = text("cameraName");
    const std::string mode = text("resolution");
    choices.resolutionMode =
        ValidResolution(mode) ? mode : FormatString("%d*%d", kDefaultWidth, kDefaultHeight);
    choices.jpegQuality = number("jpegQuality", 1, 99, kDefaultJpegQuality);
    choices.savePath = text("savePath");
    choices.fileName = text("fileName");
    choices.nameMode = number("nameMode", kNameFixed, kNameAsk, kDefaultNameMode);
    choices.hideAfterCapture = number("hideAfterCapture", 0, 2, 0);
    choices.language = number("language", int(LanguageChoice::Automatic),
                              int(LanguageChoice::English), int(LanguageChoice::Automatic));
    choices.timeLapseSeconds = number("timeLapseSeconds", 0, kMaxTimeLapseSeconds, 0);
    return choices;
}

LanguageChoice RememberedLanguage(const ProfileStore& profile) {
    const std::optional<RememberedChoices> choices = LoadRememberedChoices(profile);
    return choices ? LanguageChoice(choices->language) : LanguageChoice::Automatic;
}

void ApplyRememberedChoices(const RememberedChoices& choices, Settings& settings) {
    settings.cameraName = choices.cameraName;
    settings.resolutionMode = choices.resolutionMode;
    const ResolutionSize size = ParseResolutionSize(settings.resolutionMode);
    settings.cropWidth = size.width;
    settings.cropHeight = size.height;
    settings.jpegQuality = choices.jpegQuality;
    // An empty folder would put pictures into the current folder: the default stays.
    if (!choices.savePath.empty()) settings.savePath = WithSlash(choices.savePath);
    if (!choices.fileName.empty()) settings.fileName = choices.fileName;
    settings.nameMode = choices.nameMode;
    settings.hideAfterCapture = choices.hideAfterCapture;
    settings.timeLapseSeconds = choices.timeLapseSeconds;
}

int RememberedCameraRow(const RememberedChoices& choices, const DeviceTable& devices, int count) {
    if (!choices.cameraIdentity.empty()) {
        const int row = FindDeviceByIdentity(devices, count, choices.cameraIdentity);
        if (row >= 0) return row;
    }
    if (choices.cameraName.empty()) return -1;
    return FindDeviceIndex(devices, count, choices.cameraName);
}

}  // namespace vistrela
