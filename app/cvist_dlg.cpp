#include "app/cvist_dlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QTimer>
#include <QTimerEvent>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "annotation/overlay.h"
#include "app/video_widget.h"
#include "capture/camera_controls.h"
#include "capture/device_table.h"
#include "capture/media/capture_device.h"
#include "capture/media/capture_graph.h"
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

CvistDlg::CvistDlg(AppContext& context)
    : QDialog(nullptr),
      ctx_(context),
      stills_(context.commandLine.oneShotCapture != 0, context.oneShotPath),
      placement_(*this, context.view, panelWidth, [this] { layoutControls(); }) {
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
    text_ = std::make_unique<TextTool>(
        *this, *videoStatic, ctx_.view, pipe_, tools_, [this] { return pictureArea(); },
        // The keyboard goes back to the main window's commands.
        [this] { setFocus(); });
    createPanel();

    reconnectTimer_.setInterval(session_.retryIntervalMs());
    connect(&reconnectTimer_, &QTimer::timeout, this, [this] { checkCameraBack(); });

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
        setWindowTitle(tr("%1 저장후종료 %2")
                           .arg(QString::fromUtf8(kProductTitle),
                                QString::fromStdString(ctx_.commandLine.commandLineName)));
    }
    // Load, desktop folder, defaults again (only the camera name and device count survive
    // from the file), zoom limit 8.
    ctx_.ini.SetPathName(IniPath().c_str());
    ctx_.desktopPath = DesktopFolder();
    ctx_.settings = StartupSettings(ctx_.ini, ctx_.desktopPath, ctx_.view);
    // What the user asked to be remembered goes on top of the standard start-up.
    const std::optional<RememberedChoices> remembered = applyRememberedChoices();
    // The one-shot flag stays armed: the next requested picture goes to the one-shot path.

    placement_.start();

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
        QTimer::singleShot(ctx_.commandLine.autoCaptureSeconds * 1000, this,
                           [this] { runCommand(Command::SavePicture); });
}

void CvistDlg::OpenCamera(int preferredRow, const std::string& identity) {
    ctx_.capture.SetWindow(this);
    ResetFrameRate(pipe_);
    const int result =
        vistrela::OpenCamera(ctx_.capture, ctx_.settings.devices, ctx_.settings.deviceCount,
                             ctx_.settings.cameraName, ctx_.view.frameWidth, ctx_.view.frameHeight,
                             preferredRow, &session_.cameraRow, identity, &ctx_.profile);
    if (session_.cameraRow >= 0)
        session_.cameraIdentity = CameraIdentity(ctx_.settings.devices[session_.cameraRow]);
    if (result == kCaptureNoCamera) {
        noCameraFound();
        return;
    }
    ctx_.settings.ClampCrop(ctx_.view, 0.9);
    buildContextMenu();
    tools_.NewOverlay(ctx_.view, pipe_);
    if (result < 0) {
        ctx_.view.statusText = tr("카메라를 열 수 없습니다").toStdString();
        ctx_.view.statusUntil = nowSeconds() + 5.0;
        return;
    }
    // The pipeline starts now; its first picture (cameraStarted) or a failed start
    // (captureFailed) follows.
    session_.opened();
    reconnectTimer_.stop();
    placement_.cameraOpened();
}

void CvistDlg::noCameraFound() {
    if (unattended()) {
        // Nobody is there to read a box or plug a camera in: say so and end with a failure.
        SayOnStderr(tr("카메라가 없습니다"));
        stills_.setExitStatus(1);
        QTimer::singleShot(0, this, [this] { close(); });
        return;
    }
    // The menu works meanwhile, with an empty camera list; the first camera that appears is
    // opened; the notice is shown once, while looking.
    session_.cameraRow = -1;
    buildContextMenu();
    reconnectTimer_.start();
    if (session_.noCamera())
        ShowNotice(*ctx_.prompts, "%s",
                   qPrintable(QCoreApplication::translate("Camera", kNoCameraNotice)));
}

bool CvistDlg::unattended() const {
    return IsUnattended(ctx_.commandLine);
}

void CvistDlg::toggleFreeze() {
    lessons_.Freeze().Toggle();
}

void CvistDlg::CloseCamera() {
    // A recording goes on over a camera switch or loss, holding the last picture meanwhile.
    if (recording_ != nullptr) recording_->CameraAway();
    // Another camera, or this one again, shows its live picture.
    lessons_.Freeze().Release();
    ctx_.capture.Close();
    ResetFrameRate(pipe_);
    videoStatic->clearFrame();
}

void CvistDlg::cameraStarted() {
    session_.firstPicture();
    reconnectTimer_.setInterval(session_.retryIntervalMs());
}

void CvistDlg::captureFailed(const std::string& reason) {
    CloseCamera();
    switch (session_.failed()) {
        case CameraFailure::FailedStart:
            ctx_.view.statusText = tr("카메라를 열 수 없습니다").toStdString();
            ctx_.view.statusUntil = nowSeconds() + 5.0;
            SayOnStderr(tr("카메라가 시작되지 않았습니다: %1").arg(QString::fromStdString(reason)));
            break;
        case CameraFailure::Lost:
            // Said once, in the title, for a while; the window stays usable.
            ctx_.view.statusText = tr("카메라 연결이 끊어졌습니다").toStdString();
            ctx_.view.statusUntil = nowSeconds() + 10.0;
            SayOnStderr(tr("카메라가 멈췄습니다: %1").arg(QString::fromStdString(reason)));
            break;
        case CameraFailure::StillAway:
            break;
    }
    reconnectTimer_.setInterval(session_.retryIntervalMs());
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
    if (!session_.anyCameraWillDo() && !recording_->recording() &&
        FindCameraAgain(probe, count, session_.cameraIdentity, ctx_.settings.cameraName) < 0)
        return;
    OpenCamera(-1, session_.cameraIdentity);
    if (!ctx_.capture.isOpen()) {
        session_.attemptFailed();
        reconnectTimer_.setInterval(session_.retryIntervalMs());
    }
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
    if (ctx_.commandLine.autoRecordSeconds > 0 && !autoRecordStarted_ &&
        stills_.exitStatus() == 0) {
        SayOnStderr(tr("첫 화면이 오기 전에 닫혀 녹화하지 않았습니다"));
        stills_.setExitStatus(1);
    }
    stills_.windowClosing();
    contextMenu.reset();
    if (titleTimerId_ != 0) killTimer(titleTimerId_);
    titleTimerId_ = 0;
    reconnectTimer_.stop();
    CloseCamera();
    event->accept();
    done(QDialog::Accepted);
}

void CvistDlg::timerEvent(QTimerEvent* event) {
    if (event->timerId() == titleTimerId_) updateTitle();
    QDialog::timerEvent(event);
}

void CvistDlg::updateTitle() {
    TitleInputs in;
    in.recording = recording_ != nullptr && recording_->recording();
    if (in.recording) recording_->fillTitle(in);
    in.frameWidth = ctx_.view.frameWidth;
    in.frameHeight = ctx_.view.frameHeight;
    in.videoWidth = videoStatic->width();
    in.videoHeight = videoStatic->height();
    in.fps = pipe_.fps;
    in.rotation = ctx_.view.rotation;
    in.zoom = ctx_.view.zoom;
    in.statusText = ctx_.view.statusText;
    in.showStatus = nowSeconds() < ctx_.view.statusUntil;
    in.frozen = lessons_.Freeze().Frozen();
    if (ctx_.commandLine.oneShotCapture != 0 && !in.showStatus) {
        // While the one-shot run waits for its picture, the title says where it will go.
        in.statusText = tr("저장후종료 %1")
                            .arg(QString::fromStdString(ctx_.commandLine.commandLineName))
                            .toStdString();
        in.showStatus = true;
    }
    setWindowTitle(QString::fromStdString(ComposeTitle(in)));
    showNotice();
}

void CvistDlg::bringToFront() {
    // Back to the state the window had before it was minimised: full screen stays full
    // screen, so the panel's layout buttons and F11 keep telling the truth.
    if (isMinimized()) setWindowState(placement_.restoredState(windowState()));
    show();
    raise();
    activateWindow();
}

}  // namespace vistrela
