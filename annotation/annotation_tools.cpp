#include "annotation/annotation_tools.h"

#include <algorithm>

#include "viewer/view_controls.h"

namespace vistrela {

namespace {

// Where DrawPenSegment may draw: offsets -3 .. +2 around both ends, across and along.
OverlayRect PenSegmentRect(const CxImage& overlay, PicturePoint from, PicturePoint to) {
    return DrawingRect(overlay.GetHeight(), std::min(from.x, to.x) - 3, std::min(from.y, to.y) - 3,
                       std::max(from.x, to.x) + 2, std::max(from.y, to.y) + 2);
}

// Where EraseBlock clears: columns c - 20 .. c + 20, rows d - 20 .. d + 19.
OverlayRect EraseBlockRect(const CxImage& overlay, PicturePoint at) {
    return DrawingRect(overlay.GetHeight(), at.x - 20, at.y - 20, at.x + 20, at.y + 19);
}

// The rows and columns holding ink: outside them a clear changes nothing.
OverlayRect InkRect(const CxImage& overlay) {
    OverlayRect ink;
    int x0 = overlay.GetWidth(), x1 = 0, y0 = -1, y1 = -1;
    for (int y = 0; y < overlay.GetHeight(); ++y) {
        const CxImage::Span s = overlay.InkSpan(y);
        if (s.begin >= s.end) continue;
        x0 = std::min(x0, s.begin);
        x1 = std::max(x1, s.end);
        if (y0 < 0) y0 = y;
        y1 = y + 1;
    }
    if (y0 >= 0) ink = {x0, y0, x1 - x0, y1 - y0};
    return ink;
}

}  // namespace

int OverlayTurns(const ViewState& view, const PipelineState& state) {
    return (view.rotation / 90 + (state.flipRows ? 2 : 0)) % 4;
}

void AnnotationTools::Press(ViewState& view, PipelineState& state, VideoArea area, int x, int y) {
    if (x < 0 || y < 0 || x >= area.width || y >= area.height || strokeActive_) return;
    strokeActive_ = true;
    if (state.drawMode != DRAW_ERASE) state.drawMode = DRAW_PEN;
    strokeLast_ = PointerToFrame(view, area, x, y);
    strokeTurns_ = OverlayTurns(view, state);
    view.markerX = strokeLast_.x;
    view.markerY = strokeLast_.y;
    history_.BeginStep(state.overlayImage, strokeTurns_);
}

void AnnotationTools::Move(ViewState& view, PipelineState& state, VideoArea area, int x, int y,
                           bool leftHeld) {
    if (ToolActive(state.drawMode)) {
        const PicturePoint at = PointerToFrame(view, area, x, y);
        view.markerX = at.x;
        view.markerY = at.y;
    }
    if (strokeActive_ && !leftHeld) Release(view, state);
    if (!strokeActive_) return;
    const PicturePoint at{view.markerX, view.markerY};
    CxImage& overlay = state.overlayImage;
    const int turns = OverlayTurns(view, state);
    if (turns != strokeTurns_) {
        // The picture turned during the drag: the last point lies elsewhere now, and a
        // segment from it would cut across the picture. The stroke goes on from here.
        strokeTurns_ = turns;
        strokeLast_ = at;
        return;
    }
    if (state.drawMode == DRAW_PEN) {
        history_.Touch(overlay, turns, PenSegmentRect(overlay, strokeLast_, at));
        DrawPenSegment(overlay, strokeLast_.x, strokeLast_.y, at.x, at.y);
    } else if (state.drawMode == DRAW_ERASE) {
        history_.Touch(overlay, turns, EraseBlockRect(overlay, at));
        EraseBlock(overlay, at.x, at.y);
    }
    strokeLast_ = at;
}

void AnnotationTools::Release(const ViewState& view, PipelineState& state) {
    if (!strokeActive_) return;
    strokeActive_ = false;
    history_.EndStep(state.overlayImage, OverlayTurns(view, state));
}

void AnnotationTools::NewOverlay(const ViewState& view, PipelineState& state) {
    // The drawing that goes is kept as the undo step of its clearing, stretched to the new
    // size, so that Ctrl+Z brings it back over the new camera's picture.
    CxImage previous;
    if (!InkRect(state.overlayImage).empty()) previous = state.overlayImage;
    CreateOverlay(state.overlayImage, view);
    history_.Clear();
    if (previous.IsValid() && state.overlayImage.IsValid()) {
        CopyInkScaled(previous, state.overlayImage);
        BeginChange(view, state, InkRect(state.overlayImage));
        state.overlayImage.Clear(0);
        EndChange(view, state);
    } else if (strokeActive_) {
        history_.BeginStep(state.overlayImage, OverlayTurns(view, state));
    }
}

void AnnotationTools::Reset(ViewState& view, PipelineState& state) {
    BeginChange(view, state, InkRect(state.overlayImage));
    ViewReset(view, state);
    EndChange(view, state);
}

void AnnotationTools::BeginChange(const ViewState& view, const PipelineState& state) {
    BeginChange(view, state, {0, 0, state.overlayImage.GetWidth(), state.overlayImage.GetHeight()});
}

void AnnotationTools::BeginChange(const ViewState& view, const PipelineState& state,
                                  OverlayRect area) {
    const int turns = OverlayTurns(view, state);
    // BeginStep ends the stroke's step so far; the rest of the stroke is a step of its own.
    history_.BeginStep(state.overlayImage, turns);
    history_.Touch(state.overlayImage, turns, area);
}

void AnnotationTools::EndChange(const ViewState& view, const PipelineState& state) {
    const int turns = OverlayTurns(view, state);
    history_.EndStep(state.overlayImage, turns);
    if (strokeActive_) history_.BeginStep(state.overlayImage, turns);
}

bool AnnotationTools::Undo(const ViewState& view, PipelineState& state) {
    Release(view, state);
    return history_.Undo(state.overlayImage, OverlayTurns(view, state));
}

bool AnnotationTools::Redo(const ViewState& view, PipelineState& state) {
    Release(view, state);
    return history_.Redo(state.overlayImage, OverlayTurns(view, state));
}

}  // namespace vistrela
