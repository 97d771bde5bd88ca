#pragma once
// Laser ink: strokes drawn straight into the picture (never into the overlay, so never into
// the undo history) that stay while the button is held and for kHoldSec after its release,
// then fade out over kFadeSec. Once faded they are forgotten, and drawing costs nothing.
//
// Points are overlay drawing coordinates (x from the left, y from the BOTTOM) in the
// orientation the stroke was drawn at (`turns`, quarter turns to the right as OverlayTurns
// counts them); a picture turned since is met by turning the points with it. Times are
// seconds of one clock, passed in. User-interface thread only.

#include <vector>

#include "viewer/geometry.h"
#include "viewer/image.h"

namespace vistrela {

class LaserInk {
public:
    static constexpr double kHoldSec = 2.0;
    static constexpr double kFadeSec = 1.0;

    // A new stroke starting at `at`.
    void Begin(PicturePoint at, Rgb colour, int width, int turns);
    // The stroke in progress reaches `at`.
    void Extend(PicturePoint at);
    // The button is released at `nowSec`: the stroke starts to age.
    void End(double nowSec);
    // Forgets every stroke.
    void Clear() { strokes_.clear(); }
    bool Empty() const { return strokes_.empty(); }

    // Draws the strokes into `frame` (orientation `turns`) as they look at `nowSec`: whole,
    // then blended with the picture as they fade. Strokes faded out are forgotten.
    void Draw(CxImage& frame, double nowSec, int turns);

    // How much of a stroke ended at `endSec` shows at `nowSec`: 1 until kHoldSec after, then
    // falling to 0 over kFadeSec.
    static double Opacity(double endSec, double nowSec);

private:
    struct Stroke {
        std::vector<PicturePoint> points;
        Rgb colour;
        int width = 0;
        int turns = 0;
        bool ended = false;
        double endSec = 0.0;
    };
    std::vector<Stroke> strokes_;
};

}  // namespace vistrela
