#pragma once
// Prepares the shown part of the processed picture for the window's painter. A painter's
// smooth scaling samples only a few source pixels per output pixel, so a strong reduction
// (a 4K picture into a window 1280 wide) would flicker and alias; there the picture is first
// shrunk by a whole factor with an area average, and the painter does the rest smoothly.
// One instance per window; user-interface thread only.

#include <QImage>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <vector>

#include "viewer/image.h"

namespace vistrela {

class DisplayScaler {
public:
    // The image to draw, smoothly scaled, into a destination of `destSize`:
    // - shrinking by more than 2 in both directions: the source part averaged over blocks of
    //   f x f pixels (f = the whole part of the smaller ratio; edge blocks average what they
    //   hold), in a buffer kept between calls;
    // - otherwise the source part itself, no copy.
    // Valid until the next call or until `image` changes. Null when there is nothing to show.
    QImage Prepare(const CxImage& image, const QRect& sourceRect, QSize destSize);

    // The block size of the last Prepare (1 when the source part was returned as it is).
    int lastFactor() const { return lastFactor_; }

private:
    std::vector<std::uint32_t> shrunk_;
    std::vector<std::uint32_t> sums_;  // per output column: blue, green, red
    int lastFactor_ = 1;
};

}  // namespace vistrela
