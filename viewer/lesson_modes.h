#pragma once
// The lesson modes of the viewer: freeze, compare (viewer/compare_board.h), spotlight and
// curtain (viewer/lesson_shade.h) and the blanked screen. Each is off by default, and with all
// of them off every frame and every pointer event passes through unchanged. The window hands
// every processed frame to Finish and shows, saves and records what it returns; it offers
// every left-button event and Shift+wheel to the modes first and handles it itself only when
// they decline. No window code; user-interface thread only.

#include <QPoint>

#include "annotation/annotation_tools.h"
#include "viewer/compare_board.h"
#include "viewer/frame_freeze.h"
#include "viewer/geometry.h"
#include "viewer/lesson_shade.h"
#include "viewer/pipeline.h"
#include "viewer/view_state.h"

namespace vistrela {

// The live picture's ink, for a stroke the modes pass on to it (a stroke on the live pane).
struct LiveInk {
    AnnotationTools& tools;
    ViewState& view;
    PipelineState& pipe;
    VideoArea area;  // the part of the window the live picture is fitted into
};

class LessonModes {
public:
    FrameFreeze& Freeze() { return freeze_; }
    const FrameFreeze& Freeze() const { return freeze_; }

    // C: the next frame's picture is kept as a page and the board shows it beside the live
    // one; with every page slot taken, compare ends instead.
    void KeepPage();
    // Compare ends; the kept pages are dropped.
    void LeaveCompare();
    bool Comparing() const { return board_.Active(); }
    const CompareBoard& Board() const { return board_; }
    // PageDown (+1) and PageUp (-1): in compare, the next or previous pane alone (the grid
    // between the last and the first). False outside compare.
    bool StepPages(int direction);
    // A presenter remote's PageDown (+1) and PageUp (-1): StepPages in compare; outside it the
    // next key holds the picture and the previous one lets it go.
    void PageStep(int direction);

    void ToggleSpotlight();
    bool SpotlightOn() const { return spotlight_.on; }
    void ToggleCurtain();
    bool CurtainOn() const { return curtain_.on; }
    // B and ".": the screen black (pictures and movies go on as they were).
    void ToggleBlank() { blank_ = !blank_; }
    bool Blanked() const { return blank_; }
    // Escape: ends compare, else unblanks, else turns the spotlight off, else the curtain.
    // False when none of them was on.
    bool EscapeStep();

    struct Output {
        CxImage* image = nullptr;  // what is saved, recorded and painted
        FrameGeometry geometry;    // where it is painted
        bool live = true;          // the live processed picture: the screen marks go on it
    };
    // After the pipeline built `frameImage` (shown as `live` says): keeps a page when one was
    // asked for, builds the compare board and lays the shades over the result.
    const Output& Finish(CxImage& frameImage, const FrameGeometry& live, double nowSec);
    // The last Finish's result (image null before the first frame).
    const Output& Shown() const { return out_; }

    // The left button and Shift+wheel, video-area pixels. True when a mode took the event.
    bool Press(QPoint at, bool shift);
    bool Move(LiveInk live, QPoint at, bool leftHeld);
    bool Release(LiveInk live);
    bool Wheel(int delta, bool shift);

    // Ctrl+Z and Ctrl+Y: the page last drawn on in compare, else the live picture's ink.
    bool Undo(LiveInk live);
    bool Redo(LiveInk live);
    bool CanUndo(const AnnotationTools& live) const;
    bool CanRedo(const AnnotationTools& live) const;

private:
    enum class Drag { None, Click, LiveStroke, PageStroke, Spotlight, Curtain };
    // A video-area point as fractions of the shown picture (0..1 inside it).
    QPointF Fraction(QPoint at) const;
    // The pane under `at` and where in its picture, as CompareBoard::HitTest says; for
    // `pane` >= 0 the fractions of that pane's picture even outside it.
    CompareBoard::Hit PaneAt(QPoint at, int pane = -1) const;
    // Where `at` falls on the live picture shown alone, for the live picture's ink tools.
    QPoint OnLive(QPoint at) const;
    void StartStroke(LiveInk live);
    void StrokeTo(LiveInk live, QPoint at, bool leftHeld);
    // The spotlight's centre, or the curtain's edge, to `at`.
    void PlaceShade(QPoint at, bool spotlight);
    KeptPage* StrokePage();
    // The page Ctrl+Z and Ctrl+Y act on, or 0 for the live picture.
    int InkPage() const;
    using InkStepFn = bool (AnnotationTools::*)(const ViewState&, PipelineState&);
    bool InkStep(LiveInk live, InkStepFn step);

    FrameFreeze freeze_;
    CompareBoard board_;
    Spotlight spotlight_;
    Curtain curtain_;
    bool blank_ = false;
    bool keepPending_ = false;

    Output out_;
    FrameGeometry live_;  // the live picture's geometry at the last Finish
    Drag drag_ = Drag::None;
    QPoint pressAt_;
    QPoint pointer_{-1, -1};  // the pointer's last place in the video area
    bool straight_ = false;
    int strokePane_ = -1;                    // the pane of the stroke in progress
    int inkPane_ = CompareBoard::kLivePane;  // the pane Ctrl+Z takes back on
};

}  // namespace vistrela
