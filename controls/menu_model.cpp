#include "controls/menu_model.h"

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

MenuModel buildContextMenuModel(std::span<const DeviceEntry> devices, int openRow) {
    MenuItemModel cameras;
    cameras.text = "카메라";
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
    const std::pair<int, const char*> commands[] = {
        {ID_PANEL_HIDE, "메뉴숨기기"}, {ID_PANEL_SHOW, "메뉴보이기"}, {ID_ZOOM_RESET, "줌취소"},
        {ID_PAN_RESET, "이동취소"},    {ID_TEXT_TOOL, "글씨쓰기"},    {ID_DRAW_TOOL, "그리기"},
        {ID_ERASE_TOOL, "지우개"},     {ID_UNDO, "실행 취소"},        {ID_REDO, "다시 실행"},
        {ID_FREEZE, "화면 정지"},      {ID_OPTIONS, "옵션..."},
    };
    for (const auto& [id, text] : commands) {
        MenuItemModel item;
        item.commandId = id;
        item.text = text;
        menu.items.push_back(std::move(item));
    }
    return menu;
}

void applyPanelState(MenuModel& menu, bool panelCollapsed) {
    if (auto* hide = menu.find(ID_PANEL_HIDE)) hide->enabled = !panelCollapsed;
    if (auto* show = menu.find(ID_PANEL_SHOW)) show->enabled = panelCollapsed;
}

void appendMonitorEntries(MenuModel& menu, int monitorCount) {
    if (monitorCount < 2) return;
    for (int i = 0; i < std::min(monitorCount, kMaxMonitorEntries); ++i) {
        MenuItemModel item;
        item.commandId = ID_MONITOR_BASE + i;
        item.text = FormatString("모니터 %d 전체화면", i + 1);
        menu.items.push_back(std::move(item));
    }
}

void applyFreezeState(MenuModel& menu, bool frozen) {
    if (auto* freeze = menu.find(ID_FREEZE)) freeze->text = frozen ? "정지 해제" : "화면 정지";
}

void applyUndoState(MenuModel& menu, bool canUndo, bool canRedo) {
    if (auto* undo = menu.find(ID_UNDO)) undo->enabled = canUndo;
    if (auto* redo = menu.find(ID_REDO)) redo->enabled = canRedo;
}

MenuCommand classifyMenuCommand(int id, std::span<const DeviceEntry> devices, int openRow) {
    switch (id) {
        case ID_PANEL_HIDE:
        case ID_PANEL_SHOW:
            return {MenuAction::TogglePanel};
        case ID_ZOOM_RESET:
            return {MenuAction::ResetZoom};
        case ID_PAN_RESET:
            return {MenuAction::ResetPan};
        case ID_TEXT_TOOL:
            return {MenuAction::TextTool};
        case ID_DRAW_TOOL:
            return {MenuAction::DrawTool};
        case ID_ERASE_TOOL:
            return {MenuAction::EraseTool};
        case ID_UNDO:
            return {MenuAction::Undo};
        case ID_REDO:
            return {MenuAction::Redo};
        case ID_FREEZE:
            return {MenuAction::Freeze};
        case ID_OPTIONS:
            return {MenuAction::Options};
        default:
            break;
    }
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
