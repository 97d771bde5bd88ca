#pragma once
// The keys of the panel buttons, shown after their tooltips. cvist_dlg_input.cpp handles
// the keys themselves.

#include "controls/panel_buttons.h"

namespace vistrela {

struct ButtonShortcut {
    int controlId;
    const char* keys;
};

inline constexpr ButtonShortcut kButtonShortcuts[] = {
    {IDC_ROTATE, "R"},        {IDC_FULL_SCREEN, "F11, F"},
    {IDC_WINDOWED, "F11, F"}, {IDC_SAVE_PICTURE, "Ctrl+S"},
    {IDC_RESET_VIEW, "0"},    {IDC_ZOOM, "+, -"},
    {IDC_EXIT, "Esc"},
};

inline const char* shortcutOf(int controlId) {
    for (const ButtonShortcut& s : kButtonShortcuts)
        if (s.controlId == controlId) return s.keys;
    return nullptr;
}

}  // namespace vistrela
