#pragma once
// Conversion of the camera's YUV frames (YUY2, I420, NV12) into the 24-bit BGR frames the
// viewer takes, so the capture pipeline does not need a generic format converter for them.
//
// Chroma is taken as it comes: each chroma sample serves the two pixels of its pair (and, for
// I420 and NV12, the two rows of its pair), with no interpolation. Odd widths and heights are
// allowed; the last column or row then has a chroma sample of its own, as the formats store
// them.
//
// Memory: nothing is allocated; the caller owns every plane and the output. Sizes are not
// checked: a YUY2 row holds (width + 1) / 2 * 4 bytes, I420 chroma planes have (height + 1) / 2
// rows of (width + 1) / 2 bytes, an NV12 chroma plane (height + 1) / 2 rows of
// (width + 1) / 2 * 2 bytes; the output has `height` rows of width * 3 bytes, `dstStrideBytes`
// apart, top row first. Any thread; calls share nothing.

#include <cstdint>

namespace vistrela {

// How YUV values become RGB: the luma weights of red and blue (Kr, Kb) of the colour matrix
// and whether Y, U, V use the limited (16..235, 16..240) or the full (0..255) range.
struct YuvColorimetry {
    double kr = 0.299;
    double kb = 0.114;
    bool fullRange = false;
};

inline constexpr YuvColorimetry kBt601{0.299, 0.114, false};
inline constexpr YuvColorimetry kBt709{0.2126, 0.0722, false};
inline constexpr YuvColorimetry kBt2020{0.2627, 0.0593, false};

// The fixed-point factors of one colorimetry, made once per stream and reused for every frame.
// Factors carry 13 fractional bits; luma and chroma are centred before they are applied.
struct YuvToBgrFactors {
    std::int16_t lumaOffset = 16;
    std::int16_t yScale = 0;    // Y to every channel
    std::int16_t vToRed = 0;    // V to red
    std::int16_t uToGreen = 0;  // U to green, subtracted
    std::int16_t vToGreen = 0;  // V to green, subtracted
    std::int16_t uToBlue = 0;   // U to blue
};

YuvToBgrFactors MakeYuvToBgrFactors(const YuvColorimetry& colorimetry);

// The planes of one YUV frame. YUY2 uses plane 0 only (Y0 U Y1 V per pixel pair); I420 uses
// Y, U, V in planes 0, 1, 2; NV12 uses Y in plane 0 and interleaved U V in plane 1.
struct YuvPlanes {
    const std::uint8_t* data[3] = {nullptr, nullptr, nullptr};
    int strideBytes[3] = {0, 0, 0};
};

enum class YuvLayout { Yuy2, I420, Nv12 };

// Which code converts: the widest vector code the processor has, or a narrower one. Every
// code gives the very same bytes (tests compare them); a code the processor lacks falls back
// to the next narrower one.
enum class ConvertCode { Best, Ssse3, Plain };

// Converts a `width` x `height` frame into BGR at `dst`.
void ConvertYuvToBgr(YuvLayout layout, const YuvPlanes& src, int width, int height,
                     const YuvToBgrFactors& factors, std::uint8_t* dst, int dstStrideBytes,
                     ConvertCode code = ConvertCode::Best);

}  // namespace vistrela
