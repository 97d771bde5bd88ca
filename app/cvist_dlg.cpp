#include "app/cvist_dlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QTimer>
#include <QTimerEvent>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "annotation/overlay.h"
#include "app/command_ids.h"
#include "app/video_widget.h"
#include "capture/camera_controls.h"
#include "capture/device_table.h"
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
#include "recording/ui/recording_control.h"
#include "settings/command_line.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "viewer/title.h"
#include "viewer/view_controls.h"

namespace vistrela {

namespace {
constexpr int kReconnectIntervalMs = 2000;
constexpr int kFrameWatchIntervalMs = 50;
constexpr int kFrameWatchTicks = 600;
// A camera that is listed but will not open may block each attempt for a while; attempts
// that fail space themselves out up to this.
constexpr int kReconnectMaxIntervalMs = 30000;
}  // namespace

CvistDlg::CvistDlg(AppContext& context) : QDialog(nullptr), ctx_(context) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(kAppIconPath));
    setMouseTracking(true);
    // The window takes no focus from clicks: a click on the panel or the picture leaves the
    // keyboard with the open text window. With no focused child the window gets the keys.
    setFocusPolicy(Qt::NoFocus);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);

    videoStatic = new VideoWidget(this);
    createPanel();

    reconnectTimer_.setInterval(kReconnectIntervalMs);
    connect(&reconnectTimer_, &QTimer::timeout, this, [this] { checkCameraBack(); });
    // A window manager frames a new window within moments; one that has not framed it after
    // kFrameWatchTicks looks does not draw frames at all.
    frameWatch_.setInterval(kFrameWatchIntervalMs);
    connect(&frameWatch_, &QTimer::timeout, this, [this] {
        if (++frameWatchTicks_ >= kFrameWatchTicks) frameWatch_.stop();
        refitOnceFramed();
    });

    OnInitDialog();
}

CvistDlg::~CvistDlg() {
    // The pipeline must stop before the pictures and widgets it feeds go away.
    if (!closing_) CloseCamera();
    ctx_.capture.SetWindow(nullptr);
}

bool CvistDlg::cameraOpen() const {
    return ctx_.capture.isOpen();
}

void CvistDlg::OnInitDialog() {
    titleTimerId_ = startTimer(100);
    setUpRecording();
    setWindowTitle(kProductTitle);
    pipe_.flipRows = true;
    pipe_.mirror = true;
    if (ctx_.commandLine.oneShotCapture) {
        setWindowTitle(QString::fromUtf8(FormatString("%s 저장후종료 %s", kProductTitle,
                                                      ctx_.commandLine.commandLineName.c_str())));
    }
    // Load, desktop folder, defaults again (only the camera name and device count survive
    // from the file), zoom limit 8.
    ctx_.ini.SetPathName(IniPath().c_str());
    ctx_.desktopPath = DesktopFolder();
    ctx_.settings = StartupSettings(ctx_.ini, ctx_.desktopPath, ctx_.view);
    // What the user asked to be remembered goes on top of the standard start-up.
    const std::optional<RememberedChoices> remembered = applyRememberedChoices();
    // The one-shot flag stays armed: the next requested picture goes to the one-shot path.

    halfTurn_ = 1;
    windowed = 1;
    fitWindowToVideo();
    toggleFullScreen();

    pipe_.captureRequest = 0;
    refreshPanelImages();

    // The panel is laid out before the camera opens: a notice the open shows (no camera)
    // stands in front of a finished window.
    startTime = static_cast<int>(static_cast<std::uint32_t>(std::time(nullptr)));
    layoutControls();
    // The remembered camera is found by its identity as the open lists the cameras.
    OpenCamera(-1, remembered ? remembered->cameraIdentity : std::string());
    layoutControls();
    // Recordings a crash cut short become movies in the background.
    recording_->RecoverLeftovers(ctx_.settings.savePath);
    if (ctx_.commandLine.autoCaptureSeconds > 0)
        autoCaptureTimerId_ = startTimer(ctx_.commandLine.autoCaptureSeconds * 1000);
}

void CvistDlg::OpenCamera(int preferredRow, const std::string& identity) {
    ctx_.capture.SetWindow(this);
    ResetFrameRate(pipe_);
    const int result =
        vistrela::OpenCamera(ctx_.capture, ctx_.settings.devices, ctx_.settings.deviceCount,
                             ctx_.settings.cameraName, ctx_.view.frameWidth, ctx_.view.frameHeight,
                             preferredRow, &cameraRow_, identity, &ctx_.profile);
    if (cameraRow_ >= 0) cameraIdentity_ = CameraIdentity(ctx_.settings.devices[cameraRow_]);
    if (result == kCaptureNoCamera) {
        noCameraFound();
        return;
    }
    ctx_.settings.ClampCrop(ctx_.view, 0.9);
    buildContextMenu();
    tools_.NewOverlay(ctx_.view, pipe_);
    if (result < 0) {
        ctx_.view.statusText = "카메라를 열 수 없습니다";
        ctx_.view.statusUntil = nowSeconds() + 5.0;
        return;
    }
    // The pipeline starts now; its first picture (cameraStarted) or a failed start
    // (captureFailed) follows.
    startPending_ = true;
    lookingForAnyCamera_ = false;
    reconnectTimer_.stop();
    if (!fittedToCamera_ && windowed == 1) {
        // The window takes the shape of the picture the camera really delivers.
        fittedToCamera_ = true;
        fitWindowToVideo();
    } else {
        updateMinimumSize();
    }
}

void CvistDlg::noCameraFound() {
    if (unattended()) {
        // Nobody is there to read a box or plug a camera in: say so and end with a failure.
        std::fprintf(stderr, "vistrela: no camera found (카메라가 없습니다)\n");
        exitStatus_ = 1;
        QTimer::singleShot(0, this, [this] { close(); });
        return;
    }
    // The menu works meanwhile, with an empty camera list; the first camera that appears is
    // opened; the notice is shown once, while looking.
    cameraRow_ = -1;
    buildContextMenu();
    reconnectTimer_.start();
    if (lookingForAnyCamera_) return;
    lookingForAnyCamera_ = true;
    ShowNotice(*ctx_.prompts, "%s", kNoCameraNotice);
}

bool CvistDlg::unattended() const {
    return IsUnattended(ctx_.commandLine);
}

void CvistDlg::toggleFreeze() {
    freeze_.Toggle();
}

void CvistDlg::CloseCamera() {
    // A recording goes on over a camera switch or loss, holding the last picture meanwhile.
    if (recording_ != nullptr) recording_->CameraAway();
    // Another camera, or this one again, shows its live picture.
    freeze_.Release();
    ctx_.capture.Close();
    ResetFrameRate(pipe_);
    videoStatic->clearFrame();
}

void CvistDlg::cameraStarted() {
    startPending_ = false;
    cameraLost_ = false;
    reconnectTimer_.setInterval(kReconnectIntervalMs);
}

void CvistDlg::captureFailed(const std::string& reason) {
    CloseCamera();
    if (startPending_) {
        // No picture ever came: a failed open, tried again later and later.
        startPending_ = false;
        ctx_.view.statusText = "카메라를 열 수 없습니다";
        ctx_.view.statusUntil = nowSeconds() + 5.0;
        std::fprintf(stderr, "vistrela: camera did not start: %s\n", reason.c_str());
        reconnectTimer_.setInterval(
            std::min(reconnectTimer_.interval() * 2, kReconnectMaxIntervalMs));
        reconnectTimer_.start();
        return;
    }
    if (!cameraLost_) {
        cameraLost_ = true;
        // Said once, in the title, for a while; the window stays usable.
        ctx_.view.statusText = "카메라 연결이 끊어졌습니다";
        ctx_.view.statusUntil = nowSeconds() + 10.0;
        std::fprintf(stderr, "vistrela: camera stopped: %s\n", reason.c_str());
    }
    reconnectTimer_.start();
}

void CvistDlg::checkCameraBack() {
    if (ctx_.capture.isOpen()) {
        reconnectTimer_.stop();
        return;
    }
    // Only reopen when the camera we lost is listed again (found by its identity, wherever it
    // is plugged in now); no notice while looking.
    DeviceTable probe;
    int count = 0;
    ctx_.capture.EnumerateDevices(probe, count);
    if (count < 1) return;
    // While recording, another camera takes the lost one's place: the lesson goes on.
    if (!lookingForAnyCamera_ && !recording_->recording() &&
        FindCameraAgain(probe, count, cameraIdentity_, ctx_.settings.cameraName) < 0)
        return;
    OpenCamera(-1, cameraIdentity_);
    if (!ctx_.capture.isOpen())
        reconnectTimer_.setInterval(
            std::min(reconnectTimer_.interval() * 2, kReconnectMaxIntervalMs));
}

void CvistDlg::onMenuCommand(int id) {
    const MenuCommand command = classifyMenuCommand(
        id, std::span<const DeviceEntry>(ctx_.settings.devices.data(), ctx_.settings.deviceCount),
        cameraRow_);
    switch (command.action) {
        case MenuAction::TogglePanel:
            togglePanel();
            break;
        case MenuAction::ResetZoom:
            ZoomReset(ctx_.view);
            break;
        case MenuAction::ResetPan:
            PanReset(ctx_.view);
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
        case MenuAction::Undo:
            onCommand(cmd::Undo);
            break;
        case MenuAction::Redo:
            onCommand(cmd::Redo);
            break;
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
            if (!ctx_.capture.isOpen()) OpenCamera(cameraRow_, cameraIdentity_);
            break;
        case MenuAction::Freeze:
            toggleFreeze();
            break;
        case MenuAction::Options:
            onCommand(cmd::Options);
            break;
        case MenuAction::MonitorFullScreen:
            fullScreenOn(command.monitorIndex);
            break;
        case MenuAction::Ignored:
            break;
    }
}

void CvistDlg::showCameraSettings() {
    if (cameraRow_ < 0 || cameraRow_ >= ctx_.settings.deviceCount) return;
    const std::shared_ptr<void> moniker = ctx_.settings.devices[cameraRow_].moniker;
    if (!moniker) return;
    ShowPropertyPages(moniker, this, CameraIdentity(ctx_.settings.devices[cameraRow_]),
                      &ctx_.profile);
}

void CvistDlg::closeRequest() {
    // A running recording is stopped and joined first (closeEvent).
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
    if (holdCloseForRecording()) {
        // The window closes once the movie is joined; the processing box shows meanwhile.
        event->ignore();
        return;
    }
    closing_ = true;
    if (ctx_.commandLine.autoRecordSeconds > 0 && !autoRecordStarted_ && exitStatus_ == 0) {
        std::fprintf(stderr, "vistrela: closed before the first picture; nothing recorded\n");
        exitStatus_ = 1;
    }
    if (externalReply_) {
        PictureReply reply = std::move(externalReply_);
        externalReply_ = nullptr;
        reply(false, "the viewer was closed");
    }
    contextMenu.reset();
    if (titleTimerId_ != 0) killTimer(titleTimerId_);
    titleTimerId_ = 0;
    reconnectTimer_.stop();
    CloseCamera();
    event->accept();
    done(QDialog::Accepted);
}

void CvistDlg::stopTitleTimer() {
    if (titleTimerId_ != 0) killTimer(titleTimerId_);
    titleTimerId_ = 0;
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
    in.recording = recording_ != nullptr && recording_->recording();
    if (in.recording) in.recordingSeconds = recording_->elapsedSeconds();
    in.frameWidth = ctx_.view.frameWidth;
    in.frameHeight = ctx_.view.frameHeight;
    in.videoWidth = videoStatic->width();
    in.videoHeight = videoStatic->height();
    in.fps = pipe_.fps;
    in.rotation = ctx_.view.rotation;
    in.zoom = ctx_.view.zoom;
    in.statusText = ctx_.view.statusText;
    in.showStatus = nowSeconds() < ctx_.view.statusUntil;
    in.frozen = freeze_.Frozen();
    if (ctx_.commandLine.oneShotCapture != 0 && !in.showStatus) {
        // While the one-shot run waits for its picture, the title says where it will go.
        in.statusText = "저장후종료 " + ctx_.commandLine.commandLineName;
        in.showStatus = true;
    }
    setWindowTitle(QString::fromStdString(ComposeTitle(in)));
    showNotice();
}

void CvistDlg::bringToFront() {
    // Back to the state the window had before it was minimised: full screen stays full
    // screen, so the panel's layout buttons and F11 keep telling the truth.
    if (isMinimized())
        setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowFullScreen)) |
                       (windowed == 0 ? Qt::WindowFullScreen : Qt::WindowNoState));
    show();
    raise();
    activateWindow();
}

}  // namespace vistrela
