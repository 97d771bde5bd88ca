// The lookups over the command registry: the rows a control, a menu entry or a key runs, and
// the key texts of the tooltips. The rows themselves are in cvist_dlg_commands.cpp.

#include "app/commands.h"

#include <QStringList>
#include <cstdlib>

namespace vistrela {

namespace {

QString keysOfRow(const CommandRow& row, bool firstOnly) {
    QStringList names;
    for (const QKeyCombination& k : row.keys) {
        if (k.key() == Qt::Key_unknown) continue;
        names << QKeySequence(k).toString(QKeySequence::NativeText);
        if (firstOnly) break;
    }
    return names.join(QStringLiteral(", "));
}

}  // namespace

std::vector<MenuCommandText> menuCommands() {
    std::vector<MenuCommandText> entries;
    for (const CommandRow& row : commandRows())
        if (row.menuId != 0) entries.push_back({row.menuId, row.label});
    return entries;
}

const CommandRow& commandRow(Command command) {
    for (const CommandRow& row : commandRows())
        if (row.command == command) return row;
    std::abort();  // every command has its row (the registry test walks them)
}

const CommandRow* commandForControl(int controlId) {
    for (const CommandRow& row : commandRows())
        if (controlId != 0 && row.controlId == controlId) return &row;
    return nullptr;
}

const CommandRow* commandForMenu(int menuId) {
    for (const CommandRow& row : commandRows())
        if (menuId != 0 && row.menuId == menuId) return &row;
    return nullptr;
}

const CommandRow* commandForKey(QKeyCombination pressed) {
    const Qt::KeyboardModifiers relevant =
        Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::ShiftModifier;
    const Qt::KeyboardModifiers mods = pressed.keyboardModifiers() & relevant;
    // A key listed with Shift needs it and wins over the same key listed without; a key
    // listed without Shift takes it either way ("+" is Shift+= on many layouts).
    for (const bool exact : {true, false}) {
        for (const CommandRow& row : commandRows()) {
            for (const QKeyCombination& k : row.keys) {
                if (k.key() == Qt::Key_unknown || k.key() != pressed.key()) continue;
                if (exact ? k.keyboardModifiers() == mods
                          : k.keyboardModifiers() == (mods & ~Qt::ShiftModifier))
                    return &row;
            }
        }
    }
    return nullptr;
}

QString keyText(const CommandRow& row) {
    if (row.keysOfCount == 0) return keysOfRow(row, false);
    QStringList names;
    for (int i = 0; i < row.keysOfCount; ++i)
        names << keysOfRow(commandRow(row.keysOf[std::size_t(i)]), row.keysOfCount > 1);
    return names.join(QStringLiteral(", "));
}

}  // namespace vistrela
