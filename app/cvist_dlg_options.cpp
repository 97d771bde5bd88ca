// The options command of the main window and the remembered choices: the camera is closed, the
// devices listed, the options dialog run on a copy of the settings in force (with capture.ini's
// values on top unless the choices are remembered), and the camera opened again: with the
// dialog's choices after OK, as it was after Cancel. Also the camera's own settings (Ctrl+K).

#include <array>

#include "annotation/ui/ink_palette.h"
#include "app/cvist_dlg.h"
#include "capture/capture_modes.h"
#include "capture/device_table.h"
#include "capture/media/capture_device.h"
#include "capture/ui/camera_settings_dialog.h"
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
    if (const std::optional<RememberedInk> ink = LoadRememberedInk(ctx_.profile)) {
        tools_.SetStyle(InkStyleOf(*ink));
        inkPalette()->showInk(tools_.Style(), pipe_.drawMode);
    }
    std::optional<RememberedChoices> choices = LoadRememberedChoices(ctx_.profile);
    if (!choices) return std::nullopt;
    ApplyRememberedChoices(*choices, ctx_.settings);
    ParseResolution(ctx_.settings.resolutionMode, ctx_.view);
    return choices;
}

void CvistDlg::optionsCommand() {
    // A lost camera is not looked for while the dialog is open: the camera opens after it.
    reconnectTimer_.stop();
    CloseCamera();
    ctx_.capture.EnumerateDevices(ctx_.settings.devices, ctx_.settings.deviceCount);
    // Cancel puts back everything as it was: the settings in force, the camera in force.
    const Settings before = ctx_.settings;
    if (ctx_.settings.deviceCount < 1) {
        ShowNotice(*ctx_.prompts, "%s", qPrintable(tr("카메라가 없습니다")));
        // Said once: the first camera that appears is opened, without the start-up notice.
        session_.cameraRow = -1;
        buildContextMenu();
        session_.noCamera();
        reconnectTimer_.start();
        return;
    }
    const int rowBefore = FindCameraAgain(ctx_.settings.devices, ctx_.settings.deviceCount,
                                          session_.cameraIdentity, ctx_.settings.cameraName);

    // The dialog shows the values in force; capture.ini's values come on top unless the user
    // asked for the choices to be remembered (those are then the ones in force).
    const bool remember = RememberChoicesEnabled(ctx_.profile);
    Settings edited = remember ? ctx_.settings : OptionsStartSettings(ctx_.settings, ctx_.ini);
    Option dialog(
        edited, ctx_.view, *ctx_.prompts, ctx_.profile, ctx_.desktopPath,
        [&edited](int row) { return CameraSizes(edited.devices[row]); }, remember, rowBefore, this);
    const bool ok = dialog.exec() == QDialog::Accepted;
    ctx_.settings = ok ? edited : before;
    ParseResolution(ctx_.settings.resolutionMode, ctx_.view);
    if (ok)
        OpenCamera(dialog.chosenRow());
    else
        OpenCamera(rowBefore, session_.cameraIdentity);
}

void CvistDlg::showCameraSettings() {
    if (session_.cameraRow < 0 || session_.cameraRow >= ctx_.settings.deviceCount) return;
    const std::shared_ptr<void> moniker = ctx_.settings.devices[session_.cameraRow].moniker;
    if (!moniker) return;
    ShowPropertyPages(moniker, this, CameraIdentity(ctx_.settings.devices[session_.cameraRow]),
                      &ctx_.profile);
}

}  // namespace vistrela
