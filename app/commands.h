#pragma once
// The main window's one table of commands: for every command its id, the space the id lives
// in, its keys, the tooltip of its panel button (with the keys shown after it) and its
// handler. The panel, the context menu, the keyboard and the tooltips all read this table,
// so a key and the button it belongs to cannot drift apart. UI thread only.

#include <QKeyCombination>
#include <span>

namespace vistrela {

class CvistDlg;

enum class CommandSpace {
    Dialog,  // panel buttons, menu items 10 to 60, hidden controls, the program's own keys
    System,  // the window menu's commands (the about box)
};

struct CommandEntry {
    int id = 0;
    CommandSpace space = CommandSpace::Dialog;
    // Up to two keys; Shift is ignored when matching, so "+" works with or without it.
    QKeyCombination keys[2] = {QKeyCombination(Qt::Key_unknown), QKeyCombination(Qt::Key_unknown)};
    const char* toolTip = nullptr;  // UTF-8 tooltip of the panel button, or null
    const char* keyText = nullptr;  // keys shown after the tooltip, or null
    void (*run)(CvistDlg&) = nullptr;
};

// Every command of the main window (built once; defined in cvist_dlg_commands.cpp).
std::span<const CommandEntry> commandTable();

// The entry of `id` in `space`, or null.
const CommandEntry* findCommand(int id, CommandSpace space = CommandSpace::Dialog);

// The entry a key press runs, or null. Shift and the keypad flag are ignored.
const CommandEntry* findCommandForKey(QKeyCombination key);

}  // namespace vistrela
