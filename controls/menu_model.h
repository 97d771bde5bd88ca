#pragma once
// The main window's context menu as data: built from the camera list, turned into a real
// menu by CMenuXP (controls/ui/menu_xp.h), and the classification of the command ids the
// menu sends back. No window code here.

#include <span>
#include <string>
#include <vector>

#include "settings/device_entry.h"

namespace vistrela {

inline constexpr int ID_PANEL_HIDE = 10;
inline constexpr int ID_PANEL_SHOW = 11;
inline constexpr int ID_ZOOM_RESET = 12;
inline constexpr int ID_PAN_RESET = 13;
inline constexpr int ID_TEXT_TOOL = 14;
inline constexpr int ID_DRAW_TOOL = 15;
inline constexpr int ID_ERASE_TOOL = 16;
inline constexpr int ID_UNDO = 17;
inline constexpr int ID_REDO = 18;
inline constexpr int ID_FREEZE = 19;   // "화면 정지", "정지 해제" while frozen
inline constexpr int ID_OPTIONS = 20;  // "옵션...": the options dialog
// The lesson modes (viewer/lesson_modes.h).
inline constexpr int ID_COMPARE = 21;
inline constexpr int ID_COMPARE_END = 22;
inline constexpr int ID_SPOTLIGHT = 23;
inline constexpr int ID_CURTAIN = 24;
inline constexpr int ID_BLANK = 25;
inline constexpr int ID_CAMERA_BASE = 30;
// "모니터 N 전체화면": full screen on monitor N (from 1), ids 50 + N - 1; only with two or more
// monitors.
inline constexpr int ID_MONITOR_BASE = 50;
inline constexpr int kMaxMonitorEntries = 10;
// The last id the main window's menu dispatch accepts.
inline constexpr int ID_MENU_LAST = 60;

// The selection colour of the program's menus, RGB.
inline constexpr int kMenuSelectionRed = 102;
inline constexpr int kMenuSelectionGreen = 153;
inline constexpr int kMenuSelectionBlue = 255;

struct MenuItemModel {
    int commandId = 0;  // 0 for an entry that opens a submenu
    std::string text;   // UTF-8; an accelerator text may follow a tab
    bool enabled = true;
    bool isDefault = false;  // drawn bold; at most one per menu
    std::vector<MenuItemModel> submenu;
};

struct MenuModel {
    std::vector<MenuItemModel> items;

    // The item with `commandId` anywhere in the menu, or nullptr.
    MenuItemModel* find(int commandId);
    const MenuItemModel* find(int commandId) const;
};

// One command entry of the context menu: its id (10 to 29) and its text (UTF-8).
struct MenuCommandText {
    int commandId = 0;
    const char* text = nullptr;
};

// The context menu: the "카메라" submenu with one entry per device ("[1] name", id 30 + i),
// then `commands` in their order. At most MAX_DEVICES cameras are listed. Each entry stands
// for its row of the device table, so two cameras with the same name are still two entries:
// the row `openRow` (the device that is open) is the default item, and no entry is when
// `openRow` is not a listed row (-1: nothing open). Every item starts enabled.
MenuModel buildContextMenuModel(std::span<const DeviceEntry> devices, int openRow,
                                std::span<const MenuCommandText> commands = {});

// Appends one "모니터 N 전체화면" entry per monitor when there are two or more (at most
// kMaxMonitorEntries).
void appendMonitorEntries(MenuModel& menu, int monitorCount);

enum class MenuAction {
    Ignored,            // the commands' own ids (10 to 29), ids outside the menu, cameras
                        // past the list
    SameCamera,         // the chosen row is the open one: nothing to do while it runs
    SwitchCamera,       // close the camera and open the device of row `cameraIndex`
    MonitorFullScreen,  // full screen on monitor `monitorIndex` (from 0)
};

struct MenuCommand {
    MenuAction action = MenuAction::Ignored;
    int cameraIndex = -1;   // row of the device table for the camera actions
    int monitorIndex = -1;  // monitor of MonitorFullScreen, in the toolkit's screen order
};

// What a camera or monitor entry's `id` asks for, given the device table the menu was built from
// and the row of the open device (-1 for none). Rows are compared, not names.
MenuCommand classifyMenuCommand(int id, std::span<const DeviceEntry> devices, int openRow);

}  // namespace vistrela
