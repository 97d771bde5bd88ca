#include "viewer/geometry.h"

#include <algorithm>
#include <cmath>

namespace vistrela {

namespace {
bool Turned(const ViewState& view) {
    return view.rotation == 90 || view.rotation == 270;
}
}  // namespace

int ShownWidth(const ViewState& view) {
    return Turned(view) ? view.frameHeight : view.frameWidth;
}
int ShownHeight(const ViewState& view) {
    return Turned(view) ? view.frameWidth : view.frameHeight;
}

FrameGeometry ComputeGeometry(const ViewState& view, VideoArea area) {
    FrameGeometry g;
    g.area = area;
    g.pictureWidth = ShownWidth(view);
    g.pictureHeight = ShownHeight(view);
    const double zoom = view.zoom > 0.0 ? view.zoom : 1.0;
    g.srcWidth = static_cast<int>(g.pictureWidth * zoom);
    g.srcHeight = static_cast<int>(zoom * g.pictureHeight);
    g.srcX = (g.pictureWidth - g.srcWidth) / 2 + view.panX;
    g.srcY = (g.pictureHeight - g.srcHeight) / 2 + view.panY;

    const QRect wanted(g.srcX, g.pictureHeight - g.srcY - g.srcHeight, g.srcWidth, g.srcHeight);
    g.sourceRect = wanted.intersected(QRect(0, 0, g.pictureWidth, g.pictureHeight));

    if (g.srcWidth <= 0 || g.srcHeight <= 0 || area.width <= 0 || area.height <= 0) {
        g.destRect = QRect(0, 0, std::max(0, area.width), std::max(0, area.height));
        return g;
    }
    // Fit the shown part into the area, keeping its shape; 64-bit products cannot overflow.
    const long long across = static_cast<long long>(g.srcWidth) * area.height;
    const long long down = static_cast<long long>(g.srcHeight) * area.width;
    int w = area.width, h = area.height;
    if (across > down) {
        h = static_cast<int>(std::llround(static_cast<double>(down) / g.srcWidth));
    } else if (across < down) {
        w = static_cast<int>(std::llround(static_cast<double>(across) / g.srcHeight));
    }
    g.destRect = QRect((area.width - w) / 2, (area.height - h) / 2, std::max(1, w), std::max(1, h));
    return g;
}

PicturePoint MapAreaToPicture(const FrameGeometry& g, int x, int y) {
    const QRect& d = g.destRect;
    if (d.width() <= 0 || d.height() <= 0) return {};
    const double px = g.srcX + static_cast<double>(x - d.left()) * g.srcWidth / d.width();
    const double py =
        g.srcY + static_cast<double>(d.top() + d.height() - y) * g.srcHeight / d.height();
    return {static_cast<int>(px), static_cast<int>(py)};
}

}  // namespace vistrela
