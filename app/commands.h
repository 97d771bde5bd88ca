#pragma once
// The main window's one registry of commands: one row per command with the ids the window's
// controls send for it (panel button, context menu entry), its menu text, its tooltip, its
// keys, its menu state and its handler. The panel, the context menu, the keyboard and the
// tooltips' key text are all built from these rows, so a key and the button or menu entry it
// belongs to cannot drift apart. Adding a command is adding a row and its handler.
// UI thread only.

#include <QKeyCombination>
#include <QKeySequence>
#include <QString>
#include <array>
#include <span>
#include <vector>

#include "controls/menu_model.h"

namespace vistrela {

class CvistDlg;

enum class Command {
    // Panel buttons.
    WebPageLogo,
    WebPage,
    HalfTurn,
    HalfTurnBack,
    Rotate,
    FullScreen,
    Windowed,
    ZoomHelp,
    Pen,
    Text,
    ResetView,
    Eraser,
    SavePicture,
    Record,
    Stop,
    Menu,
    Exit,
    PanelStrip,
    // The context menu's own entries.
    PanelHide,
    PanelShow,
    ZoomReset,
    PanReset,
    Undo,
    Redo,
    Freeze,
    Options,
    Compare,
    CompareEnd,
    Spotlight,
    Curtain,
    Blank,
    // Keys only.
    ZoomIn,
    ZoomOut,
    Escape,
    ToggleFullScreen,
    TogglePanel,
    CameraSettings,
    AboutBox,
    NextPage,
    PreviousPage,
    PresentFullScreen,
};

inline constexpr QKeyCombination kNoKey{Qt::Key_unknown};

// The translation context of the registry's labels and tooltips (and the panel strip's).
inline constexpr const char* kCommandContext = "Command";

struct CommandRow {
    Command command;
    int controlId = 0;  // the panel button that sends it (controls/panel_buttons.h), or 0
    int menuId = 0;     // the context menu entry that sends it (controls/menu_model.h), or 0
    // Menu text, and the text while the command's state is on (`on`), or null when it does not
    // change; the texts are Korean UTF-8 source texts of the translation context
    // kCommandContext, translated where they are shown.
    const char* label = nullptr;
    const char* onLabel = nullptr;
    const char* toolTip = nullptr;  // UTF-8 tooltip of the panel button, or null
    // What the command's keys do, for the about box's keys table (the label when null).
    const char* keyHelp = nullptr;
    // Up to two keys. A key listed without Shift matches with or without it, so "+" works
    // either way; a key listed with Shift needs it (Ctrl+Shift+Z is not Ctrl+Z).
    std::array<QKeyCombination, 2> keys = {kNoKey, kNoKey};
    // The commands whose keys the tooltip names after its text: one names all its keys, two
    // the first key of each. Empty: the row's own keys.
    std::array<Command, 2> keysOf{};
    int keysOfCount = 0;
    void (*run)(CvistDlg&) = nullptr;
    bool (*enabled)(const CvistDlg&) = nullptr;  // null: always enabled
    bool (*on)(const CvistDlg&) = nullptr;       // null: no on state
};

// Every command of the main window, in menu order among the menu's entries.
std::span<const CommandRow> commandRows();

// The context menu's command entries: the rows with a menu id, in the registry's order.
std::vector<MenuCommandText> menuCommands();

// The row of `command` (every command has one).
const CommandRow& commandRow(Command command);

// The row a panel button's or a menu entry's id sends, or null.
const CommandRow* commandForControl(int controlId);
const CommandRow* commandForMenu(int menuId);

// The row a key press runs, or null. The keypad flag is ignored; Shift as CommandRow says.
const CommandRow* commandForKey(QKeyCombination key);

// The keys a tooltip names for `row`, as the desktop writes them ("Ctrl+S", "F11, F"), or
// empty.
QString keyText(const CommandRow& row);

}  // namespace vistrela
