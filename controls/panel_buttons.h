#pragma once
// The button panel of the main window: control ids, where each button sits, which images it
// shows and its tooltip. Plain data, shared by the layout arithmetic and the shell that binds
// the buttons. Image numbers are resolved to files by button_images.h.

#include <array>

namespace vistrela {

// Control ids of the main window.
inline constexpr int IDC_EXIT = 1019;
inline constexpr int IDC_SAVE_PICTURE = 1020;
inline constexpr int IDC_HALF_TURN = 1021;
inline constexpr int IDC_WEB_PAGE = 1022;
inline constexpr int IDC_HALF_TURN_BACK = 1023;
inline constexpr int IDC_RECORD = 1024;
inline constexpr int IDC_STOP = 1025;
inline constexpr int IDC_FULL_SCREEN = 1026;
inline constexpr int IDC_WINDOWED = 1027;
inline constexpr int IDC_LOGO = 1028;
inline constexpr int IDC_TEXT = 1029;
inline constexpr int IDC_VIDEO = 1030;
inline constexpr int IDC_ERASER = 1033;
inline constexpr int IDC_MENU = 1035;
inline constexpr int IDC_ROTATE = 1040;
inline constexpr int IDC_RESET_VIEW = 1043;
inline constexpr int IDC_ZOOM = 1045;
inline constexpr int IDC_PEN = 1046;
inline constexpr int IDC_PANEL_STRIP = 1047;

// Width reserved for the panel while shown and while collapsed.
inline constexpr int kPanelShownWidth = 165;
inline constexpr int kPanelCollapsedWidth = 30;

// One button of the panel grid. `row` 0 is the logo row (it spans both columns); `column` is
// 1 or 2. Buttons of a pair share row and column. Tooltips live with the commands
// (app/commands.h).
struct PanelButtonEntry {
    int controlId;
    int row;
    int column;
    int normalImage;
    int hoverImage;
};

// The 17 grid buttons (the collapse strip is separate, see stripImages).
extern const std::array<PanelButtonEntry, 17> kPanelButtons;

// The grid entry of `controlId`, or nullptr (also for the strip).
const PanelButtonEntry* findPanelButton(int controlId);

// Images and tooltip of the collapse strip for the panel state.
struct StripLook {
    int normalImage;
    int hoverImage;
    const char* toolTip;  // Korean source text of the translation context "Command"
};
StripLook stripLook(bool collapsed);

}  // namespace vistrela
