#include "controls/panel_buttons.h"

#include <QtGlobal>

namespace vistrela {

const std::array<PanelButtonEntry, 17> kPanelButtons = {{
    {IDC_LOGO, 0, 1, 149, 150},
    {IDC_HALF_TURN, 1, 1, 140, 139},
    {IDC_HALF_TURN_BACK, 1, 1, 141, 142},
    {IDC_ROTATE, 1, 2, 162, 163},
    {IDC_FULL_SCREEN, 2, 1, 146, 145},
    {IDC_WINDOWED, 2, 1, 144, 143},
    {IDC_ZOOM, 2, 2, 167, 166},
    {IDC_PEN, 3, 1, 169, 168},
    {IDC_TEXT, 3, 2, 156, 157},
    {IDC_RESET_VIEW, 4, 1, 164, 165},
    {IDC_ERASER, 4, 2, 158, 159},
    {IDC_SAVE_PICTURE, 5, 1, 138, 137},
    {IDC_RECORD, 5, 2, 133, 134},
    {IDC_STOP, 5, 2, 131, 132},
    {IDC_MENU, 6, 1, 160, 161},
    {IDC_WEB_PAGE, 6, 2, 135, 136},
    {IDC_EXIT, 7, 1, 147, 152},
}};

const PanelButtonEntry* findPanelButton(int controlId) {
    for (const auto& b : kPanelButtons) {
        if (b.controlId == controlId) return &b;
    }
    return nullptr;
}

StripLook stripLook(bool collapsed) {
    if (collapsed) return {176, 177, QT_TRANSLATE_NOOP("Command", "메뉴보이기")};
    return {173, 175, QT_TRANSLATE_NOOP("Command", "메뉴숨기기")};
}

}  // namespace vistrela
