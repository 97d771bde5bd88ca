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
inline constexpr int ID_CAMERA_BASE = 30;
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

// The context menu: the "카메라" submenu with one entry per device ("[1] name", id 30 + i),
// then the commands 10 to 16. At most MAX_DEVICES cameras are listed. Each entry stands for its
// row of the device table, so two cameras with the same name are still two entries: the row
// `openRow` (the device that is open) is the default item, and no entry is when `openRow` is
// not a listed row (-1: nothing open). Every item starts enabled.
MenuModel buildContextMenuModel(std::span<const DeviceEntry> devices, int openRow);

// Grays one of the two panel commands: "hide" while the panel is collapsed, "show" while it is
// shown.
void applyPanelState(MenuModel& menu, bool panelCollapsed);

enum class MenuAction {
    Ignored,       // ids outside the menu, 17 to 29, cameras past the list
    TogglePanel,   // 10 and 11
    ResetZoom,     // 12
    ResetPan,      // 13
    TextTool,      // 14
    DrawTool,      // 15
    EraseTool,     // 16
    SameCamera,    // the chosen row is the open one: nothing to do while it runs
    SwitchCamera,  // close the camera and open the device of row `cameraIndex`
};

struct MenuCommand {
    MenuAction action = MenuAction::Ignored;
    int cameraIndex = -1;  // row of the device table for the camera actions
};

// What command `id` asks for, given the device table the menu was built from and the row of
// the open device (-1 for none). Rows are compared, not names.
MenuCommand classifyMenuCommand(int id, std::span<const DeviceEntry> devices, int openRow);

}  // namespace vistrela
