#pragma once
// How the live picture is shown: size, rotation, zoom, pan, tool marker, the time limits of
// the two transient texts and the notice over the picture. The window owns one, read by the frame
// pipeline once per frame and changed by the view controls, the settings and the annotation tools.
// Touched on the user-interface thread only; a worker that needs view fields gets a copy.

#include <string>

#include "viewer/screen_notice.h"

namespace vistrela {

struct ViewState {
    int rotation = 0;    // degrees: 0, 90, 180 or 270
    int panX = 0;        // frame pixels added to the left edge of the shown rectangle
    int panY = 0;        // frame pixels added to the bottom edge (positive shows a higher part)
    int frameWidth = 0;  // size of the frames the camera delivers
    int frameHeight = 0;
    double zoomSize = 0.0;      // virtual width driven by the wheel, pixels
    double zoomSizeY = 0.0;     // virtual height, in proportion to zoomSize
    double zoomMinSize = 0.0;   // smallest zoomSize: width of the resolution setting
    double zoomMinSizeY = 0.0;  // smallest zoomSizeY: height of the resolution setting
    double zoom = 0.0;          // fraction of the frame shown per direction (1.0 = all of it)
    int zoomLimit = 0;          // largest magnification: 3 selects 3, anything else 8
    int markerX = 0;            // centre of the tool marker, frame pixels
    int markerY = 0;
    double noticeUntil = 0.0;  // zoom help shows while nowSeconds() is below this
    std::string statusText;    // transient message of the title line
    double statusUntil = 0.0;  // the message shows while nowSeconds() is below this
    ScreenNotice notice;       // drawn over the picture on screen only
};

}  // namespace vistrela
