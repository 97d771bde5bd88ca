#include "annotation/ink_draw.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "annotation/ink_style.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// a x b / 255, rounded, for each of the three colour channels.
inline std::uint32_t Multiply(std::uint32_t a, std::uint32_t b) {
    std::uint32_t out = 0xff000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t t = ((a >> shift) & 0xffu) * ((b >> shift) & 0xffu) + 128u;
        out |= ((t + (t >> 8)) >> 8) << shift;
    }
    return out;
}

void MultiplyRow(const std::uint32_t* ov, std::uint32_t* out, int begin, int end) {
    int x = begin;
#if defined(__SSE2__)
    // Four pixels at a time: a run without highlighter ink (every top bit set) costs one test.
    for (; x + 4 <= end; x += 4) {
        const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ov + x));
        if (_mm_movemask_ps(_mm_castsi128_ps(o)) == 0xf) continue;
        for (int k = x; k < x + 4; ++k)
            if (IsHighlightInk(ov[k])) out[k] = Multiply(out[k], ov[k]);
    }
#endif
    for (; x < end; ++x)
        if (IsHighlightInk(ov[x])) out[x] = Multiply(out[x], ov[x]);
}

}  // namespace

void MixHighlight(CxImage& frame, const CxImage& overlay) {
    if (!frame.IsValid() || !overlay.IsValid()) return;
    const int shift = overlay.GetHeight() - frame.GetHeight();
    const int cols = std::min(frame.GetWidth(), overlay.GetWidth());
    for (int row = std::max(0, -shift); row < frame.GetHeight(); ++row) {
        const CxImage::Span s = overlay.InkSpan(row + shift);
        const int end = std::min(s.end, cols);
        if (s.begin >= end) continue;
        // Writing through the frame's row keeps its own ink spans whole-row; the frame is
        // never the source of a mix, so nothing reads them.
        MultiplyRow(overlay.ScanLine(row + shift), frame.MutableScanLine(row), s.begin, end);
    }
}

}  // namespace vistrela
