#pragma once
// The user's controls over the view: quarter and half turns, wheel zoom, right-button pan,
// zoom help and the resets. They only change state; every effect shows with the next frame.
// User-interface thread only.

#include "viewer/pipeline.h"
#include "viewer/view_state.h"

namespace vistrela {

// Turns the picture a quarter to the right (0 -> 90 -> 180 -> 270 -> 0) and the overlay with
// it, so drawings stay over the same content; the pan is clamped to the turned picture.
// Returns false (nothing changed) for a rotation that is not one of the four.
bool QuarterTurn(ViewState& view, CxImage& overlay);

// One zoom step: `delta` -50 zooms out, +50 magnifies. The virtual size stays between its
// minimum (the resolution setting's size, or the frame's own when the frame is larger) and
// the magnification limit (3, or 8 for any other zoomLimit).
void ZoomStep(ViewState& view, int delta);
// The mouse wheel: a positive wheel delta zooms out, a negative one magnifies, 0 does
// nothing; then the pan is clamped.
void WheelZoom(ViewState& view, int wheelDelta);

// Keeps the shown part inside the picture; at zoom 1 the pan becomes 0.
void ClampPan(ViewState& view);

// The right-button drag, in video-area pixels. One pixel of pointer travel moves the pan by
// one picture pixel.
struct PanDrag {
    int active = 0;
    int anchorX = 0;
    int anchorY = 0;
};
void PanDragDown(PanDrag& drag, const ViewState& view, int x, int y);
// A move while the drag is active pans; a move without the right button held means the
// release was lost outside the window, and ends the drag without panning.
void PanDragMove(PanDrag& drag, ViewState& view, int x, int y, bool rightButtonHeld);
void PanDragUp(PanDrag& drag);

// Shows the two help lines for about 3 seconds from `nowSec`.
void ZoomHelp(ViewState& view, double nowSec);

void ZoomReset(ViewState& view);
void PanReset(ViewState& view);
// Zoom reset, pan reset, blank overlay, tool off. Rotation and half turn stay.
void ViewReset(ViewState& view, PipelineState& state);

// The half turn: `on` sets flipRows and mirror (the picture turned by 180 degrees), off clears
// both; the overlay is mirrored and flipped with it. Returns false and does nothing when the
// picture is already in that state.
bool SetHalfTurn(PipelineState& state, bool on);

}  // namespace vistrela
