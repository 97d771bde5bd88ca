// The options command of the main window and the remembered choices: the camera is closed, the
// settings reloaded from capture.ini (with the remembered choices on top when the user asked for
// them), the devices listed, the options dialog run on a copy of the settings, and the camera
// opened again whether the dialog ended with OK or Cancel.

#include <QSettings>
#include <array>

#include "app/cvist_dlg.h"
#include "capture/capture_modes.h"
#include "capture/device_table.h"
#include "capture/media/capture_device.h"
#include "common/prompts.h"
#include "settings/app_profile.h"
#include "settings/remembered_choices.h"
#include "settings/settings.h"
#include "settings/ui/option_dlg.h"

namespace vistrela {

namespace {

// The resolution list of one camera: its YUY2 sizes, read from the device without opening it.
std::vector<ModeSize> CameraSizes(const DeviceEntry& row) {
    std::vector<ModeSize> sizes;
    if (!row.moniker) return sizes;
    const std::shared_ptr<CaptureDevice> device = DeviceFromMoniker(row.moniker);
    if (!device) return sizes;
    std::array<ModeSize, MAX_MODES> rows{};
    const int count = CollectYuy2Modes(device->modes(), rows);
    sizes.assign(rows.begin(), rows.begin() + count);
    return sizes;
}

}  // namespace

std::optional<RememberedChoices> CvistDlg::applyRememberedChoices() {
    QSettings profile;
    std::optional<RememberedChoices> choices = LoadRememberedChoices(profile);
    if (!choices) return std::nullopt;
    ApplyRememberedChoices(*choices, ctx_.settings);
    ParseResolution(ctx_.settings.resolutionMode, ctx_.view);
    return choices;
}

void CvistDlg::optionsCommand() {
    // A lost camera is not looked for while the dialog is open: the camera opens after it.
    reconnectTimer_.stop();
    CloseCamera();
    ctx_.settings.ResetDevices();
    ctx_.settings.Load(ctx_.ini, ctx_.desktopPath);
    // The reload asks for the default size again, as the start-up does.
    ParseResolution(ctx_.settings.resolutionMode, ctx_.view);
    const bool remember = RememberChoicesEnabled();
    const std::optional<RememberedChoices> remembered = applyRememberedChoices();
    ctx_.capture.EnumerateDevices(ctx_.settings.devices, ctx_.settings.deviceCount);
    if (ctx_.settings.deviceCount < 1) {
        ShowNotice(*ctx_.prompts, "카메라가 없습니다");
        // Said once: the first camera that appears is opened, without the start-up notice.
        cameraRow_ = -1;
        buildContextMenu();
        lookingForAnyCamera_ = true;
        reconnectTimer_.start();
        return;
    }

    // The identity picks the row; a camera that is absent leaves the name to the usual rules
    // (the first camera when no listed one carries it).
    const int rememberedRow = remembered ? RememberedCameraRow(*remembered, ctx_.settings.devices,
                                                               ctx_.settings.deviceCount)
                                         : -1;
    if (rememberedRow >= 0)
        ctx_.settings.cameraName = ctx_.settings.devices[rememberedRow].friendlyName;

    Settings edited = ctx_.settings;
    Option dialog(
        edited, ctx_.view, *ctx_.prompts, ctx_.desktopPath,
        [&edited](int row) { return CameraSizes(edited.devices[row]); }, remember, rememberedRow,
        this);
    const bool ok = dialog.exec() == QDialog::Accepted;
    // Cancel keeps the folder Browse chose; OK brings every choice.
    ctx_.settings = edited;
    OpenCamera(ok ? dialog.chosenRow() : rememberedRow);
}

}  // namespace vistrela
