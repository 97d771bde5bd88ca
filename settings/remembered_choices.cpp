#include "settings/remembered_choices.h"

#include <QSettings>
#include <QString>

#include "common/strings.h"
#include "settings/app_profile.h"
#include "settings/paths.h"

namespace vistrela {

namespace {

constexpr const char* kGroup = kRememberedGroup;
constexpr const char* kEnabled = kRememberedEnabledKey;

QString Text(const std::string& s) {
    return QString::fromStdString(s);
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
    return choices;
}

void StoreRememberedChoices(QSettings& profile, const RememberedChoices& choices) {
    profile.remove(kGroup);
    profile.beginGroup(kGroup);
    profile.setValue(kEnabled, true);
    profile.setValue("cameraIdentity", Text(choices.cameraIdentity));
    profile.setValue("cameraName", Text(choices.cameraName));
    profile.setValue("resolution", Text(choices.resolutionMode));
    profile.setValue("jpegQuality", choices.jpegQuality);
    profile.setValue("savePath", Text(choices.savePath));
    profile.setValue("fileName", Text(choices.fileName));
    profile.setValue("nameMode", choices.nameMode);
    profile.setValue("hideAfterCapture", choices.hideAfterCapture);
    profile.endGroup();
    profile.sync();
}

void ForgetRememberedChoices(QSettings& profile) {
    profile.remove(kGroup);
    profile.sync();
}

std::optional<RememberedChoices> LoadRememberedChoices(QSettings& profile) {
    profile.beginGroup(kGroup);
    const bool enabled = profile.value(kEnabled, false).toBool();
    RememberedChoices choices;
    if (enabled) {
        auto text = [&](const char* key) { return profile.value(key).toString().toStdString(); };
        auto number = [&](const char* key, int low, int high, int fallback) {
            bool ok = false;
            const int value = profile.value(key).toInt(&ok);
            return ok && value >= low && value <= high ? value : fallback;
        };
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
    }
    profile.endGroup();
    if (!enabled) return std::nullopt;
    return choices;
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
