// The main window's command registry: one row per command with its handler, and the
// dispatch of the ids the panel and the context menu send (lookups: app/commands.cpp).

#include "app/commands.h"
#include "app/cvist_dlg.h"
#include "common/clock.h"
#include "controls/menu_model.h"
#include "controls/panel_buttons.h"
#include "viewer/view_controls.h"

namespace vistrela {

namespace {

constexpr const char* kHalfTurnTip = QT_TRANSLATE_NOOP("Command", "화면이 180도 전환 됩니다.");

constexpr QKeyCombination key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    return QKeyCombination(mods, k);
}

}  // namespace

std::span<const CommandRow> commandRows() {
    using D = CvistDlg;
    using C = Command;
    static const CommandRow kRows[] = {
        // The context menu's entries, in its order.
        {.command = C::PanelHide,
         .menuId = ID_PANEL_HIDE,
         .label = QT_TRANSLATE_NOOP("Command", "메뉴숨기기"),
         .run = [](D& d) { d.togglePanel(); },
         .enabled = [](const D& d) { return !d.panelCollapsed(); }},
        {.command = C::PanelShow,
         .menuId = ID_PANEL_SHOW,
         .label = QT_TRANSLATE_NOOP("Command", "메뉴보이기"),
         .run = [](D& d) { d.togglePanel(); },
         .enabled = [](const D& d) { return d.panelCollapsed(); }},
        {.command = C::ZoomReset,
         .menuId = ID_ZOOM_RESET,
         .label = QT_TRANSLATE_NOOP("Command", "줌취소"),
         .run = [](D& d) { ZoomReset(d.ctx_.view); }},
        {.command = C::PanReset,
         .menuId = ID_PAN_RESET,
         .label = QT_TRANSLATE_NOOP("Command", "이동취소"),
         .run = [](D& d) { PanReset(d.ctx_.view); }},
        {.command = C::Text,
         .controlId = IDC_TEXT,
         .menuId = ID_TEXT_TOOL,
         .label = QT_TRANSLATE_NOOP("Command", "글씨쓰기"),
         .run = [](D& d) { d.ShowTextWindow(); }},
        {.command = C::Pen,
         .controlId = IDC_PEN,
         .menuId = ID_DRAW_TOOL,
         .label = QT_TRANSLATE_NOOP("Command", "그리기"),
         .run = [](D& d) { d.penButton(); }},
        {.command = C::Eraser,
         .controlId = IDC_ERASER,
         .menuId = ID_ERASE_TOOL,
         .label = QT_TRANSLATE_NOOP("Command", "지우개"),
         .run = [](D& d) { d.selectTool(DrawMode::Erase); }},
        {.command = C::Undo,
         .menuId = ID_UNDO,
         .label = QT_TRANSLATE_NOOP("Command", "실행 취소"),
         .keys = {key(Qt::Key_Z, Qt::ControlModifier), kNoKey},
         .run = [](D& d) { d.lessons_.Undo(d.liveInk()); },
         .enabled = [](const D& d) { return d.lessons_.CanUndo(d.tools_); }},
        {.command = C::Redo,
         .menuId = ID_REDO,
         .label = QT_TRANSLATE_NOOP("Command", "다시 실행"),
         .keys = {key(Qt::Key_Y, Qt::ControlModifier),
                  key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier)},
         .run = [](D& d) { d.lessons_.Redo(d.liveInk()); },
         .enabled = [](const D& d) { return d.lessons_.CanRedo(d.tools_); }},
        {.command = C::Freeze,
         .menuId = ID_FREEZE,
         .label = QT_TRANSLATE_NOOP("Command", "화면 정지"),
         .onLabel = QT_TRANSLATE_NOOP("Command", "정지 해제"),
         .keys = {key(Qt::Key_Space), kNoKey},
         .run = [](D& d) { d.toggleFreeze(); },
         .on = [](const D& d) { return d.pictureFrozen(); }},
        {.command = C::Options,
         .menuId = ID_OPTIONS,
         .label = QT_TRANSLATE_NOOP("Command", "옵션..."),
         .keys = {key(Qt::Key_Comma, Qt::ControlModifier), kNoKey},
         .run = [](D& d) { d.optionsCommand(); }},
        // The lesson modes, after the menu's own entries.
        {.command = C::Compare,
         .menuId = ID_COMPARE,
         .label = QT_TRANSLATE_NOOP("Command", "비교할 화면 보관"),
         .keys = {key(Qt::Key_C), kNoKey},
         .run = [](D& d) { d.lessons_.KeepPage(); }},
        {.command = C::CompareEnd,
         .menuId = ID_COMPARE_END,
         .label = QT_TRANSLATE_NOOP("Command", "비교 끝내기"),
         .run = [](D& d) { d.lessons_.LeaveCompare(); },
         .enabled = [](const D& d) { return d.lessons_.Comparing(); }},
        {.command = C::Spotlight,
         .menuId = ID_SPOTLIGHT,
         .label = QT_TRANSLATE_NOOP("Command", "스포트라이트"),
         .onLabel = QT_TRANSLATE_NOOP("Command", "스포트라이트 끄기"),
         .keys = {key(Qt::Key_S), kNoKey},
         .run = [](D& d) { d.lessons_.ToggleSpotlight(); },
         .on = [](const D& d) { return d.lessons_.SpotlightOn(); }},
        {.command = C::Curtain,
         .menuId = ID_CURTAIN,
         .label = QT_TRANSLATE_NOOP("Command", "가림막"),
         .onLabel = QT_TRANSLATE_NOOP("Command", "가림막 걷기"),
         .keys = {key(Qt::Key_V), kNoKey},
         .run = [](D& d) { d.lessons_.ToggleCurtain(); },
         .on = [](const D& d) { return d.lessons_.CurtainOn(); }},
        {.command = C::Blank,
         .menuId = ID_BLANK,
         .label = QT_TRANSLATE_NOOP("Command", "화면 가리기"),
         .onLabel = QT_TRANSLATE_NOOP("Command", "화면 다시 보이기"),
         .keys = {key(Qt::Key_B), key(Qt::Key_Period)},
         .run = [](D& d) { d.lessons_.ToggleBlank(); },
         .on = [](const D& d) { return d.lessons_.Blanked(); }},

        // The panel's buttons.
        {.command = C::WebPageLogo, .controlId = IDC_LOGO, .run = [](D& d) { d.openWebPage(); }},
        {.command = C::WebPage, .controlId = IDC_WEB_PAGE, .run = [](D& d) { d.openWebPage(); }},
        {.command = C::HalfTurn,
         .controlId = IDC_HALF_TURN,
         .toolTip = kHalfTurnTip,
         .run = [](D& d) { d.halfTurn(true); }},
        {.command = C::HalfTurnBack,
         .controlId = IDC_HALF_TURN_BACK,
         .toolTip = kHalfTurnTip,
         .run = [](D& d) { d.halfTurn(false); }},
        {.command = C::Rotate,
         .controlId = IDC_ROTATE,
         .toolTip = QT_TRANSLATE_NOOP("Command", "화면이 우측 90도씩 회전합니다."),
         .keyHelp = QT_TRANSLATE_NOOP("Command", "화면 90도 회전"),
         .keys = {key(Qt::Key_R), kNoKey},
         .run = [](D& d) { QuarterTurn(d.ctx_.view, d.pipe_.overlayImage); }},
        {.command = C::FullScreen,
         .controlId = IDC_FULL_SCREEN,
         .keysOf = {C::ToggleFullScreen},
         .keysOfCount = 1,
         .run = [](D& d) { d.placement_.setFullScreen(true); }},
        {.command = C::Windowed,
         .controlId = IDC_WINDOWED,
         .keysOf = {C::ToggleFullScreen},
         .keysOfCount = 1,
         .run = [](D& d) { d.placement_.setFullScreen(false); }},
        {.command = C::ZoomHelp,
         .controlId = IDC_ZOOM,
         .toolTip = QT_TRANSLATE_NOOP("Command", "마우스 스크롤을 돌리면 확대가 됩니다."),
         .keysOf = {C::ZoomIn, C::ZoomOut},
         .keysOfCount = 2,
         .run = [](D& d) { ZoomHelp(d.ctx_.view, nowSeconds()); }},
        {.command = C::ResetView,
         .controlId = IDC_RESET_VIEW,
         .toolTip = QT_TRANSLATE_NOOP("Command", "프로그램 시작시의 화면으로 되돌립니다."),
         .keyHelp = QT_TRANSLATE_NOOP("Command", "처음 화면으로 되돌리기"),
         .keys = {key(Qt::Key_0), kNoKey},
         .run = [](D& d) { d.tools_.Reset(d.ctx_.view, d.pipe_); }},
        {.command = C::SavePicture,
         .controlId = IDC_SAVE_PICTURE,
         .toolTip = QT_TRANSLATE_NOOP(
             "Command", "현재의 화면을 바탕화면에 저장합니다. 글씨 및 그림도 함께 저장됩니다."),
         .keyHelp = QT_TRANSLATE_NOOP("Command", "화면을 사진으로 저장"),
         .keys = {key(Qt::Key_S, Qt::ControlModifier), kNoKey},
         .run = [](D& d) { d.requestStill(); }},
        {.command = C::Record, .controlId = IDC_RECORD, .run = [](D& d) { d.startRecording(); }},
        {.command = C::Stop, .controlId = IDC_STOP, .run = [](D& d) { d.stopRecording(); }},
        {.command = C::Menu, .controlId = IDC_MENU, .run = [](D& d) { d.popupContextMenu(); }},
        {.command = C::Exit,
         .controlId = IDC_EXIT,
         .keysOf = {C::Escape},
         .keysOfCount = 1,
         .run = [](D& d) { d.closeRequest(); }},
        {.command = C::PanelStrip,
         .controlId = IDC_PANEL_STRIP,
         .run = [](D& d) { d.togglePanel(); }},

        // Keys only.
        // One wheel step towards the user (a negative delta) magnifies.
        {.command = C::ZoomIn,
         .keyHelp = QT_TRANSLATE_NOOP("Command", "확대"),
         .keys = {key(Qt::Key_Plus), key(Qt::Key_Equal)},
         .run = [](D& d) { WheelZoom(d.ctx_.view, -120); }},
        {.command = C::ZoomOut,
         .keyHelp = QT_TRANSLATE_NOOP("Command", "축소"),
         .keys = {key(Qt::Key_Minus), kNoKey},
         .run = [](D& d) { WheelZoom(d.ctx_.view, 120); }},
        {.command = C::Escape,
         .keyHelp = QT_TRANSLATE_NOOP("Command", "글씨 창 닫기, 그리기 멈추기, 끝내기"),
         .keys = {key(Qt::Key_Escape), kNoKey},
         .run = [](D& d) { d.escapeKey(); }},
        {.command = C::ToggleFullScreen,
         .keyHelp = QT_TRANSLATE_NOOP("Command", "전체화면 켜기/끄기"),
         .keys = {key(Qt::Key_F11), key(Qt::Key_F)},
         .run = [](D& d) { d.placement_.setFullScreen(!d.placement_.fullScreen()); }},
        {.command = C::TogglePanel,
         .keyHelp = QT_TRANSLATE_NOOP("Command", "메뉴 숨기기/보이기"),
         .keys = {key(Qt::Key_H, Qt::ControlModifier), kNoKey},
         .run = [](D& d) { d.togglePanel(); }},
        {.command = C::CameraSettings,
         .keyHelp = QT_TRANSLATE_NOOP("Command", "카메라 설정"),
         .keys = {key(Qt::Key_K, Qt::ControlModifier), kNoKey},
         .run = [](D& d) { d.showCameraSettings(); }},
        {.command = C::AboutBox,
         .keyHelp = QT_TRANSLATE_NOOP("Command", "프로그램 정보"),
         .keys = {key(Qt::Key_F1), kNoKey},
         .run = [](D& d) { d.showAbout(); }},
        // Presentation remotes.
        {.command = C::NextPage,
         .keyHelp = QT_TRANSLATE_NOOP("Command", "비교: 다음 화면, 그 밖에는 화면 정지"),
         .keys = {key(Qt::Key_PageDown), kNoKey},
         .run = [](D& d) { d.lessons_.PageStep(1); }},
        {.command = C::PreviousPage,
         .keyHelp = QT_TRANSLATE_NOOP("Command", "비교: 이전 화면, 그 밖에는 정지 해제"),
         .keys = {key(Qt::Key_PageUp), kNoKey},
         .run = [](D& d) { d.lessons_.PageStep(-1); }},
        {.command = C::PresentFullScreen,
         .keyHelp = QT_TRANSLATE_NOOP("Command", "전체 화면"),
         .keys = {key(Qt::Key_F5), kNoKey},
         .run = [](D& d) { d.placement_.setFullScreen(true); }},
    };
    return kRows;
}

void CvistDlg::runRow(const CommandRow& row) {
    row.run(*this);
}

void CvistDlg::runCommand(Command command) {
    runRow(commandRow(command));
}

void CvistDlg::onCommand(int id) {
    if (const CommandRow* row = commandForControl(id)) {
        runRow(*row);
        return;
    }
    if (id >= ID_PANEL_HIDE && id <= ID_MENU_LAST) onMenuCommand(id);
}

void CvistDlg::onMenuCommand(int id) {
    if (const CommandRow* row = commandForMenu(id)) {
        runRow(*row);
        return;
    }
    const MenuCommand command = classifyMenuCommand(
        id, std::span<const DeviceEntry>(ctx_.settings.devices.data(), ctx_.settings.deviceCount),
        session_.cameraRow);
    switch (command.action) {
        case MenuAction::SwitchCamera: {
            // The row is the camera: two cameras may share a name.
            const int row = command.cameraIndex;
            const std::string name = ctx_.settings.devices[row].friendlyName;
            CloseCamera();
            ctx_.settings.cameraName = name;
            OpenCamera(row);
            break;
        }
        case MenuAction::SameCamera:
            // The current camera again: nothing to do while it runs; after it was lost,
            // choosing it is how the user asks to have it back.
            if (!ctx_.capture.isOpen()) OpenCamera(session_.cameraRow, session_.cameraIdentity);
            break;
        case MenuAction::MonitorFullScreen:
            placement_.fullScreenOn(command.monitorIndex);
            break;
        case MenuAction::Ignored:
            break;
    }
}

void CvistDlg::selectTool(DrawMode tool) {
    pipe_.drawMode = tool;
}

void CvistDlg::requestStill() {
    stills_.request();
}

}  // namespace vistrela
