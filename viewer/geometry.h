#pragma once
// Where the picture goes on screen: which part of the processed picture is shown (zoom and
// pan) and where it lands in the video area. The shown part keeps its aspect ratio; black bars
// fill the rest of the area. At 90 and 270 degrees everything works on the turned picture, so
// the whole turned picture is shown at zoom 1. When the area has the picture's shape, the
// mapping is the plain stretch of the shown part over the whole area.

#include <QRect>

#include "viewer/view_state.h"

namespace vistrela {

// The part of the window the picture is drawn in, pixels.
struct VideoArea {
    int width = 0;
    int height = 0;
};

struct FrameGeometry {
    int pictureWidth = 0;  // the processed (mirrored, turned) picture
    int pictureHeight = 0;
    // The shown part as the view state defines it, in picture pixels: `srcX` from the left,
    // `srcY` the bottom row counted from the bottom. May reach outside the picture when the
    // view state is stale; `sourceRect` never does.
    int srcX = 0;
    int srcY = 0;
    int srcWidth = 0;
    int srcHeight = 0;
    QRect sourceRect;  // the shown part, top-down picture pixels, inside the picture
    QRect destRect;    // where it is drawn, video-area pixels (aspect kept, centred)
    VideoArea area;
};

// Width and height of the picture as shown: the frame size, swapped at 90 and 270 degrees.
int ShownWidth(const ViewState& view);
int ShownHeight(const ViewState& view);

// The geometry for the view state's frame size, rotation, zoom and pan.
FrameGeometry ComputeGeometry(const ViewState& view, VideoArea area);

// A point of the picture: x from the left, y counted from the bottom.
struct PicturePoint {
    int x = 0;
    int y = 0;
    bool operator==(const PicturePoint&) const = default;
};

// Maps a video-area point (x right, y down) onto the picture through the shown part. Points
// outside the drawn rectangle map outside the shown part (no bounds test). Truncates toward
// zero, as an integer conversion of the mapped position does.
PicturePoint MapAreaToPicture(const FrameGeometry& geometry, int x, int y);

}  // namespace vistrela
