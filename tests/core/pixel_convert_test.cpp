#include "capture/pixel_convert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vistrela {
namespace {

constexpr std::uint8_t kGuard = 0xa5;

// One frame of random samples in a layout, rows padded by `pad` bytes past what they need.
struct YuvFrame {
    std::vector<std::uint8_t> planes[3];
    YuvPlanes view;
};

YuvFrame RandomFrame(YuvLayout layout, int width, int height, int pad, std::uint32_t seed) {
    YuvFrame f;
    const int cw = (width + 1) / 2;
    const int ch = (height + 1) / 2;
    int rowBytes[3] = {0, 0, 0};
    int rows[3] = {height, ch, ch};
    switch (layout) {
        case YuvLayout::Yuy2:
            rowBytes[0] = cw * 4;
            break;
        case YuvLayout::I420:
            rowBytes[0] = width;
            rowBytes[1] = rowBytes[2] = cw;
            break;
        case YuvLayout::Nv12:
            rowBytes[0] = width;
            rowBytes[1] = cw * 2;
            break;
    }
    std::uint32_t x = seed;
    for (int p = 0; p < 3 && rowBytes[p] > 0; ++p) {
        const int stride = rowBytes[p] + pad;
        f.planes[p].resize(static_cast<std::size_t>(stride) * rows[p]);
        for (std::uint8_t& b : f.planes[p]) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            b = static_cast<std::uint8_t>(x);
        }
        f.view.data[p] = f.planes[p].data();
        f.view.strideBytes[p] = stride;
    }
    return f;
}

// The samples of pixel (px, py).
struct Sample {
    int y, u, v;
};
Sample SampleAt(YuvLayout layout, const YuvPlanes& s, int px, int py) {
    const std::uint8_t* row = s.data[0] + py * s.strideBytes[0];
    const int pair = px / 2;
    if (layout == YuvLayout::Yuy2)
        return {row[4 * pair + 2 * (px % 2)], row[4 * pair + 1], row[4 * pair + 3]};
    const std::uint8_t* c = s.data[1] + (py / 2) * s.strideBytes[1];
    if (layout == YuvLayout::Nv12) return {row[px], c[2 * pair], c[2 * pair + 1]};
    const std::uint8_t* v = s.data[2] + (py / 2) * s.strideBytes[2];
    return {row[px], c[pair], v[pair]};
}

// The textbook conversion in floating point.
void Reference(const YuvColorimetry& c, Sample s, double bgr[3]) {
    const double ys = c.fullRange ? 1.0 : 255.0 / 219.0;
    const double cs = c.fullRange ? 1.0 : 255.0 / 224.0;
    const double y = (s.y - (c.fullRange ? 0 : 16)) * ys;
    const double u = (s.u - 128) * cs;
    const double v = (s.v - 128) * cs;
    const double kg = 1 - c.kr - c.kb;
    bgr[0] = y + 2 * (1 - c.kb) * u;
    bgr[1] = y - 2 * c.kb * (1 - c.kb) / kg * u - 2 * c.kr * (1 - c.kr) / kg * v;
    bgr[2] = y + 2 * (1 - c.kr) * v;
}

const char* Name(YuvLayout layout) {
    return layout == YuvLayout::Yuy2 ? "YUY2" : layout == YuvLayout::I420 ? "I420" : "NV12";
}

TEST(PixelConvert, KnownColoursOfLimitedBt601) {
    const YuvToBgrFactors f = MakeYuvToBgrFactors(kBt601);
    // Black, white, and the limited-range primaries of BT.601 (pixel pairs Y Y U V).
    const std::uint8_t cases[][7] = {
        {16, 128, 128, 0, 0, 0},   {235, 128, 128, 255, 255, 255},
        {81, 90, 240, 0, 0, 255},  {145, 54, 34, 0, 255, 0},
        {41, 240, 110, 255, 0, 0}, {0, 128, 128, 0, 0, 0},  // below black clamps
    };
    for (const auto& c : cases) {
        const std::uint8_t yuy2[4] = {c[0], c[1], c[0], c[2]};
        YuvPlanes s;
        s.data[0] = yuy2;
        s.strideBytes[0] = 4;
        std::uint8_t out[6];
        ConvertYuvToBgr(YuvLayout::Yuy2, s, 2, 1, f, out, 6);
        for (int ch = 0; ch < 3; ++ch) {
            EXPECT_NEAR(out[ch], c[3 + ch], 1) << int(c[0]) << "," << ch;
            EXPECT_EQ(out[3 + ch], out[ch]);
        }
    }
}

TEST(PixelConvert, EveryLayoutMatchesTheTextbookFormulaAndKeepsOutsideBytes) {
    const YuvColorimetry colorimetries[] = {kBt601, kBt709, kBt2020, {0.299, 0.114, true}};
    for (YuvLayout layout : {YuvLayout::Yuy2, YuvLayout::I420, YuvLayout::Nv12}) {
        for (const YuvColorimetry& c : colorimetries) {
            const int width = 37, height = 7, outStride = width * 3 + 5;
            const YuvFrame frame = RandomFrame(layout, width, height, 3, 7);
            std::vector<std::uint8_t> out(static_cast<std::size_t>(outStride) * height + 16,
                                          kGuard);
            ConvertYuvToBgr(layout, frame.view, width, height, MakeYuvToBgrFactors(c), out.data(),
                            outStride);
            int worst = 0;
            for (int py = 0; py < height; ++py) {
                for (int px = 0; px < width; ++px) {
                    double want[3];
                    Reference(c, SampleAt(layout, frame.view, px, py), want);
                    for (int ch = 0; ch < 3; ++ch) {
                        const double clamped = std::clamp(want[ch], 0.0, 255.0);
                        const int got = out[py * outStride + 3 * px + ch];
                        worst = std::max(
                            worst, static_cast<int>(std::ceil(std::abs(got - clamped) - 1e-9)));
                    }
                }
                for (int b = width * 3; b < outStride; ++b)
                    ASSERT_EQ(out[py * outStride + b], kGuard) << Name(layout) << " row " << py;
            }
            EXPECT_LE(worst, 1) << Name(layout) << " kr " << c.kr << " full " << c.fullRange;
            for (std::size_t b = static_cast<std::size_t>(outStride) * height; b < out.size(); ++b)
                ASSERT_EQ(out[b], kGuard) << Name(layout);
        }
    }
}

// Every vector code must give exactly the plain code's bytes, whatever the width's remainder
// after whole vector steps, odd heights and padded rows included.
TEST(PixelConvert, VectorCodeEqualsPlainCodeForEveryWidth) {
    const YuvToBgrFactors f = MakeYuvToBgrFactors(kBt709);
    for (YuvLayout layout : {YuvLayout::Yuy2, YuvLayout::I420, YuvLayout::Nv12}) {
        for (int width = 1; width <= 100; ++width) {
            const int height = 1 + width % 5;
            const YuvFrame frame = RandomFrame(layout, width, height, width % 3, 99u + width);
            const int stride = width * 3 + width % 4;
            std::vector<std::uint8_t> plain(static_cast<std::size_t>(stride) * height, kGuard);
            ConvertYuvToBgr(layout, frame.view, width, height, f, plain.data(), stride,
                            ConvertCode::Plain);
            for (ConvertCode code : {ConvertCode::Best, ConvertCode::Ssse3}) {
                std::vector<std::uint8_t> fast(plain.size(), kGuard);
                ConvertYuvToBgr(layout, frame.view, width, height, f, fast.data(), stride, code);
                ASSERT_EQ(fast, plain)
                    << Name(layout) << " width " << width << " code " << static_cast<int>(code);
            }
        }
    }
}

}  // namespace
}  // namespace vistrela
