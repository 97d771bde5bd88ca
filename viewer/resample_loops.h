#pragma once
// The pixel loops behind DisplayScaler: a separable resampler on Format_RGB32 words with
// fixed-point weights. A filter is a list of taps per output pixel; each weight is a fraction
// of 1 << kWeightBits, and the weights of one output pixel add up to exactly that, so a flat
// colour (and the 0xff fourth byte) comes out unchanged. Weights are never negative, so no
// result leaves 0..255. Callers guarantee sizes and bounds; nothing here checks them.
// The SIMD paths (SSE2, SSSE3, AVX2) are chosen once at start-up from what the processor has.

#include <cstdint>

namespace vistrela {

inline constexpr int kWeightBits = 14;
inline constexpr int kWeightOne = 1 << kWeightBits;

// out[x] = sum over k < count of weights[k] * rows[k][x], for x in [0, width).
void BlendRows(const std::uint32_t* const* rows, const std::int16_t* weights, int count, int width,
               std::uint32_t* out);

// The filter of the columns, `taps` (even) source pixels per output pixel i from starts[i],
// weights w_0 .. w_taps-1 packed in pairs, each pair four times over so that the loops load it
// ready for all four channels: pairs[(i * taps / 2 + j) * 4 + 0..3] hold w_2j in their low and
// w_2j+1 in their high 16 bits. With two taps, `second` may also give min(w_1 * 2, 32767) four
// times per output pixel, for the faster a + (b - a) * f form; null otherwise.
struct ColumnWeights {
    const std::int32_t* starts = nullptr;
    const std::uint32_t* pairs = nullptr;
    const std::int16_t* second = nullptr;
    int taps = 0;
};

// out[i] = sum over k < taps of w_k * src[starts[i] + k], for i in [0, outWidth).
// src[starts[i] .. starts[i] + taps) must be readable for every i.
void ResampleRow(const std::uint32_t* src, const ColumnWeights& columns, int outWidth,
                 std::uint32_t* out);

}  // namespace vistrela
