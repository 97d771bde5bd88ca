#pragma once
// The drawing overlay: one image beside the live frames, black = transparent, mixed into every
// frame after it is mirrored and turned (its kinds of ink: annotation/ink_style.h). Its coordinates
// are the image's drawing coordinates (x from the left, y from the BOTTOM) and its orientation is
// always that of the shown picture. Operations on an overlay without pixels (no camera opened yet)
// do nothing. User-interface thread only.

#include "annotation/draw_mode.h"
#include "viewer/geometry.h"
#include "viewer/image.h"
#include "viewer/view_state.h"

namespace vistrela {

inline constexpr Rgb TRANSPARENT_COLOUR{0, 0, 0};
inline constexpr Rgb PEN_COLOUR{0, 255, 34};
inline constexpr Rgb PEN_MARKER_COLOUR{95, 192, 82};
inline constexpr Rgb ERASER_MARKER_COLOUR{225, 32, 34};

// A blank overlay of the frame size, turned like the picture (height x width at 90 and 270
// degrees), transparent colour black. Earlier drawing is gone; drawMode is not touched.
void CreateOverlay(CxImage& overlay, const ViewState& view);

// The ink of `from` stretched over the whole of `to` (nearest pixel), both in the same
// orientation; rows of `from` without ink leave `to` as it was.
void CopyInkScaled(const CxImage& from, CxImage& to);

// Mixes the overlay into the frame when the drawing shows (ShowsDrawing).
void MixOverlay(CxImage& frame, const CxImage& overlay, DrawMode drawMode);

// The tool marker around (markerX, markerY) on the frame while a tool is active (ToolActive):
// a 41 x 41 box, 5 pixels thick in the pen marker colour for the ink tools, 3 pixels thick in
// the eraser marker colour for the eraser.
void DrawPointerMarker(CxImage& frame, DrawMode drawMode, int markerX, int markerY);

// Blanks the overlay; an active tool is switched off to DrawMode::Show.
void ClearOverlay(CxImage& overlay, DrawMode& drawMode);

// Turns the overlay a quarter turn right, with the picture.
void RotateOverlay(CxImage& overlay);

// The pen band from (a, b) to (c, d): 6 pixels thick (offsets -3..+2) across and along.
void DrawPenSegment(CxImage& overlay, int a, int b, int c, int d);

// The eraser block around (c, d): columns c - 20 .. c + 20, rows d - 20 .. d + 19, cut at the
// overlay's edges.
void EraseBlock(CxImage& overlay, int c, int d);

// A video-area point (x right, y down) on the overlay (y from the bottom), through the shown
// part of the picture. No bounds test: points off the picture map off the overlay.
PicturePoint PointerToFrame(const ViewState& view, VideoArea area, int x, int y);

}  // namespace vistrela
