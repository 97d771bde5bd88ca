// The main window's context menu: built from the camera list found when it opens, popped up
// at the window's centre, its choices run once it has closed.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <vector>

#include "annotation/ink_commands.h"
#include "app/commands.h"
#include "app/cvist_dlg.h"
#include "capture/device_table.h"
#include "capture/media/capture_device.h"
#include "common/language.h"
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
        item->text =
            TrUtf8(kCommandContext, on && row.onLabel != nullptr ? row.onLabel : row.label);
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
    MenuItemModel inkMenu;
    inkMenu.text = QCoreApplication::translate(kInkCommandContext, kInkMenuLabel).toStdString();
    for (const InkCommand& c : InkCommands()) {
        MenuItemModel item;
        item.commandId = c.id;
        item.text = (QCoreApplication::translate(kInkCommandContext, c.label) + "\t" +
                     QKeySequence(c.key).toString(QKeySequence::NativeText))
                        .toStdString();
        item.isDefault =
            InkCommandChecked(c, tools_.Style(), pipe_.drawMode) && c.id > ink::kNextWidth;
        inkMenu.submenu.push_back(std::move(item));
    }
    shown.items.push_back(std::move(inkMenu));
    appendMonitorEntries(shown, int(QGuiApplication::screens().size()));
    if (contextMenu) contextMenu.release()->deleteLater();
    contextMenu = CMenuXP::fromModel(shown, this);
    connect(
        contextMenu.get(), &CMenuXP::commandChosen, this,
        [this](int id) {
            if (FindInkCommand(id) != nullptr)
                runInkCommand(id);
            else
                onMenuCommand(id);
        },
        Qt::QueuedConnection);
    contextMenu->popup(contextMenuOrigin(frameGeometry()));
}

}  // namespace vistrela
