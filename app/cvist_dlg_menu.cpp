// The main window's context menu: built from the camera list found when it opens, popped up
// at the window's centre, its choices run once it has closed.

#include <QGuiApplication>
#include <vector>

#include "app/commands.h"
#include "app/cvist_dlg.h"
#include "capture/device_table.h"
#include "capture/media/capture_device.h"
#include "controls/panel_buttons.h"
#include "controls/panel_layout.h"
#include "controls/ui/menu_xp.h"

namespace vistrela {

void CvistDlg::buildContextMenu() {
    menuModel_ = buildContextMenuModel(
        std::span<const DeviceEntry>(ctx_.settings.devices.data(), ctx_.settings.deviceCount),
        session_.cameraRow, menuCommands());
    applyCommandState();
}

void CvistDlg::applyCommandState() {
    for (const CommandRow& row : commandRows()) {
        MenuItemModel* item = row.menuId != 0 ? menuModel_.find(row.menuId) : nullptr;
        if (item == nullptr) continue;
        item->enabled = row.enabled == nullptr || row.enabled(*this);
        const bool on = row.on != nullptr && row.on(*this);
        item->text = on && row.onLabel != nullptr ? row.onLabel : row.label;
    }
}

void CvistDlg::refreshCameraList() {
    // Cameras come and go while the window runs: the list is the one found now, and the
    // chosen camera is marked where it is listed now (nowhere while it is away).
    const DeviceTable before = ctx_.settings.devices;
    const int beforeCount = ctx_.settings.deviceCount;
    ctx_.capture.EnumerateDevices(ctx_.settings.devices, ctx_.settings.deviceCount);
    const std::shared_ptr<CaptureDevice> running = ctx_.capture.device();
    session_.cameraRow = RowAfterRelisting(before, beforeCount, session_.cameraRow,
                                           ctx_.settings.devices, ctx_.settings.deviceCount,
                                           running ? running->devicePath() : std::string(),
                                           session_.cameraIdentity, ctx_.settings.cameraName);
    buildContextMenu();
}

void CvistDlg::popupContextMenu() {
    refreshCameraList();
    // The menu is made from the model as it stands when it pops up, and a chosen command runs
    // only after the menu has closed: a command may rebuild the model (a camera switch does),
    // and a menu must never be destroyed inside its own key or mouse handler.
    applyCommandState();
    MenuModel shown = menuModel_;
    appendMonitorEntries(shown, int(QGuiApplication::screens().size()));
    if (contextMenu) contextMenu.release()->deleteLater();
    contextMenu = CMenuXP::fromModel(shown, this);
    connect(
        contextMenu.get(), &CMenuXP::commandChosen, this, [this](int id) { onMenuCommand(id); },
        Qt::QueuedConnection);
    contextMenu->popup(contextMenuOrigin(frameGeometry()));
}

}  // namespace vistrela
