#include "viewer/view_controls.h"

#include <algorithm>

#include "annotation/overlay.h"

namespace vistrela {

bool QuarterTurn(ViewState& view, CxImage& overlay) {
    int next = 0;
    switch (view.rotation) {
        case 0:
            next = 90;
            break;
        case 90:
            next = 180;
            break;
        case 180:
            next = 270;
            break;
        case 270:
            next = 0;
            break;
        default:
            return false;
    }
    // The overlay always has the shown picture's orientation, also while nothing is drawn,
    // so that a drawing started later lines up with the picture.
    RotateOverlay(overlay);
    view.rotation = next;
    ClampPan(view);
    return true;
}

void ZoomStep(ViewState& view, int delta) {
    const double frameWidth = view.frameWidth;
    if (frameWidth <= 0) return;
    // A frame larger than the resolution setting is its own minimum, so the wheel never
    // shows more than the whole picture.
    const double minX = std::max(view.zoomMinSize, frameWidth);
    const double minY = std::max(view.zoomMinSizeY, static_cast<double>(view.frameHeight));
    if (minX <= 0) return;
    const double size = std::max(view.zoomSize, minX);
    const double sizeY = std::max(view.zoomSizeY, minY);

    double b = size + delta;
    if (delta <= 0 && (sizeY + delta < minY || size + delta < minX)) b = minX;
    const double q = frameWidth / b;
    const double limit = view.zoomLimit == 3 ? 3.0 : 8.0;
    if (1.0 / q > limit) {
        view.zoom = 1.0 / limit;
        view.zoomSize = limit * minX;
        view.zoomSizeY = limit * minY;
    } else {
        view.zoom = q;
        view.zoomSize = b;
        view.zoomSizeY = minY / q;
    }
}

void WheelZoom(ViewState& view, int wheelDelta) {
    if (wheelDelta == 0) return;
    ZoomStep(view, wheelDelta > 0 ? -50 : 50);
    ClampPan(view);
}

void ClampPan(ViewState& view) {
    const double zoom = view.zoom;
    if (zoom <= 0.0) return;
    const double w = ShownWidth(view), h = ShownHeight(view);
    const int limX = static_cast<int>(zoom * (w - w / zoom) * 0.5);
    const int limY = static_cast<int>(zoom * (h - h / zoom) * 0.5);
    if (view.panX < limX) {
        view.panX = limX;
    } else if (view.panX > -limX) {
        view.panX = -limX;
    }
    if (view.panY < limY) {
        view.panY = limY;
    } else if (view.panY > -limY) {
        view.panY = -limY;
    }
}

void PanDragDown(PanDrag& drag, const ViewState& view, int x, int y) {
    if (drag.active != 0) return;
    drag.active = 1;
    if (view.panX == 0 && view.panY == 0) {
        drag.anchorX = x;
        drag.anchorY = y;
    } else {
        drag.anchorX = x + view.panX;
        drag.anchorY = y - view.panY;
    }
}

void PanDragMove(PanDrag& drag, ViewState& view, int x, int y, bool rightButtonHeld) {
    if (drag.active == 0) return;
    if (!rightButtonHeld) {
        drag.active = 0;
        return;
    }
    view.panX = drag.anchorX - x;
    view.panY = y - drag.anchorY;
    ClampPan(view);
}

void PanDragUp(PanDrag& drag) {
    drag.active = 0;
}

void ZoomHelp(ViewState& view, double nowSec) {
    view.noticeUntil = nowSec + 3.0001;
}

void ZoomReset(ViewState& view) {
    view.zoom = 1.0;
    view.zoomSizeY = view.zoomMinSizeY;
    view.zoomSize = view.zoomMinSize;
}

void PanReset(ViewState& view) {
    view.panX = 0;
    view.panY = 0;
}

void ViewReset(ViewState& view, PipelineState& state) {
    ZoomReset(view);
    PanReset(view);
    ClearOverlay(state.overlayImage, state.drawMode);
}

bool SetHalfTurn(PipelineState& state, bool on) {
    if (state.flipRows == on && state.mirror == on) return false;
    state.flipRows = on;
    state.mirror = on;
    state.overlayImage.Mirror();
    state.overlayImage.Flip();
    return true;
}

}  // namespace vistrela
