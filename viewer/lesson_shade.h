#pragma once
// The spotlight and the curtain: two shades laid over the shown part of the processed picture
// before it is saved, recorded and painted, so pictures and movies hold them as the class sees
// them. Positions are fractions of the shown part (zoom and pan change the part, not the
// shade's place on the screen). No window code; user-interface thread only.

#include <QRect>

#include "viewer/image.h"

namespace vistrela {

// Everything outside an ellipse darkened to about a fifth of its brightness.
struct Spotlight {
    bool on = false;
    double centreX = 0.5;  // centre, fraction of the shown part's width from its left edge
    double centreY = 0.5;  // and of its height from its top edge
    double radius = 0.25;  // vertical half axis, fraction of the shown part's height
};
inline constexpr double kSpotlightMinRadius = 0.06;
inline constexpr double kSpotlightMaxRadius = 0.9;
// The horizontal half axis is this many times the vertical one: a line of text is wide.
inline constexpr double kSpotlightAspect = 1.6;

// Shift+wheel: one notch (120) away from the user widens the ellipse by a tenth, towards the
// user narrows it; kept between the limits above.
void ResizeSpotlight(Spotlight& spotlight, int wheelDelta);

// Darkens `image` inside `part` (top-down picture pixels) outside the spotlight's ellipse.
void DrawSpotlight(CxImage& image, const QRect& part, const Spotlight& spotlight);

// A shade over the page that is pulled down to uncover it line by line.
struct Curtain {
    bool on = false;
    double revealed = 0.0;  // fraction of the shown part's height uncovered, from the top
};
inline constexpr Rgb kCurtainColour{36, 38, 44};
inline constexpr Rgb kCurtainEdgeColour{120, 124, 132};

// Covers the rows of `part` below the revealed fraction, with a lighter edge line at the
// curtain's top so the teacher sees where it is.
void DrawCurtain(CxImage& image, const QRect& part, const Curtain& curtain);

}  // namespace vistrela
