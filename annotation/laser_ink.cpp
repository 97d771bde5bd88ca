#include "annotation/laser_ink.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "annotation/ink_draw.h"

namespace vistrela {

namespace {

// (x, y) of a `width` x `height` picture after a quarter turn to the right: the bottom row
// becomes the left column.
PicturePoint TurnRight(PicturePoint p, int width) {
    return {p.y, width - 1 - p.x};
}

// A one-pixel line blended over the frame with `alpha` (0..256) of `colour`.
void BlendLine(CxImage& frame, int x0, int x1, int y0, int y1, Rgb colour, int alpha) {
    const int w = frame.GetWidth(), h = frame.GetHeight();
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    const std::uint32_t c = colour.pixel();
    for (;;) {
        if (x0 >= 0 && x0 < w && y0 >= 0 && y0 < h) {
            std::uint32_t& px = frame.MutableScanLine(h - 1 - y0)[x0];
            std::uint32_t out = 0xff000000u;
            for (int shift = 0; shift <= 16; shift += 8) {
                const int a = static_cast<int>((px >> shift) & 0xffu);
                const int b = static_cast<int>((c >> shift) & 0xffu);
                out |= static_cast<std::uint32_t>(a + (((b - a) * alpha) >> 8)) << shift;
            }
            px = out;
        }
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

}  // namespace

void LaserInk::Begin(PicturePoint at, Rgb colour, int width, int turns) {
    strokes_.push_back({{at}, colour, width, turns, false, 0.0});
}

void LaserInk::Extend(PicturePoint at) {
    if (!strokes_.empty() && !strokes_.back().ended) strokes_.back().points.push_back(at);
}

void LaserInk::End(double nowSec) {
    for (Stroke& s : strokes_) {
        if (s.ended) continue;
        s.ended = true;
        s.endSec = nowSec;
    }
}

double LaserInk::Opacity(double endSec, double nowSec) {
    return std::clamp(1.0 - (nowSec - endSec - kHoldSec) / kFadeSec, 0.0, 1.0);
}

void LaserInk::Draw(CxImage& frame, double nowSec, int turns) {
    std::erase_if(strokes_,
                  [&](const Stroke& s) { return s.ended && Opacity(s.endSec, nowSec) <= 0.0; });
    if (strokes_.empty() || !frame.IsValid()) return;
    for (Stroke& s : strokes_) {
        // Turned with the picture, one quarter at a time, each in that step's picture size.
        while (s.turns != turns) {
            const int widthBefore =
                (turns - s.turns) % 2 != 0 ? frame.GetHeight() : frame.GetWidth();
            for (PicturePoint& p : s.points) p = TurnRight(p, widthBefore);
            s.turns = (s.turns + 1) % 4;
        }
        const double opacity = s.ended ? Opacity(s.endSec, nowSec) : 1.0;
        const int alpha = static_cast<int>(std::lround(opacity * 256.0));
        for (std::size_t i = 0; i < s.points.size(); ++i) {
            const InkSegment seg{s.points[i == 0 ? 0 : i - 1], s.points[i]};
            ForBandLines(seg, s.width, [&](int a, int c, int b, int d) {
                if (alpha >= 256) {
                    frame.DrawLine(a, c, b, d, s.colour);
                } else {
                    BlendLine(frame, a, c, b, d, s.colour, alpha);
                }
            });
        }
    }
}

}  // namespace vistrela
