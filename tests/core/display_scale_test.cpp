#include "viewer/display_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace vistrela {
namespace {

struct Ratio {
    int sw, sh, dw, dh;
};

// Shrinks by more and less than 2 in each direction, mixed directions, enlargements up to x8,
// odd sizes, one-pixel sources and outputs, and widths that leave every SIMD tail in play.
const Ratio kRatios[] = {
    {1920, 1080, 1755, 987},
    {3840, 2160, 1280, 720},
    {3840, 2160, 1755, 987},
    {641, 479, 320, 240},
    {640, 480, 321, 241},
    {100, 80, 49, 30},
    {97, 61, 13, 7},
    {10, 10, 3, 3},
    {5, 3, 1, 1},
    {3, 1, 1, 1},
    {1, 1, 7, 5},
    {2, 2, 9, 9},
    {240, 135, 1920, 1080},
    {33, 17, 67, 35},
    {320, 240, 640, 480},
    {640, 480, 640, 123},
    {640, 480, 77, 480},
    {7, 400, 300, 9},
    {1, 300, 5, 2},
    {300, 1, 2, 5},
};

std::string Name(const Ratio& r) {
    return std::to_string(r.sw) + "x" + std::to_string(r.sh) + " to " + std::to_string(r.dw) + "x" +
           std::to_string(r.dh);
}

// An image with `part` in `inside` and everything around it in `outside`.
CxImage Framed(int width, int height, const QRect& part, std::uint32_t inside,
               std::uint32_t outside) {
    CxImage img;
    img.Create(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint32_t* row = img.MutableScanLine(y);
        for (int x = 0; x < width; ++x) row[x] = part.contains(x, y) ? inside : outside;
    }
    return img;
}

TEST(DisplayScale, ExactSizeAndFlatColourForManyRatios) {
    const std::uint32_t colour = Rgb{201, 77, 13}.pixel();
    const std::uint32_t around = Rgb{0, 255, 0}.pixel();
    DisplayScaler scaler;  // one scaler for all: sizes change from call to call
    for (const Ratio& r : kRatios) {
        SCOPED_TRACE(Name(r));
        // The part sits inside a larger image, so its rows are further apart than its width
        // and any pixel read from outside the part would show in green.
        const QRect part(3, 2, r.sw, r.sh);
        const CxImage img = Framed(r.sw + 7, r.sh + 5, part, colour, around);
        const QImage out = scaler.Prepare(img, part, QSize(r.dw, r.dh));
        ASSERT_EQ(out.size(), QSize(r.dw, r.dh));
        ASSERT_EQ(out.format(), QImage::Format_RGB32);
        int wrong = 0;
        for (int y = 0; y < r.dh; ++y) {
            const auto* line = reinterpret_cast<const std::uint32_t*>(out.constScanLine(y));
            for (int x = 0; x < r.dw; ++x) wrong += line[x] != colour;
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(DisplayScale, SameSizeReturnsTheSourcePartWithoutCopy) {
    CxImage img;
    img.Create(640, 480);
    img.DrawLine(100, 100, 479 - 50, 479 - 50, Rgb{1, 2, 3});  // top-down (100, 50)
    DisplayScaler scaler;
    const QRect part(100, 50, 320, 240);
    const QImage out = scaler.Prepare(img, part, QSize(320, 240));
    EXPECT_EQ(out.size(), QSize(320, 240));
    EXPECT_EQ(out.constBits(), reinterpret_cast<const uchar*>(img.ScanLine(50) + 100));
    EXPECT_EQ(out.bytesPerLine(), 640 * 4);
    EXPECT_EQ(out.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_TRUE(scaler.Prepare(CxImage(), part, QSize(10, 10)).isNull());
    EXPECT_TRUE(scaler.Prepare(img, QRect(700, 0, 10, 10), QSize(10, 10)).isNull());
    EXPECT_TRUE(scaler.Prepare(img, part, QSize(0, 10)).isNull());
}

TEST(DisplayScale, StrongShrinkAveragesAreasAndKeepsItsBuffer) {
    CxImage img;
    img.Create(3840, 2160);
    // Column stripes of red 0, 30, 120 repeat, so every 3 x 3 block averages to 50.
    const std::uint8_t reds[3] = {0, 30, 120};
    for (int y = 0; y < 2160; ++y) {
        std::uint32_t* row = img.MutableScanLine(y);
        for (int x = 0; x < 3840; ++x) row[x] = Rgb{reds[x % 3], 0, 0}.pixel();
    }
    DisplayScaler scaler;
    const QImage out = scaler.Prepare(img, QRect(0, 0, 3840, 2160), QSize(1280, 720));
    ASSERT_EQ(out.size(), QSize(1280, 720));
    for (int x = 0; x < 1280; ++x) ASSERT_EQ(qRed(out.pixel(x, x % 720)), 50) << x;
    const uchar* buffer = out.constBits();
    const QImage again = scaler.Prepare(img, QRect(0, 0, 3840, 2160), QSize(1280, 720));
    EXPECT_EQ(again.constBits(), buffer);

    // 2.5 times: output pixel 0 covers columns 0, 1 and half of 2: (0 + 30 + 60) / 2.5.
    const QImage mixed = scaler.Prepare(img, QRect(0, 0, 3840, 2160), QSize(1536, 864));
    EXPECT_EQ(qRed(mixed.pixel(0, 0)), 36);
}

// The column (or row) where the output crosses half-way, against where the geometry puts
// the source edge: within one output pixel, and the output pure on both sides beyond the blur
// (one output pixel, or when enlarged half a source pixel).
void ExpectEdgeAt(const QImage& out, bool vertical, double edgeOut, double zoom) {
    const double blur = std::max(1.0, zoom / 2);
    const int n = vertical ? out.height() : out.width();
    const int across = vertical ? out.width() : out.height();
    for (int j = 0; j < across; j += std::max(1, across / 5)) {
        int firstBright = -1;
        for (int i = 0; i < n; ++i) {
            const int v = vertical ? qBlue(out.pixel(j, i)) : qBlue(out.pixel(i, j));
            const double centre = i + 0.5;
            if (centre < edgeOut - blur) {
                EXPECT_EQ(v, 0) << i;
            }
            if (centre > edgeOut + blur) {
                EXPECT_EQ(v, 255) << i;
            }
            if (firstBright < 0 && v >= 128) firstBright = i;
        }
        ASSERT_GE(firstBright, 0);
        EXPECT_NEAR(firstBright + 0.5, edgeOut, 1.0);
    }
}

TEST(DisplayScale, SharpEdgeLandsWhereTheGeometrySays) {
    DisplayScaler scaler;
    for (const Ratio& r : kRatios) {
        if (r.sw < 4 || r.sh < 4 || r.dw < 4 || r.dh < 4) continue;
        SCOPED_TRACE(Name(r));
        const QRect part(5, 4, r.sw, r.sh);
        const int edgeX = r.sw / 3 + 1, edgeY = r.sh * 2 / 3;
        // Black left of the edge column, white from it on; the surround is white too, so
        // reading outside the part would brighten the black side.
        const CxImage cols =
            Framed(r.sw + 9, r.sh + 8, QRect(5, 4, edgeX, r.sh), 0xff000000u, 0xffffffffu);
        ExpectEdgeAt(scaler.Prepare(cols, part, QSize(r.dw, r.dh)), false,
                     double(edgeX) * r.dw / r.sw, double(r.dw) / r.sw);
        const CxImage rows =
            Framed(r.sw + 9, r.sh + 8, QRect(5, 4, r.sw, edgeY), 0xff000000u, 0xffffffffu);
        ExpectEdgeAt(scaler.Prepare(rows, part, QSize(r.dw, r.dh)), true,
                     double(edgeY) * r.dh / r.sh, double(r.dh) / r.sh);
    }
}

TEST(DisplayScale, GradientsStayMonotonic) {
    DisplayScaler scaler;
    for (const Ratio& r : kRatios) {
        if (r.sw < 2 || r.sh < 2) continue;
        SCOPED_TRACE(Name(r));
        CxImage img;
        img.Create(r.sw, r.sh);
        // Red rises to the right, green downwards, blue falls to the right.
        for (int y = 0; y < r.sh; ++y) {
            std::uint32_t* row = img.MutableScanLine(y);
            for (int x = 0; x < r.sw; ++x) {
                const auto gx = static_cast<std::uint8_t>(255 * x / (r.sw - 1));
                const auto gy = static_cast<std::uint8_t>(255 * y / (r.sh - 1));
                row[x] = Rgb{gx, gy, static_cast<std::uint8_t>(255 - gx)}.pixel();
            }
        }
        const QImage out = scaler.Prepare(img, QRect(0, 0, r.sw, r.sh), QSize(r.dw, r.dh));
        int breaks = 0;
        for (int y = 0; y < r.dh; ++y) {
            for (int x = 0; x < r.dw; ++x) {
                const QRgb p = out.pixel(x, y);
                if (x > 0) {
                    const QRgb left = out.pixel(x - 1, y);
                    breaks += qRed(p) < qRed(left) || qBlue(p) > qBlue(left);
                }
                if (y > 0) breaks += qGreen(p) < qGreen(out.pixel(x, y - 1));
            }
        }
        EXPECT_EQ(breaks, 0);
        // Enlarged, the outermost output pixels lie past the outermost source centres.
        if (r.dw >= r.sw) {
            EXPECT_EQ(qRed(out.pixel(0, 0)), 0);
            EXPECT_EQ(qRed(out.pixel(r.dw - 1, 0)), 255);
        }
        if (r.dh >= r.sh) {
            EXPECT_EQ(qGreen(out.pixel(0, r.dh - 1)), 255);
        }
    }
}

TEST(DisplayScale, EnlargingIsSmooth) {
    // A checkerboard of 0 and 255: nearest-neighbour enlargement would jump by 255.
    CxImage img;
    img.Create(40, 30);
    for (int y = 0; y < 30; ++y) {
        std::uint32_t* row = img.MutableScanLine(y);
        for (int x = 0; x < 40; ++x) row[x] = (x + y) % 2 ? 0xffffffffu : 0xff000000u;
    }
    DisplayScaler scaler;
    for (const int zoom : {2, 8}) {
        SCOPED_TRACE(zoom);
        // A part away from the image's edges, where bilinear steps are 255 / zoom.
        const QRect part(10, 10, 20, 10);
        const QImage out = scaler.Prepare(img, part, part.size() * zoom);
        ASSERT_EQ(out.size(), part.size() * zoom);
        int largest = 0, levels = 0;
        bool seen[256] = {};
        for (int y = 1; y < out.height(); ++y) {
            for (int x = 1; x < out.width(); ++x) {
                const int v = qGray(out.pixel(x, y));
                largest = std::max({largest, std::abs(v - qGray(out.pixel(x - 1, y))),
                                    std::abs(v - qGray(out.pixel(x, y - 1)))});
                levels += !seen[v];
                seen[v] = true;
            }
        }
        EXPECT_LE(largest, 255 / zoom + 2);
        EXPECT_GE(levels, zoom + 1);  // intermediate shades, not just black and white
    }
}

TEST(DisplayScale, MirroredSourceGivesMirroredOutput) {
    // Every pixel different: a pixel taken from the wrong place or lanes in the wrong order
    // would break the left-right symmetry of the filters.
    CxImage img;
    img.Create(301, 203);
    std::uint32_t seed = 12345;
    for (int y = 0; y < 203; ++y) {
        std::uint32_t* row = img.MutableScanLine(y);
        for (int x = 0; x < 301; ++x) {
            seed = seed * 1664525u + 1013904223u;
            row[x] = 0xff000000u | (seed >> 8);
        }
    }
    CxImage mirrored = img;
    mirrored.Mirror();
    for (const QSize dest : {QSize(150, 101), QSize(97, 67), QSize(33, 30), QSize(700, 401),
                             QSize(301, 100), QSize(37, 203)}) {
        SCOPED_TRACE(dest.width());
        DisplayScaler a, b;
        const QImage out = a.Prepare(img, QRect(0, 0, 301, 203), dest);
        const QImage outMirrored = b.Prepare(mirrored, QRect(0, 0, 301, 203), dest);
        int worst = 0;
        for (int y = 0; y < dest.height(); ++y) {
            for (int x = 0; x < dest.width(); ++x) {
                const QRgb p = out.pixel(x, y);
                const QRgb q = outMirrored.pixel(dest.width() - 1 - x, y);
                worst = std::max({worst, std::abs(qRed(p) - qRed(q)),
                                  std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
            }
        }
        EXPECT_LE(worst, 1);  // weight rounding only
    }
}

}  // namespace
}  // namespace vistrela
