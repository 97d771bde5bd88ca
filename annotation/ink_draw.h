#pragma once
// Ink on the overlay: bands of a given width, and the shapes (straight line, arrow, rectangle,
// ellipse) as bands. Coordinates are the
// overlay's drawing coordinates (x from the left, y from the BOTTOM); everything off the
// overlay is dropped. No window code; user-interface thread.

#include <vector>

#include "annotation/draw_mode.h"
#include "annotation/overlay_history.h"
#include "viewer/geometry.h"
#include "viewer/image.h"

namespace vistrela {

struct InkSegment {
    PicturePoint from;
    PicturePoint to;
};

// The one-pixel lines that make a band `width` pixels thick from `from` to `to`: `width` lines
// shifted up and down (offsets -width/2 .. width - width/2 - 1), then as many shifted left and
// right. At width 6 these are the design's pen band (offsets -3 .. +2).
template <typename Line>
void ForBandLines(InkSegment s, int width, Line line) {
    const int low = -(width / 2), high = width - width / 2 - 1;
    for (int k = low; k <= high; ++k) line(s.from.x, s.to.x, s.from.y + k, s.to.y + k);
    for (int k = low; k <= high; ++k) line(s.from.x + k, s.to.x + k, s.from.y, s.to.y);
}

// Draws the band of `s` with the overlay pixel `pixel`; with `overInk` false, opaque ink
// already there stays (the highlighter goes under the pen's ink).
void DrawInkSegment(CxImage& overlay, InkSegment s, int width, std::uint32_t pixel,
                    bool overInk = true);

// The overlay rectangle (rows from the top, as OverlayHistory takes it) the bands of
// `segments` may draw into.
OverlayRect InkSegmentsRect(const CxImage& overlay, const std::vector<InkSegment>& segments,
                            int width);

// The segments of a figure dragged from `from` to `to`: a straight line for the pen, an arrow
// with its head at `to` (head size growing with `width`), the rectangle with these corners, or
// the ellipse inside it (as a closed polygon).
std::vector<InkSegment> ShapeSegments(DrawMode shape, PicturePoint from, PicturePoint to,
                                      int width);

}  // namespace vistrela
