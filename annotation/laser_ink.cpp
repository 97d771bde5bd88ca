#include "annotation/laser_ink.h"

#include <algorithm>
#include <cmath>

#include "annotation/ink_draw.h"

namespace vistrela {

namespace {

// (x, y) of a `width` x `height` picture after a quarter turn to the right: the bottom row
// becomes the left column.
PicturePoint TurnRight(PicturePoint p, int width) {
    return {p.y, width - 1 - p.x};
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
                    frame.BlendLine(a, c, b, d, s.colour, alpha);
                }
            });
        }
    }
}

}  // namespace vistrela
