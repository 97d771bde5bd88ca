#pragma once
// The pen and the eraser of the left mouse button, and the undo history of the overlay. The
// main window feeds in the left button's press, move and release (video-area pixels) and the
// commands that change the overlay; this unit keeps the stroke in progress, maps the pointer
// onto the overlay and records every change as one undo step. The tool state `drawMode` and
// the overlay stay in PipelineState and the marker in ViewState, where the frame pipeline
// reads them. No window code; user-interface thread only.
//
// Steps: one pen, highlighter, eraser or shape stroke (press to release), one change framed by
// BeginChange and EndChange (the text burn), one clear by Reset. Laser ink is never a step.
//
// The ink (colour, width, the ink tool a press picks) is an InkStyle kept here; the commands
// that change it are in ink_commands.h.

#include "annotation/ink_draw.h"
#include "annotation/ink_style.h"
#include "annotation/overlay.h"
#include "annotation/overlay_history.h"
#include "viewer/geometry.h"
#include "viewer/pipeline.h"
#include "viewer/view_state.h"

namespace vistrela {

// The overlay's orientation in quarter turns to the right. The overlay turns with every
// quarter turn and every half turn of the picture, so this changes exactly when it turned.
int OverlayTurns(const ViewState& view, const PipelineState& state);

class AnnotationTools {
public:
    // Left press at (x, y) of the video area: ignored outside the area or during a stroke;
    // otherwise the stroke starts there (with the chosen tool, or the style's ink tool when
    // none is chosen) and the marker moves there. Nothing is drawn yet. With `straight` the
    // pen draws one straight line from here to where the button is released.
    void Press(ViewState& view, PipelineState& state, VideoArea area, int x, int y,
               bool straight = false);
    // Pointer move to (x, y): the marker follows while a tool is active; during a stroke the
    // pen draws from the last point, the eraser clears its block. A move without the left
    // button held ends the stroke first: its release happened outside the window. After a
    // turn of the picture the stroke goes on from the pointer, without a segment from the
    // point it had reached before the turn.
    void Move(ViewState& view, PipelineState& state, VideoArea area, int x, int y, bool leftHeld);
    // Left release: the stroke ends and becomes one undo step (laser ink starts to fade).
    void Release(const ViewState& view, PipelineState& state);
    bool StrokeActive() const { return strokeActive_; }

    // A camera was opened: a blank overlay of the frame size, turned like the picture. The
    // history holds one step, the clearing of the drawing there was (stretched to the new
    // size), or nothing. drawMode keeps its value; a stroke in progress goes on on the new
    // overlay.
    void NewOverlay(const ViewState& view, PipelineState& state);
    // The INIT button: zoom and pan reset, blank overlay, tool off (ViewReset); the clearing
    // is one undo step.
    void Reset(ViewState& view, PipelineState& state);

    // Frames a change made by other code (the text burn) as one undo step: BeginChange before
    // drawing, EndChange after. `area` is where the change may draw (rows from the top); by
    // default the whole overlay. A stroke in progress is split around the change.
    void BeginChange(const ViewState& view, const PipelineState& state);
    void BeginChange(const ViewState& view, const PipelineState& state, OverlayRect area);
    void EndChange(const ViewState& view, const PipelineState& state);

    // Ctrl+Z and Ctrl+Y: a stroke in progress ends first and is the step taken back. False
    // when there was nothing to undo or redo.
    bool Undo(const ViewState& view, PipelineState& state);
    bool Redo(const ViewState& view, PipelineState& state);
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }

    const OverlayHistory& History() const { return history_; }

    // The ink. Choosing a colour sets the highlighter's colour while the highlighter is the
    // tool, else the pen's; with the eraser chosen it goes back to the style's ink tool.
    const InkStyle& Style() const { return style_; }
    void SetStyle(const InkStyle& style) { style_ = ValidInkStyle(style); }
    void ChooseColour(PipelineState& state, int colour);
    void NextWidth();
    // Chooses an ink tool or the eraser; an ink tool becomes the style's tool.
    void ChooseTool(PipelineState& state, DrawMode tool);

private:
    // The figure of a shape stroke (or a straight pen line) from its start to `to`, drawn over
    // the overlay as it was at the press.
    void DrawShape(CxImage& overlay, int turns, PicturePoint to);

    InkStyle style_;
    // The stroke in progress draws a figure (a shape tool, or the pen held straight): its
    // tool, the overlay as it was at the press, and where the last figure was drawn.
    DrawMode shape_ = DrawMode::None;
    PicturePoint shapeFrom_;
    CxImage shapeBase_;
    OverlayRect shapeRect_;

    bool strokeActive_ = false;
    PicturePoint strokeLast_;  // overlay point where the stroke last ended
    int strokeTurns_ = 0;      // the overlay's orientation strokeLast_ belongs to
    OverlayHistory history_;
};

}  // namespace vistrela
