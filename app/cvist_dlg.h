#pragma once
// The main window: the live picture on the left, the button panel on the right. It owns the
// window state and wires the core together (frame pipeline, view controls, settings, still
// capture, camera); the algorithms live in the core. Everything runs on the UI thread.
//
// Split by responsibility: cvist_dlg.cpp (start-up, camera, menu commands, teardown, title),
// cvist_dlg_commands.cpp (the command table and its dispatch), cvist_dlg_options.cpp (the
// options command and the remembered choices), cvist_dlg_frame.cpp (frames,
// freeze and pictures), cvist_dlg_input.cpp (keys, wheel, mouse), cvist_dlg_layout.cpp (panel,
// sizing, full screen, monitors, text window), cvist_dlg_menu.cpp (the context menu),
// cvist_dlg_help.cpp (web page, about box), cvist_dlg_recording.cpp (recording).

#include <QDialog>
#include <QRect>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "annotation/annotation_text.h"
#include "annotation/annotation_tools.h"
#include "app/app_context.h"
#include "app/commands.h"
#include "capture/media/frame_receiver.h"
#include "controls/menu_model.h"
#include "controls/panel_buttons.h"
#include "settings/remembered_choices.h"
#include "viewer/frame_freeze.h"
#include "viewer/image.h"
#include "viewer/pipeline.h"
#include "viewer/view_controls.h"

namespace vistrela {

class CGdipButton;
class CMenuXP;
class RecordingControl;
class CTextEditDlg;
class InkPalette;
class VideoWidget;

class CvistDlg : public QDialog, public FrameReceiver {
    Q_OBJECT
public:
    // `context` (not owned) must outlive the dialog.
    explicit CvistDlg(AppContext& context);
    ~CvistDlg() override;

    // Restores and raises the window (a second start of the program asks for this).
    void bringToFront();
    // A one-shot run of a second start: the next picture goes to `path` (the window stays
    // open) and `reply` learns whether it was written. Refused at once while no camera runs
    // or another such picture is pending.
    using PictureReply = std::function<void(bool ok, const std::string& message)>;
    void captureInto(const std::string& path, PictureReply reply);
    // The process exit status once the dialog has ended: 0, or 1 when a one-shot picture
    // could not be written.
    int exitStatus() const { return exitStatus_; }

    // Commands by id (app/commands.h): panel buttons, hidden controls and the program's own
    // keys; the context menu's ids 10 to 60 go on to onMenuCommand.
    void onCommand(int id);
    void onMenuCommand(int id);
    // Window-menu commands (the about box, 0x0010).
    void onSysCommand(int id);
    // The ink commands (annotation/ink_commands.h); the ink chosen is remembered.
    void runInkCommand(int id);
    // The pen button: the pen (the ink tool in force), or the ink palette when it is chosen.
    void penButton();
    InkPalette* inkPalette() const { return inkPalette_; }

    // Opens the camera of `preferredRow` when that row still carries the chosen name, else the
    // camera the name rules pick; a camera looked for again by its `identity` wins over both.
    void OpenCamera(int preferredRow = -1, const std::string& identity = {});
    void CloseCamera();

    // FrameReceiver (capture pipeline, UI thread).
    void frameReady(const FrameView& frame) override;
    void captureFailed(const std::string& reason) override;

    // For tests: the state the window shows.
    const PipelineState& pipelineState() const { return pipe_; }
    const AnnotationTools& annotationTools() const { return tools_; }
    const CxImage& processedFrame() const { return frameImage; }
    bool cameraOpen() const;
    int panelWidthNow() const { return panelWidth; }
    bool pictureFrozen() const { return freeze_.Frozen(); }
    AppContext& context() { return ctx_; }
    const MenuModel& menuModel() const { return menuModel_; }
    // Frames painted since the dialog was built (skipped, incomplete frames not counted).
    int framesProcessed() const { return framesProcessed_; }
    // The text window, or null before it was first opened.
    CTextEditDlg* textWindow() const { return textDialog; }

    // Opens the text window (creating it the first time) and places it over the video area.
    void ShowTextWindow();

    // The recording (record and stop buttons, the join, leftovers of a crash).
    RecordingControl& recordingControl() { return *recording_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void reject() override;

private:
    friend std::span<const CommandEntry> commandTable();

    void runCommand(const CommandEntry& entry);
    void stopTitleTimer();
    // Full screen (true) or windowed (false); nothing when the window is already so.
    void setFullScreen(bool on);
    void OnInitDialog();
    // Space and "화면 정지": holds the picture, or returns to the live one.
    void toggleFreeze();
    void closeRequest();
    // Escape: the first of closing the text window, ending a stroke, closing the program.
    void escapeKey();
    void updateTitle();

    // Frames and pictures (cvist_dlg_frame.cpp).
    void saveStill();
    // Hands the view's notice, as it stands now, to the video area; a click dismisses it.
    void showNotice();
    void dismissNotice();
    // The part of the video area the picture is fitted into.
    VideoArea pictureArea() const;
    // Copies the text window's text and place (video-area pixels) into textStep_.
    void readTextWindow();
    // Closes the undo step a text burn opened (if one did).
    void finishTextBurn();
    void checkCameraBack();
    // The first picture of an opened camera: the camera counts as running.
    void cameraStarted();
    // No camera at all: an unattended run ends with a failure; otherwise the notice, and the
    // first camera that appears is opened.
    void noCameraFound();
    // A run nobody watches (--auto-capture): never waits for a click.
    bool unattended() const;

    // Layout (cvist_dlg_layout.cpp).
    void createPanel();
    // The ink palette and the pen button's mark and right click (cvist_dlg_input.cpp).
    void setUpInk();
    void layoutControls();
    // Keeps the open text window over the video area (part of the layout).
    void placeTextWindow();
    void fitWindowToVideo();
    // Fits again once the window manager's frame is known (see fitWindowToVideo).
    void refitOnceFramed();
    // Windowed and neither minimised, maximised nor full screen.
    bool plainWindow() const;
    // The window cannot be dragged smaller than the camera picture (capped to the screen).
    void updateMinimumSize();
    // Moves a plain window whose frame reaches past its screen's available area back onto it.
    void keepOnScreen();
    void toggleFullScreen();
    // Full screen on monitor `monitor` (the toolkit's screen order, from 0).
    void fullScreenOn(int monitor);
    void togglePanel();
    void halfTurn(bool on);
    void buildContextMenu();
    // Lists the cameras present now into the settings and the menu model.
    void refreshCameraList();
    void popupContextMenu();
    void openWebPage();
    void showAbout();
    void refreshPanelImages();
    // Images and tooltip of the collapse strip for the current panel state.
    void applyStripLook();

    // Recording (cvist_dlg_recording.cpp).
    void setUpRecording();
    void startRecording();
    void stopRecording();
    // The recording step of the frame handler (`captureNs`: the frame's capture time), and the
    // start of an unattended recording.
    void recordFrame(std::int64_t captureNs);
    void recordingIdleChanged();
    // Closing waits for the movie: a running recording is stopped and joined first.
    bool holdCloseForRecording();

    // Commands that act on the camera.
    // Ctrl+, and the menu's "옵션...": closes the camera, reloads the settings, runs the options
    // dialog and opens the camera again (cvist_dlg_options.cpp).
    void optionsCommand();
    // Puts the remembered choices (when the user asked for them) into the settings and the
    // requested size, and the remembered ink into the tools, and returns the choices; nothing
    // when remembering is off.
    std::optional<RememberedChoices> applyRememberedChoices();
    void showCameraSettings();

    AppContext& ctx_;

    // Frame pipeline state and pictures.
    FrameFreeze freeze_;
    CxImage frameImage;
    PipelineState pipe_;
    VideoWidget* videoStatic = nullptr;
    // The text window (child widget, owned by Qt's parent chain) and the pipeline step that
    // draws its text while it is open.
    CTextEditDlg* textDialog = nullptr;
    TextAnnotationStep textStep_;
    QRect shownPart_;  // the part of frameImage on screen (zoom and pan), for the recording
    std::int64_t frameCaptureNs_ = 0;  // when the camera captured frameImage (steady clock)

    // Window state.
    int panelWidth = kPanelShownWidth;  // width reserved for the panel: 165 shown, 30 collapsed
    int windowed = 0;
    int halfTurn_ = 0;
    int startTime = 0;
    int windowWidth = 0;
    int windowHeight = 0;
    QRect windowedRect;
    bool fittedToCamera_ = false;
    bool refitForFrame_ = false;  // the last fit counted no frame: fit again once framed
    QTimer frameWatch_;           // looks for the frame after such a fit
    int frameWatchTicks_ = 0;

    // Right-button pan; the left button's pen and eraser with the drawing's undo history.
    PanDrag panDrag_;
    AnnotationTools tools_;
    InkPalette* inkPalette_ = nullptr;  // owned by Qt's parent chain

    // Panel and menu.
    std::array<CGdipButton*, 18> buttons_{};
    CGdipButton* button(int id) const;
    std::unique_ptr<CMenuXP> contextMenu;
    MenuModel menuModel_;

    int titleTimerId_ = 0;     // timer 123: the title, ten times a second
    QTimer reconnectTimer_;    // looks for a lost camera coming back
    bool cameraLost_ = false;  // the camera failed while running; said once
    // The camera was opened and has sent no picture yet: a failure now is a failed start.
    bool startPending_ = false;
    // There was no camera at all: the first camera that appears is opened.
    bool lookingForAnyCamera_ = false;
    // The device row of the chosen camera, -1 without one.
    int cameraRow_ = -1;
    // CameraIdentity of the camera last chosen, kept while it is lost so that it is found
    // again wherever it comes back.
    std::string cameraIdentity_;
    int autoCaptureTimerId_ = 0;  // --auto-capture
    std::unique_ptr<RecordingControl> recording_;
    bool autoRecordStarted_ = false;
    bool closeAfterJoin_ = false;  // a close waits for the movie's join
    int exitStatus_ = 0;
    int framesProcessed_ = 0;
    bool closing_ = false;
    bool textBurnOpen_ = false;  // a text burn's undo step is open
    // The picture a second start asked for, until it is written.
    std::string externalPath_;
    PictureReply externalReply_;
};

}  // namespace vistrela
