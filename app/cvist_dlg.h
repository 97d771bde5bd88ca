#pragma once
// The main window: the live picture on the left, the button panel on the right. It wires the
// controllers it owns (camera session, still capture, window placement, text tool, recording,
// the command registry of app/commands.h) to the widgets and lays them out; the algorithms
// live in the core. Everything runs on the UI thread.
//
// Split by responsibility: cvist_dlg.cpp (start-up, camera, teardown, title),
// cvist_dlg_commands.cpp (the command registry and its dispatch), cvist_dlg_options.cpp (the
// options and camera settings commands, the remembered choices), cvist_dlg_frame.cpp (frames,
// freeze and pictures), cvist_dlg_input.cpp (keys, wheel, mouse), cvist_dlg_layout.cpp (panel,
// text window), cvist_dlg_menu.cpp (the context menu), cvist_dlg_help.cpp (web page, about
// box), cvist_dlg_recording.cpp (recording).

#include <QDialog>
#include <QRect>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "annotation/annotation_text.h"
#include "annotation/annotation_tools.h"
#include "annotation/ui/text_tool.h"
#include "app/app_context.h"
#include "app/commands.h"
#include "app/window_placement.h"
#include "capture/camera_session.h"
#include "capture/media/frame_receiver.h"
#include "controls/menu_model.h"
#include "controls/panel_buttons.h"
#include "settings/remembered_choices.h"
#include "stills/still_request.h"
#include "viewer/image.h"
#include "viewer/lesson_modes.h"
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
    using PictureReply = StillCapture::PictureReply;
    void captureInto(const std::string& path, PictureReply reply);
    // The process exit status once the dialog has ended: 0, or 1 when a one-shot picture
    // could not be written.
    int exitStatus() const { return stills_.exitStatus(); }
    const StillCapture& stillCapture() const { return stills_; }

    // The window's commands (app/commands.h) by the id a control sends: a panel button's, or a
    // context menu entry's (10 to 60, on to onMenuCommand).
    void onCommand(int id);
    void onMenuCommand(int id);
    void runCommand(Command command);
    // The ink commands (annotation/ink_commands.h); the ink chosen is remembered.
    void runInkCommand(int id);
    // The pen button: the pen (the ink tool in force), or the ink palette when it is chosen.
    void penButton();
    // The ink palette (a child of the window, made with the panel).
    InkPalette* inkPalette() const;

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
    bool pictureFrozen() const { return lessons_.Freeze().Frozen(); }
    AppContext& context() { return ctx_; }
    const MenuModel& menuModel() const { return menuModel_; }
    // Frames painted since the dialog was built (skipped, incomplete frames not counted).
    int framesProcessed() const { return framesProcessed_; }
    // The text window, or null before it was first opened.
    CTextEditDlg* textWindow() const { return text_->window(); }

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
    friend std::span<const CommandRow> commandRows();

    void runRow(const CommandRow& row);
    // The pen or the eraser takes the left button.
    void selectTool(DrawMode tool);
    // The next frame is saved as a picture.
    void requestStill();
    bool panelCollapsed() const { return panelWidth != kPanelShownWidth; }
    // The context menu's entries enabled and named as the commands' state says.
    void applyCommandState();
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
    // The picture pictures and movies take (the live one, or the compare board) and its
    // shown part.
    const CxImage& shownImage() const;
    QRect shownPart() const;
    // The live picture's ink, for the lesson modes' pointer handling.
    LiveInk liveInk();
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
    StillCapture stills_;
    // Freeze, compare, spotlight, curtain, blank: what the frame handler saves, records and
    // shows (Shown()) comes from here.
    LessonModes lessons_;
    CxImage frameImage;
    PipelineState pipe_;
    VideoWidget* videoStatic = nullptr;
    std::int64_t frameCaptureNs_ = 0;  // when the camera captured frameImage (steady clock)

    // Window state.
    int panelWidth = kPanelShownWidth;  // width reserved for the panel: 165 shown, 30 collapsed
    WindowPlacement placement_;
    int startTime = 0;

    // Right-button pan; the left button's pen and eraser with the drawing's undo history.
    PanDrag panDrag_;
    AnnotationTools tools_;
    std::unique_ptr<TextTool> text_;

    // Panel and menu.
    std::array<CGdipButton*, 18> buttons_{};
    CGdipButton* button(int id) const;
    std::unique_ptr<CMenuXP> contextMenu;
    MenuModel menuModel_;

    int titleTimerId_ = 0;  // timer 123: the title, ten times a second
    CameraSession session_;
    QTimer reconnectTimer_;  // the attempts to get a camera back, at the session's interval
    std::unique_ptr<RecordingControl> recording_;
    bool autoRecordStarted_ = false;
    bool closeAfterJoin_ = false;  // a close waits for the movie's join
    int framesProcessed_ = 0;
    bool closing_ = false;
};

}  // namespace vistrela
