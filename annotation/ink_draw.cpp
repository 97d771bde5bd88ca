#include "annotation/ink_draw.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vistrela {

void DrawInkSegment(CxImage& overlay, InkSegment s, int width, std::uint32_t pixel, bool overInk) {
    ForBandLines(s, width, [&](int a, int c, int b, int d) {
        overlay.DrawLineRaw(a, c, b, d, pixel, overInk);
    });
}

OverlayRect InkSegmentsRect(const CxImage& overlay, const std::vector<InkSegment>& segments,
                            int width) {
    if (segments.empty()) return {};
    int x0 = segments[0].from.x, x1 = x0, y0 = segments[0].from.y, y1 = y0;
    for (const InkSegment& s : segments) {
        for (const PicturePoint p : {s.from, s.to}) {
            x0 = std::min(x0, p.x);
            x1 = std::max(x1, p.x);
            y0 = std::min(y0, p.y);
            y1 = std::max(y1, p.y);
        }
    }
    const int low = width / 2, high = width - width / 2 - 1;
    return DrawingRect(overlay.GetHeight(), x0 - low, y0 - low, x1 + high, y1 + high);
}

std::vector<InkSegment> ShapeSegments(DrawMode shape, PicturePoint from, PicturePoint to,
                                      int width) {
    const auto at = [](double x, double y) {
        return PicturePoint{static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
    };
    switch (shape) {
        case DrawMode::Rectangle: {
            const PicturePoint a{to.x, from.y}, b{from.x, to.y};
            return {{from, a}, {a, to}, {to, b}, {b, from}};
        }
        case DrawMode::Ellipse: {
            const double cx = (from.x + to.x) / 2.0, cy = (from.y + to.y) / 2.0;
            const double rx = std::abs(to.x - from.x) / 2.0, ry = std::abs(to.y - from.y) / 2.0;
            // About one corner every 6 pixels of the outline: smooth at every size.
            const int corners = std::clamp(static_cast<int>((rx + ry) * 1.1), 12, 720);
            std::vector<InkSegment> out;
            PicturePoint last = at(cx + rx, cy);
            for (int i = 1; i <= corners; ++i) {
                const double t = 2.0 * std::numbers::pi * i / corners;
                const PicturePoint p = at(cx + rx * std::cos(t), cy + ry * std::sin(t));
                out.push_back({last, p});
                last = p;
            }
            return out;
        }
        case DrawMode::Arrow: {
            std::vector<InkSegment> out{{from, to}};
            const double dx = to.x - from.x, dy = to.y - from.y;
            const double length = std::hypot(dx, dy);
            if (length < 1.0) return out;
            // The head's sides: 30 degrees off the shaft, long enough to read at any width, but
            // never longer than the shaft.
            const double side = std::min(length, 18.0 + 4.0 * width);
            const double back = std::atan2(-dy, -dx);
            for (const double turn : {-std::numbers::pi / 6, std::numbers::pi / 6}) {
                out.push_back({to, at(to.x + side * std::cos(back + turn),
                                      to.y + side * std::sin(back + turn))});
            }
            return out;
        }
        default:
            return {{from, to}};
    }
}

}  // namespace vistrela
