// The main window's command table and its dispatch: panel buttons, hidden controls, keys and
// the window menu all end here; the context menu's ids 10 to 60 go on to onMenuCommand.

#include <array>

#include "annotation/overlay.h"
#include "app/command_ids.h"
#include "app/commands.h"
#include "app/cvist_dlg.h"
#include "common/clock.h"
#include "controls/menu_model.h"
#include "controls/panel_buttons.h"
#include "settings/settings.h"
#include "viewer/view_controls.h"

namespace vistrela {

namespace {
constexpr const char* kHalfTurnTip = "화면이 180도 전환 됩니다.";
constexpr const char* kFullScreenKeys = "F11, F";
constexpr QKeyCombination kNoKey(Qt::Key_unknown);

QKeyCombination key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    return QKeyCombination(mods, k);
}
}  // namespace

std::span<const CommandEntry> commandTable() {
    using D = CvistDlg;
    static const std::array<CommandEntry, 34> table = {{
        // Panel buttons.
        {IDC_LOGO,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         nullptr,
         [](D& d) { d.openWebPage(); }},
        {IDC_WEB_PAGE,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         nullptr,
         [](D& d) { d.openWebPage(); }},
        {IDC_HALF_TURN,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         kHalfTurnTip,
         nullptr,
         [](D& d) { d.halfTurn(true); }},
        {IDC_HALF_TURN_BACK,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         kHalfTurnTip,
         nullptr,
         [](D& d) { d.halfTurn(false); }},
        {IDC_ROTATE,
         CommandSpace::Dialog,
         {key(Qt::Key_R), kNoKey},
         "화면이 우측 90도씩 회전합니다.",
         "R",
         [](D& d) { QuarterTurn(d.ctx_.view, d.pipe_.overlayImage); }},
        {IDC_FULL_SCREEN,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         kFullScreenKeys,
         [](D& d) { d.setFullScreen(true); }},
        {IDC_WINDOWED,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         kFullScreenKeys,
         [](D& d) { d.setFullScreen(false); }},
        {IDC_ZOOM,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         "마우스 스크롤을 돌리면 확대가 됩니다.",
         "+, -",
         [](D& d) { ZoomHelp(d.ctx_.view, nowSeconds()); }},
        {IDC_PEN,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         nullptr,
         [](D& d) { d.penButton(); }},
        {IDC_TEXT,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         nullptr,
         [](D& d) { d.ShowTextWindow(); }},
        {IDC_RESET_VIEW,
         CommandSpace::Dialog,
         {key(Qt::Key_0), kNoKey},
         "프로그램 시작시의 화면으로 되돌립니다.",
         "0",
         [](D& d) { d.tools_.Reset(d.ctx_.view, d.pipe_); }},
        {IDC_ERASER,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         nullptr,
         [](D& d) { d.pipe_.drawMode = DRAW_ERASE; }},
        {IDC_SAVE_PICTURE,
         CommandSpace::Dialog,
         {key(Qt::Key_S, Qt::ControlModifier), kNoKey},
         "현재의 화면을 바탕화면에 저장합니다. 글씨 및 그림도 함께 저장됩니다.",
         "Ctrl+S",
         [](D& d) { d.pipe_.captureRequest = 1; }},
        {IDC_RECORD,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         nullptr,
         [](D& d) { d.startRecording(); }},
        {IDC_STOP,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         nullptr,
         [](D& d) { d.stopRecording(); }},
        {IDC_MENU,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         nullptr,
         [](D& d) { d.popupContextMenu(); }},
        {IDC_EXIT,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         "Esc",
         [](D& d) { d.closeRequest(); }},
        {IDC_PANEL_STRIP,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         nullptr,
         [](D& d) { d.togglePanel(); }},

        // Hidden controls.
        {cmd::SavePictureHidden,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         nullptr,
         [](D& d) { d.pipe_.captureRequest = 100; }},
        {cmd::CloseRequest,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         nullptr,
         [](D& d) { d.closeRequest(); }},
        {cmd::Options,
         CommandSpace::Dialog,
         {key(Qt::Key_Comma, Qt::ControlModifier), kNoKey},
         nullptr,
         "Ctrl+,",
         [](D& d) { d.optionsCommand(); }},
        {cmd::StopTimer,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         nullptr,
         [](D& d) { d.stopTitleTimer(); }},
        {cmd::FocusReset,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         nullptr,
         [](D& d) { d.ctx_.capture.ResetFocus(0); }},
        {cmd::CameraSettings,
         CommandSpace::Dialog,
         {key(Qt::Key_K, Qt::ControlModifier), kNoKey},
         nullptr,
         "Ctrl+K",
         [](D& d) { d.showCameraSettings(); }},
        {cmd::ReloadSettings,
         CommandSpace::Dialog,
         {kNoKey, kNoKey},
         nullptr,
         nullptr,
         [](D& d) { d.ctx_.settings.Load(d.ctx_.ini, d.ctx_.desktopPath); }},

        // The program's own keys.
        {cmd::ZoomIn,
         CommandSpace::Dialog,
         {key(Qt::Key_Plus), key(Qt::Key_Equal)},
         nullptr,
         nullptr,
         // One wheel step towards the user (a negative delta) magnifies.
         [](D& d) { WheelZoom(d.ctx_.view, -120); }},
        {cmd::ZoomOut,
         CommandSpace::Dialog,
         {key(Qt::Key_Minus), kNoKey},
         nullptr,
         nullptr,
         [](D& d) { WheelZoom(d.ctx_.view, 120); }},
        {cmd::Escape,
         CommandSpace::Dialog,
         {key(Qt::Key_Escape), kNoKey},
         nullptr,
         nullptr,
         [](D& d) { d.escapeKey(); }},
        {cmd::Freeze,
         CommandSpace::Dialog,
         {key(Qt::Key_Space), kNoKey},
         nullptr,
         "Space",
         [](D& d) { d.toggleFreeze(); }},
        {cmd::ToggleFullScreen,
         CommandSpace::Dialog,
         {key(Qt::Key_F11), key(Qt::Key_F)},
         nullptr,
         kFullScreenKeys,
         [](D& d) { d.setFullScreen(d.windowed != 0); }},
        {cmd::Undo,
         CommandSpace::Dialog,
         {key(Qt::Key_Z, Qt::ControlModifier), kNoKey},
         nullptr,
         "Ctrl+Z",
         [](D& d) { d.tools_.Undo(d.ctx_.view, d.pipe_); }},
        {cmd::Redo,
         CommandSpace::Dialog,
         {key(Qt::Key_Y, Qt::ControlModifier),
          key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier)},
         nullptr,
         "Ctrl+Y, Ctrl+Shift+Z",
         [](D& d) { d.tools_.Redo(d.ctx_.view, d.pipe_); }},

        // The window menu.
        {cmd::AboutBox,
         CommandSpace::System,
         {key(Qt::Key_F1), kNoKey},
         nullptr,
         "F1",
         [](D& d) { d.showAbout(); }},
        {0, CommandSpace::Dialog, {kNoKey, kNoKey}, nullptr, nullptr, nullptr},
    }};
    return std::span<const CommandEntry>(table.data(), table.size() - 1);
}

const CommandEntry* findCommand(int id, CommandSpace space) {
    for (const CommandEntry& entry : commandTable())
        if (entry.id == id && entry.space == space) return &entry;
    return nullptr;
}

const CommandEntry* findCommandForKey(QKeyCombination pressed) {
    const Qt::KeyboardModifiers relevant =
        Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier | Qt::ShiftModifier;
    const Qt::KeyboardModifiers mods = pressed.keyboardModifiers() & relevant;
    // A key listed with Shift needs it and wins over the same key listed without; a key
    // listed without Shift takes it either way ("+" is Shift+= on many layouts).
    for (const bool exact : {true, false}) {
        for (const CommandEntry& entry : commandTable()) {
            for (const QKeyCombination& k : entry.keys) {
                if (k.key() == Qt::Key_unknown || k.key() != pressed.key()) continue;
                if (exact ? k.keyboardModifiers() == mods
                          : k.keyboardModifiers() == (mods & ~Qt::ShiftModifier))
                    return &entry;
            }
        }
    }
    return nullptr;
}

void CvistDlg::onCommand(int id) {
    if (const CommandEntry* entry = findCommand(id, CommandSpace::Dialog)) {
        entry->run(*this);
        return;
    }
    if (id >= ID_PANEL_HIDE && id <= ID_MENU_LAST) onMenuCommand(id);
}

void CvistDlg::onSysCommand(int id) {
    if (const CommandEntry* entry = findCommand(id & 0xFFF0, CommandSpace::System))
        entry->run(*this);
}

void CvistDlg::runCommand(const CommandEntry& entry) {
    if (entry.space == CommandSpace::System)
        onSysCommand(entry.id);
    else
        onCommand(entry.id);
}

}  // namespace vistrela
