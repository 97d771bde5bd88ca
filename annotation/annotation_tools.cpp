#include "annotation/annotation_tools.h"

#include <algorithm>

#include "common/clock.h"
#include "viewer/view_controls.h"

namespace vistrela {

namespace {

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

void AnnotationTools::Press(ViewState& view, PipelineState& state, VideoArea area, int x, int y,
                            bool straight) {
    if (x < 0 || y < 0 || x >= area.width || y >= area.height || strokeActive_) return;
    strokeActive_ = true;
    if (!ToolActive(state.drawMode)) state.drawMode = style_.tool;
    strokeLast_ = PointerToFrame(view, area, x, y);
    strokeTurns_ = OverlayTurns(view, state);
    view.markerX = strokeLast_.x;
    view.markerY = strokeLast_.y;
    const DrawMode tool = state.drawMode;
    if (tool == DrawMode::Laser) {
        state.laser.Begin(strokeLast_, kInkColours[static_cast<std::size_t>(style_.colour)],
                          InkWidth(style_, tool), strokeTurns_);
        return;
    }
    history_.BeginStep(state.overlayImage, strokeTurns_);
    shape_ = IsShapeTool(tool) || (tool == DrawMode::Pen && straight) ? tool : DrawMode::None;
    if (shape_ != DrawMode::None) {
        shapeFrom_ = strokeLast_;
        shapeBase_ = state.overlayImage;
        shapeRect_ = {};
    }
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
        // segment from it would cut across the picture. The stroke goes on from here; a
        // figure, whose start lay in the old orientation, ends where it was.
        if (shape_ != DrawMode::None) {
            Release(view, state);
            return;
        }
        strokeTurns_ = turns;
        strokeLast_ = at;
        return;
    }
    const DrawMode tool = state.drawMode;
    if (shape_ != DrawMode::None) {
        DrawShape(overlay, turns, at);
    } else if (tool == DrawMode::Laser) {
        state.laser.Extend(at);
    } else if (tool == DrawMode::Erase) {
        history_.Touch(overlay, turns, EraseBlockRect(overlay, at));
        EraseBlock(overlay, at.x, at.y);
    } else if (IsInkTool(tool)) {
        const InkSegment segment{strokeLast_, at};
        const int width = InkWidth(style_, tool);
        const bool highlight = tool == DrawMode::Highlight;
        history_.Touch(overlay, turns, InkSegmentsRect(overlay, {segment}, width));
        DrawInkSegment(overlay, segment, width, InkPixel(style_, tool), !highlight);
    }
    strokeLast_ = at;
}

void AnnotationTools::DrawShape(CxImage& overlay, int turns, PicturePoint to) {
    // The last figure goes (the overlay there as it was at the press), then the new one.
    const int width = InkWidth(style_, shape_);
    const std::vector<InkSegment> segments = ShapeSegments(shape_, shapeFrom_, to, width);
    const OverlayRect rect = InkSegmentsRect(overlay, segments, width);
    history_.Touch(overlay, turns, rect);
    for (int row = std::max(0, shapeRect_.y);
         row < std::min(overlay.GetHeight(), shapeRect_.y + shapeRect_.height); ++row) {
        const int x0 = std::max(0, shapeRect_.x);
        const int x1 = std::min(overlay.GetWidth(), shapeRect_.x + shapeRect_.width);
        const std::uint32_t* from = shapeBase_.ScanLine(row);
        const int y = overlay.GetHeight() - 1 - row;
        for (int x = x0; x < x1;) {
            int end = x + 1;
            while (end < x1 && from[end] == from[x]) ++end;
            overlay.DrawLineRaw(x, end - 1, y, y, from[x]);
            x = end;
        }
    }
    const std::uint32_t pixel = InkPixel(style_, shape_);
    for (const InkSegment& s : segments) DrawInkSegment(overlay, s, width, pixel);
    shapeRect_ = rect;
}

void AnnotationTools::Release(const ViewState& view, PipelineState& state) {
    if (!strokeActive_) return;
    strokeActive_ = false;
    if (state.drawMode == DrawMode::Laser && shape_ == DrawMode::None) {
        state.laser.End(nowSeconds());
        return;
    }
    shape_ = DrawMode::None;
    shapeBase_.Destroy();
    history_.EndStep(state.overlayImage, OverlayTurns(view, state));
}

void AnnotationTools::ChooseColour(PipelineState& state, int colour) {
    if (state.drawMode == DrawMode::Highlight)
        style_.highlightColour = colour;
    else
        style_.colour = colour;
    if (state.drawMode == DrawMode::Erase) state.drawMode = style_.tool;
    style_ = ValidInkStyle(style_);
}

void AnnotationTools::NextWidth() {
    style_.width = (style_.width + 1) % static_cast<int>(kInkWidths.size());
}

void AnnotationTools::ChooseTool(PipelineState& state, DrawMode tool) {
    state.drawMode = tool;
    if (IsInkTool(tool)) style_.tool = tool;
}

void AnnotationTools::NewOverlay(const ViewState& view, PipelineState& state) {
    // The drawing that goes is kept as the undo step of its clearing, stretched to the new
    // size, so that Ctrl+Z brings it back over the new camera's picture.
    CxImage previous;
    if (!InkRect(state.overlayImage).empty()) previous = state.overlayImage;
    CreateOverlay(state.overlayImage, view);
    history_.Clear();
    state.laser.Clear();
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
    state.laser.Clear();
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
