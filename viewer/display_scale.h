#pragma once
// Prepares the shown part of the processed picture for the window's painter: the part scaled
// smoothly to exactly the size it is drawn at, so the painter only copies pixels. Scaling in
// the painter costs far more, and its smooth mode samples only a few source pixels per output
// pixel, so a strong reduction (a 4K picture into a window 1280 wide) would flicker and alias.
//
// The scaling is separable, rows first and then columns, each direction with its own filter:
// - shrinking by more than 2: the area average, every source pixel weighted by how much of
//   it the output pixel covers (fractions at both ends);
// - shrinking by up to 2, and enlarging (zoomed in): bilinear interpolation between the two
//   source pixels around the output pixel's centre, the edges held at the outermost pixels.
// Pixel centres map onto pixel centres, so the picture is neither shifted nor mirrored.
// Weights are fixed-point tables computed when the sizes change; all buffers are kept between
// calls, so a steady picture size allocates nothing per frame.
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
    // The part `sourceRect` of `image` (clipped to the image) scaled to exactly `destSize`,
    // in a buffer of this scaler; when the part already has that size, the part itself
    // without a copy. Valid until the next call or until `image` changes. Null when there is
    // nothing to show.
    QImage Prepare(const CxImage& image, const QRect& sourceRect, QSize destSize);

private:
    // The filter of one direction: for each output pixel the first source pixel it reads and
    // its weights (fractions of kWeightOne that add up to exactly kWeightOne).
    struct Taps {
        std::vector<std::int32_t> first;
        std::vector<std::int32_t> offset;  // into weights; one entry more than outputs
        std::vector<std::int16_t> weights;
        int maxCount = 0;
        int sourceLength = 0;
        int outputLength = 0;
    };
    static void BuildTaps(int sourceLength, int outputLength, Taps& taps);
    void BuildColumns(int sourceWidth, int outputWidth);

    Taps rows_;
    Taps columnTaps_;
    // The column filter in the form the row loop wants: `columnCount_` taps (even) per output
    // pixel from starts_[i], weights packed in pairs.
    std::vector<std::int32_t> starts_;
    std::vector<std::uint32_t> pairs_;
    std::vector<std::int16_t> second_;  // for two taps: the second weight, 15 bits, 4 times
    int columnCount_ = 0;
    int columnSpan_ = 0;  // source pixels the column filter may read

    std::vector<std::uint32_t> line_;  // the current blend of source rows, zero past its end
    std::vector<const std::uint32_t*> rowPointers_;
    std::vector<std::uint32_t> scaled_;
};

}  // namespace vistrela
