#include "viewer/lesson_shade.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vistrela {

namespace {

// About a fifth of each channel (3/16), fourth byte kept opaque; shifts and masks only, so the
// loop runs at memory speed. For one pixel or a vector of them.
template <class Pixels>
inline Pixels Darken(Pixels p) {
    return (((p >> 3) & 0x001f1f1fu) + ((p >> 4) & 0x000f0f0fu)) | 0xff000000u;
}

// Four pixels a step through the compiler's vector types (SSE2 or NEON registers), which the
// optimiser at -O2 would not do on its own for this loop.
void DarkenRun(std::uint32_t* row, int begin, int end) {
    using Pixels = std::uint32_t __attribute__((vector_size(16)));
    int x = begin;
    for (; x + 4 <= end; x += 4) {
        Pixels p;
        std::memcpy(&p, row + x, sizeof p);
        p = Darken(p);
        std::memcpy(row + x, &p, sizeof p);
    }
    for (; x < end; ++x) row[x] = Darken(row[x]);
}

QRect ClipPart(const CxImage& image, const QRect& part) {
    return part.intersected(QRect(0, 0, image.GetWidth(), image.GetHeight()));
}

}  // namespace

void ResizeSpotlight(Spotlight& spotlight, int wheelDelta) {
    const double factor = std::pow(1.1, wheelDelta / 120.0);
    spotlight.radius =
        std::clamp(spotlight.radius * factor, kSpotlightMinRadius, kSpotlightMaxRadius);
}

void DrawSpotlight(CxImage& image, const QRect& part, const Spotlight& spotlight) {
    const QRect shown = ClipPart(image, part);
    if (shown.isEmpty()) return;
    const double ry = spotlight.radius * part.height();
    const double rx = ry * kSpotlightAspect;
    const double cx = part.left() + spotlight.centreX * part.width();
    const double cy = part.top() + spotlight.centreY * part.height();
    for (int y = shown.top(); y <= shown.bottom(); ++y) {
        std::uint32_t* row = image.MutableScanLine(y);
        const double dy = (y + 0.5 - cy) / ry;
        if (std::abs(dy) >= 1.0) {
            DarkenRun(row, shown.left(), shown.right() + 1);
            continue;
        }
        const double half = rx * std::sqrt(1.0 - dy * dy);
        const int inBegin =
            std::clamp(int(std::lround(cx - half)), shown.left(), shown.right() + 1);
        const int inEnd = std::clamp(int(std::lround(cx + half)), inBegin, shown.right() + 1);
        DarkenRun(row, shown.left(), inBegin);
        DarkenRun(row, inEnd, shown.right() + 1);
    }
}

void DrawCurtain(CxImage& image, const QRect& part, const Curtain& curtain) {
    const QRect shown = ClipPart(image, part);
    if (shown.isEmpty()) return;
    const int top =
        part.top() + int(std::lround(std::clamp(curtain.revealed, 0.0, 1.0) * part.height()));
    const int edge = std::max(2, part.height() / 200);
    // One row of each colour is filled and copied down: memcpy runs at memory speed.
    const std::uint32_t* edgeRow = nullptr;
    const std::uint32_t* shadeRow = nullptr;
    const std::size_t bytes = std::size_t(shown.width()) * sizeof(std::uint32_t);
    for (int y = std::max(top, shown.top()); y <= shown.bottom(); ++y) {
        const bool isEdge = y < top + edge;
        const std::uint32_t*& model = isEdge ? edgeRow : shadeRow;
        std::uint32_t* row = image.MutableScanLine(y) + shown.left();
        if (model != nullptr) {
            std::memcpy(row, model, bytes);
            continue;
        }
        std::fill_n(row, shown.width(),
                    isEdge ? kCurtainEdgeColour.pixel() : kCurtainColour.pixel());
        model = row;
    }
}

}  // namespace vistrela
