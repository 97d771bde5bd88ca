#include "controls/menu_model.h"

#include <QCoreApplication>
#include <algorithm>

#include "common/strings.h"

namespace vistrela {

namespace {

// Shared by the const and non-const lookups.
template <class Items>
auto findIn(Items& items, int commandId) -> decltype(&items.front()) {
    for (auto& item : items) {
        if (item.commandId == commandId && item.submenu.empty()) return &item;
        if (auto* inner = findIn(item.submenu, commandId)) return inner;
    }
    return nullptr;
}

std::size_t listedCameras(std::span<const DeviceEntry> devices) {
    return std::min<std::size_t>(devices.size(), MAX_DEVICES);
}

}  // namespace

MenuItemModel* MenuModel::find(int commandId) {
    return findIn(items, commandId);
}

const MenuItemModel* MenuModel::find(int commandId) const {
    return findIn(items, commandId);
}

MenuModel buildContextMenuModel(std::span<const DeviceEntry> devices, int openRow,
                                std::span<const MenuCommandText> commands) {
    MenuItemModel cameras;
    cameras.text = QCoreApplication::translate("Menu", "카메라").toStdString();
    const std::size_t count = listedCameras(devices);
    for (std::size_t i = 0; i < count; ++i) {
        MenuItemModel item;
        item.commandId = ID_CAMERA_BASE + int(i);
        item.text = FormatString("[%d] %s", int(i) + 1, devices[i].friendlyName.c_str());
        item.isDefault = int(i) == openRow;
        cameras.submenu.push_back(std::move(item));
    }

    MenuModel menu;
    menu.items.push_back(std::move(cameras));
    for (const auto& [id, text] : commands) {
        MenuItemModel item;
        item.commandId = id;
        item.text = text;
        menu.items.push_back(std::move(item));
    }
    return menu;
}

void appendMonitorEntries(MenuModel& menu, int monitorCount) {
    if (monitorCount < 2) return;
    for (int i = 0; i < std::min(monitorCount, kMaxMonitorEntries); ++i) {
        MenuItemModel item;
        item.commandId = ID_MONITOR_BASE + i;
        item.text =
            QCoreApplication::translate("Menu", "모니터 %1 전체화면").arg(i + 1).toStdString();
        menu.items.push_back(std::move(item));
    }
}

MenuCommand classifyMenuCommand(int id, std::span<const DeviceEntry> devices, int openRow) {
    if (id >= ID_MONITOR_BASE && id < ID_MONITOR_BASE + kMaxMonitorEntries) {
        MenuCommand monitor{MenuAction::MonitorFullScreen};
        monitor.monitorIndex = id - ID_MONITOR_BASE;
        return monitor;
    }
    if (id < ID_CAMERA_BASE || id > ID_MENU_LAST) return {};
    const int row = id - ID_CAMERA_BASE;
    if (row >= int(listedCameras(devices))) return {};
    if (row == openRow) return {MenuAction::SameCamera, row};
    return {MenuAction::SwitchCamera, row};
}

}  // namespace vistrela
