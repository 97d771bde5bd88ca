#include "app/cvist_dlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QIcon>
#include <QTimerEvent>
#include <algorithm>
#include <ctime>

#include "annotation/overlay.h"
#include "app/command_ids.h"
#include "app/video_widget.h"
#include "capture/camera_controls.h"
#include "capture/media/capture_device.h"
#include "capture/media/capture_graph.h"
#include "capture/ui/camera_settings_dialog.h"
#include "common/clock.h"
#include "common/prompts.h"
#include "common/strings.h"
#include "controls/button_images.h"
#include "controls/panel_buttons.h"
#include "controls/ui/gdip_button.h"
#include "controls/ui/menu_xp.h"
#include "settings/command_line.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "viewer/title.h"
#include "viewer/view_controls.h"

namespace vistrela {

int panelWidth = kPanelShownWidth;

namespace {
constexpr int kReconnectIntervalMs = 2000;
// A camera that is listed but will not open may block each attempt for a while; attempts
// that fail space themselves out up to this.
constexpr int kReconnectMaxIntervalMs = 30000;
}  // namespace

CvistDlg::CvistDlg() : QDialog(nullptr) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(kAppIconPath));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    videoStatic = new VideoWidget(this);
    createPanel();

    reconnectTimer_.setInterval(kReconnectIntervalMs);
    connect(&reconnectTimer_, &QTimer::timeout, this, [this] { checkCameraBack(); });

    OnInitDialog();
}

CvistDlg::~CvistDlg() {
    // The pipeline must stop before the pictures and widgets it feeds go away.
    if (!closing_) CloseCamera();
    theCapture.SetWindow(nullptr);
}

bool CvistDlg::cameraOpen() const {
    return theCapture.isOpen();
}

void CvistDlg::OnInitDialog() {
    titleTimerId_ = startTimer(100);
    QDir::setCurrent(QString::fromStdString(appDir()));
    setWindowTitle(kProductTitle);
    pipe_.flipRows = 1;
    pipe_.mirror = 1;
    if (oneShotCapture) {
        setWindowTitle(QString::fromUtf8(
            FormatString("%s 저장후종료 %s", kProductTitle, commandLineName.c_str())));
    }
    // Load, desktop folder, defaults again (only the camera name and device count survive
    // from the file), zoom limit 8.
    ApplyStartupSettings();
    // The one-shot flag stays armed: the next requested picture goes to commandLineName.

    halfTurn_ = 1;
    windowed = 1;
    recordIdle = 1;
    fitWindowToVideo();
    toggleFullScreen();

    pipe_.captureRequest = 0;
    refreshPanelImages();

    OpenCamera();
    startTime = static_cast<int>(static_cast<std::uint32_t>(std::time(nullptr)));
    layoutControls();
    if (autoCaptureSeconds > 0) autoCaptureTimerId_ = startTimer(autoCaptureSeconds * 1000);
}

void CvistDlg::OpenCamera() {
    theCapture.SetWindow(this);
    ResetFrameRate(pipe_);
    const int result =
        vistrela::OpenCamera(theCapture, theSettings.devices, theSettings.deviceCount,
                             theSettings.cameraName, theView.frameWidth, theView.frameHeight);
    if (result == kCaptureNoCamera) return;
    theSettings.ClampCrop(0.9);
    buildContextMenu();
    CreateOverlay(pipe_.overlayImage, theView);
    if (result < 0) {
        theView.statusText = "카메라를 열 수 없습니다";
        theView.statusUntil = nowSeconds() + 5.0;
        return;
    }
    cameraLost_ = false;
    reconnectTimer_.stop();
    reconnectTimer_.setInterval(kReconnectIntervalMs);
    if (!fittedToCamera_ && startTime == 0) {
        // The window takes the shape of the picture the camera really delivers.
        fittedToCamera_ = true;
        fitWindowToVideo();
    } else {
        updateMinimumSize();
    }
}

void CvistDlg::CloseCamera() {
    theCapture.Close();
    ResetFrameRate(pipe_);
    videoStatic->clearFrame();
}

void CvistDlg::captureFailed(const std::string& reason) {
    CloseCamera();
    if (!cameraLost_) {
        cameraLost_ = true;
        // Said once, in the title, for a while; the window stays usable.
        theView.statusText = "카메라 연결이 끊어졌습니다";
        theView.statusUntil = nowSeconds() + 10.0;
        std::fprintf(stderr, "vistrela: camera stopped: %s\n", reason.c_str());
    }
    reconnectTimer_.start();
}

void CvistDlg::checkCameraBack() {
    if (theCapture.isOpen()) {
        reconnectTimer_.stop();
        return;
    }
    // Only reopen when the camera we lost is listed again; no notice while looking.
    DeviceTable probe;
    int count = 0;
    theCapture.EnumerateDevices(probe, count);
    if (FindDeviceIndex(probe, count, theSettings.cameraName) < 0) return;
    OpenCamera();
    if (!theCapture.isOpen())
        reconnectTimer_.setInterval(
            std::min(reconnectTimer_.interval() * 2, kReconnectMaxIntervalMs));
}

void CvistDlg::onCommand(int id) {
    switch (id) {
        case cmd::SavePictureHidden:
            pipe_.captureRequest = 100;
            break;
        case IDC_SAVE_PICTURE:
            pipe_.captureRequest = 1;
            break;
        case cmd::CloseRequest:
        case IDC_EXIT:
            closeRequest();
            break;
        case cmd::Options:
            optionsCommand();
            break;
        case cmd::ReloadSettings:
            theSettings.Load();
            break;
        case cmd::StopTimer:
            if (titleTimerId_ != 0) killTimer(titleTimerId_);
            titleTimerId_ = 0;
            break;
        case cmd::FocusReset:
            theCapture.ResetFocus(0);
            break;
        case cmd::CameraSettings:
            showCameraSettings();
            break;
        case cmd::AboutBox:
            showAbout();
            break;
        case IDC_HALF_TURN:
            halfTurn(true);
            break;
        case IDC_HALF_TURN_BACK:
            halfTurn(false);
            break;
        case IDC_FULL_SCREEN:
            if (windowed != 0) {
                windowed = 0;
                toggleFullScreen();
            }
            break;
        case IDC_WINDOWED:
            if (windowed != 1) {
                windowed = 1;
                toggleFullScreen();
            }
            break;
        case IDC_PANEL_STRIP:
            togglePanel();
            break;
        case IDC_ROTATE:
            QuarterTurn(theView, pipe_.overlayImage);
            break;
        case IDC_ZOOM:
            ZoomHelp(theView, nowSeconds());
            break;
        case IDC_RESET_VIEW:
            ViewReset(theView, pipe_);
            break;
        case IDC_PEN:
            pipe_.drawMode = 20;
            break;
        case IDC_ERASER:
            pipe_.drawMode = 30;
            break;
        case IDC_TEXT:
            // The text window arrives with the annotation tools; until then the button only
            // switches the pen and eraser off.
            if (pipe_.drawMode > 10) pipe_.drawMode = 1;
            break;
        case IDC_RECORD:
        case IDC_STOP:
            // Recording arrives with the recording tools; the button keeps its state.
            break;
        case IDC_MENU:
            popupContextMenu();
            break;
        case IDC_LOGO:
        case IDC_WEB_PAGE:
            openWebPage();
            break;
        default:
            if (id >= ID_PANEL_HIDE && id <= ID_MENU_LAST) onMenuCommand(id);
            break;
    }
}

void CvistDlg::onMenuCommand(int id) {
    const MenuCommand command = classifyMenuCommand(
        id, std::span<const DeviceEntry>(theSettings.devices.data(), theSettings.deviceCount),
        FindDeviceIndex(theSettings.devices, theSettings.deviceCount, theSettings.cameraName));
    switch (command.action) {
        case MenuAction::TogglePanel:
            togglePanel();
            break;
        case MenuAction::ResetZoom:
            ZoomReset(theView);
            break;
        case MenuAction::ResetPan:
            PanReset(theView);
            break;
        case MenuAction::TextTool:
            onCommand(IDC_TEXT);
            break;
        case MenuAction::DrawTool:
            onCommand(IDC_PEN);
            break;
        case MenuAction::EraseTool:
            onCommand(IDC_ERASER);
            break;
        case MenuAction::SwitchCamera: {
            const std::string name = theSettings.devices[command.cameraIndex].friendlyName;
            CloseCamera();
            theSettings.cameraName = name;
            OpenCamera();
            break;
        }
        case MenuAction::SameCamera:
            // The current camera again: nothing to do while it runs; after it was lost,
            // choosing it is how the user asks to have it back.
            if (!theCapture.isOpen()) OpenCamera();
            break;
        case MenuAction::Ignored:
            break;
    }
}

void CvistDlg::optionsCommand() {
    CloseCamera();
    theSettings.ResetDevices();
    theSettings.Load();
    theCapture.EnumerateDevices(theSettings.devices, theSettings.deviceCount);
    if (theSettings.deviceCount < 1) {
        ShowNotice("카메라가 없습니다");
        return;
    }
    // The options dialog itself arrives later; the camera reopens with the settings as
    // they now stand.
    OpenCamera();
}

void CvistDlg::showCameraSettings() {
    std::shared_ptr<void> moniker;
    if (theCapture.FindDevice(theSettings.devices, theSettings.deviceCount, theSettings.cameraName,
                              moniker) < 0)
        return;
    ShowPropertyPages(moniker, this);
}

void CvistDlg::closeRequest() {
    // A running recording is stopped first (the recording tools hook in here).
    close();
}

void CvistDlg::reject() {
    closeRequest();
}

void CvistDlg::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    closing_ = true;
    contextMenu.reset();
    if (titleTimerId_ != 0) killTimer(titleTimerId_);
    titleTimerId_ = 0;
    reconnectTimer_.stop();
    CloseCamera();
    event->accept();
    done(QDialog::Accepted);
}

void CvistDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() == titleTimerId_) {
        updateTitle();
    } else if (event->timerId() == autoCaptureTimerId_) {
        killTimer(autoCaptureTimerId_);
        autoCaptureTimerId_ = 0;
        onCommand(IDC_SAVE_PICTURE);
    }
    QDialog::timerEvent(event);
}

void CvistDlg::updateTitle() {
    TitleInputs in;
    in.recording = false;
    in.frameWidth = theView.frameWidth;
    in.frameHeight = theView.frameHeight;
    in.videoWidth = videoStatic->width();
    in.videoHeight = videoStatic->height();
    in.fps = pipe_.fps;
    in.rotation = theView.rotation;
    in.zoom = theView.zoom;
    in.statusText = theView.statusText;
    in.showStatus = nowSeconds() < theView.statusUntil;
    setWindowTitle(QString::fromStdString(ComposeTitle(in)));
}

void CvistDlg::bringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

}  // namespace vistrela
