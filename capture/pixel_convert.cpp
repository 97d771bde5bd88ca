#include "capture/pixel_convert.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "common/cpu_features.h"

namespace vistrela {

namespace {

// Every product is formed as the vector code forms it (a 16-bit multiply keeping the rounded
// high half, `pmulhrsw`), so the plain and the vector code give the same bytes: centred
// samples are scaled by 64 and factors carry 13 fractional bits, which leaves channel sums
// with 4 fractional bits, far inside 16 bits for any matrix.
constexpr int kFactorBits = 13;
constexpr int kSampleShift = 6;
constexpr int kSumBits = 4;

inline int MulHrs(int a, int b) {
    return (a * b + 0x4000) >> 15;
}

std::int16_t Factor(double value) {
    return static_cast<std::int16_t>(std::lround(value * (1 << kFactorBits)));
}

inline std::uint8_t Clamp(int sum) {
    return static_cast<std::uint8_t>(std::clamp((sum + (1 << (kSumBits - 1))) >> kSumBits, 0, 255));
}

// The luma and chroma terms of every sample value for one set of factors, so the plain code
// looks up what the vector code multiplies, with the same result.
struct SampleTerms {
    std::int16_t luma[256];
    std::int16_t red[256];     // by V
    std::int16_t greenU[256];  // by U, subtracted
    std::int16_t greenV[256];  // by V, subtracted
    std::int16_t blue[256];    // by U
};

void FillTerms(const YuvToBgrFactors& f, SampleTerms& t) {
    for (int s = 0; s < 256; ++s) {
        const int centred = (s - 128) * (1 << kSampleShift);
        t.luma[s] =
            static_cast<std::int16_t>(MulHrs((s - f.lumaOffset) * (1 << kSampleShift), f.yScale));
        t.red[s] = static_cast<std::int16_t>(MulHrs(centred, f.vToRed));
        t.greenU[s] = static_cast<std::int16_t>(MulHrs(centred, f.uToGreen));
        t.greenV[s] = static_cast<std::int16_t>(MulHrs(centred, f.vToGreen));
        t.blue[s] = static_cast<std::int16_t>(MulHrs(centred, f.uToBlue));
    }
}

// One pixel pair's chroma terms, shared by the pixels of the pair.
struct Chroma {
    int red, green, blue;
};

inline Chroma ChromaTerms(int u, int v, const SampleTerms& t) {
    return {t.red[v], t.greenU[u] + t.greenV[v], t.blue[u]};
}

inline void PutPixel(int y, const Chroma& c, const SampleTerms& t, std::uint8_t* out) {
    const int luma = t.luma[y];
    out[0] = Clamp(luma + c.blue);
    out[1] = Clamp(luma - c.green);
    out[2] = Clamp(luma + c.red);
}

// What a row needs besides its samples.
struct RowContext {
    YuvToBgrFactors factors;
    SampleTerms terms;
};

// One row of `width` pixels. `y` is the luma row (the packed row for YUY2); `u` and `v` the
// chroma rows (for NV12 `u` is the interleaved row and `v` is unused).
using RowFn = void (*)(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v,
                       int width, const RowContext& c, std::uint8_t* out);

// Luma of pixel `x` and chroma of pair `pair` in a layout.
template <YuvLayout L>
inline int LumaAt(const std::uint8_t* y, int x) {
    if constexpr (L == YuvLayout::Yuy2) return y[2 * x];
    return y[x];
}

template <YuvLayout L>
inline Chroma ChromaAt(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v,
                       int pair, const SampleTerms& t) {
    if constexpr (L == YuvLayout::Yuy2) return ChromaTerms(y[4 * pair + 1], y[4 * pair + 3], t);
    if constexpr (L == YuvLayout::I420) return ChromaTerms(u[pair], v[pair], t);
    return ChromaTerms(u[2 * pair], u[2 * pair + 1], t);
}

template <YuvLayout L>
void RowPlain(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v, int width,
              const RowContext& c, std::uint8_t* out) {
    int x = 0;
    for (; x + 1 < width; x += 2) {
        const Chroma chroma = ChromaAt<L>(y, u, v, x / 2, c.terms);
        PutPixel(LumaAt<L>(y, x), chroma, c.terms, out + 3 * x);
        PutPixel(LumaAt<L>(y, x + 1), chroma, c.terms, out + 3 * x + 3);
    }
    if (x < width)
        PutPixel(LumaAt<L>(y, x), ChromaAt<L>(y, u, v, x / 2, c.terms), c.terms, out + 3 * x);
}

#if defined(VISTRELA_X86)

// Byte orders that weave 16 blue, 16 green and 16 red bytes into 48 BGR bytes: output
// register o takes channel c through the order at [3 * o + c].
constexpr std::array<std::array<std::int8_t, 16>, 9> MakeWeaveOrders() {
    std::array<std::array<std::int8_t, 16>, 9> orders{};
    for (int i = 0; i < 48; ++i) {
        for (int c = 0; c < 3; ++c) {
            orders[3 * (i / 16) + c][i % 16] = static_cast<std::int8_t>(i % 3 == c ? i / 3 : -1);
        }
    }
    return orders;
}
constexpr auto kWeave = MakeWeaveOrders();

struct VectorFactors {
    __m128i lumaOffset, yScale, vToRed, uToGreen, vToGreen, uToBlue, chromaOffset, half;
};

__attribute__((target("ssse3"))) VectorFactors MakeVectorFactors(const YuvToBgrFactors& f) {
    return {_mm_set1_epi16(f.lumaOffset), _mm_set1_epi16(f.yScale),
            _mm_set1_epi16(f.vToRed),     _mm_set1_epi16(f.uToGreen),
            _mm_set1_epi16(f.vToGreen),   _mm_set1_epi16(f.uToBlue),
            _mm_set1_epi16(128),          _mm_set1_epi16(1 << (kSumBits - 1))};
}

// Centred, scaled luma of 8 pixels plus the rounding half of the final shift.
__attribute__((target("ssse3"))) inline __m128i Luma8(__m128i y16, const VectorFactors& k) {
    y16 = _mm_slli_epi16(_mm_sub_epi16(y16, k.lumaOffset), kSampleShift);
    return _mm_add_epi16(_mm_mulhrs_epi16(y16, k.yScale), k.half);
}

// 16 bytes of one channel: luma plus (or minus) a chroma term that serves its pair of pixels.
__attribute__((target("ssse3"))) inline __m128i Channel16(__m128i yLo, __m128i yHi, __m128i term,
                                                          bool subtract) {
    const __m128i lo = _mm_unpacklo_epi16(term, term);
    const __m128i hi = _mm_unpackhi_epi16(term, term);
    const __m128i a = subtract ? _mm_sub_epi16(yLo, lo) : _mm_add_epi16(yLo, lo);
    const __m128i b = subtract ? _mm_sub_epi16(yHi, hi) : _mm_add_epi16(yHi, hi);
    return _mm_packus_epi16(_mm_srai_epi16(a, kSumBits), _mm_srai_epi16(b, kSumBits));
}

// 16 pixels from 16 luma bytes and 8 chroma pairs (the low halves of `u` and `v`) to 48 BGR
// bytes at `out`, with the arithmetic of PutPixel.
__attribute__((target("ssse3"))) inline void Put16(__m128i y, __m128i u, __m128i v,
                                                   const VectorFactors& k, std::uint8_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i yLo = Luma8(_mm_unpacklo_epi8(y, zero), k);
    const __m128i yHi = Luma8(_mm_unpackhi_epi8(y, zero), k);
    const __m128i us =
        _mm_slli_epi16(_mm_sub_epi16(_mm_unpacklo_epi8(u, zero), k.chromaOffset), kSampleShift);
    const __m128i vs =
        _mm_slli_epi16(_mm_sub_epi16(_mm_unpacklo_epi8(v, zero), k.chromaOffset), kSampleShift);
    const __m128i green =
        _mm_add_epi16(_mm_mulhrs_epi16(us, k.uToGreen), _mm_mulhrs_epi16(vs, k.vToGreen));
    const __m128i planes[3] = {Channel16(yLo, yHi, _mm_mulhrs_epi16(us, k.uToBlue), false),
                               Channel16(yLo, yHi, green, true),
                               Channel16(yLo, yHi, _mm_mulhrs_epi16(vs, k.vToRed), false)};
    for (int o = 0; o < 3; ++o) {
        __m128i woven = zero;
        for (int c = 0; c < 3; ++c) {
            const __m128i order =
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(kWeave[3 * o + c].data()));
            woven = _mm_or_si128(woven, _mm_shuffle_epi8(planes[c], order));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * o), woven);
    }
}

// Vector rows: 16 pixels per step while whole steps fit in the row, the rest by RowPlain, so
// no load reaches past the row.
__attribute__((target("ssse3"))) void RowYuy2Ssse3(const std::uint8_t* y, const std::uint8_t*,
                                                   const std::uint8_t*, int width,
                                                   const RowContext& c, std::uint8_t* out) {
    const VectorFactors k = MakeVectorFactors(c.factors);
    // Luma to the low 8 bytes, then the 4 U and the 4 V bytes.
    const __m128i split = _mm_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 5, 9, 13, 3, 7, 11, 15);
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m128i a =
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(y + 2 * x)), split);
        const __m128i b = _mm_shuffle_epi8(
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + 2 * x + 16)), split);
        const __m128i uv = _mm_unpackhi_epi32(a, b);  // U0-3 U4-7 V0-3 V4-7
        Put16(_mm_unpacklo_epi64(a, b), uv, _mm_srli_si128(uv, 8), k, out + 3 * x);
    }
    RowPlain<YuvLayout::Yuy2>(y + 2 * x, nullptr, nullptr, width - x, c, out + 3 * x);
}

__attribute__((target("ssse3"))) void RowI420Ssse3(const std::uint8_t* y, const std::uint8_t* u,
                                                   const std::uint8_t* v, int width,
                                                   const RowContext& c, std::uint8_t* out) {
    const VectorFactors k = MakeVectorFactors(c.factors);
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        Put16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(y + x)),
              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(u + x / 2)),
              _mm_loadl_epi64(reinterpret_cast<const __m128i*>(v + x / 2)), k, out + 3 * x);
    }
    RowPlain<YuvLayout::I420>(y + x, u + x / 2, v + x / 2, width - x, c, out + 3 * x);
}

__attribute__((target("ssse3"))) void RowNv12Ssse3(const std::uint8_t* y, const std::uint8_t* uv,
                                                   const std::uint8_t*, int width,
                                                   const RowContext& c, std::uint8_t* out) {
    const VectorFactors k = MakeVectorFactors(c.factors);
    const __m128i split = _mm_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15);
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m128i chroma =
            _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(uv + x)), split);
        Put16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(y + x)), chroma,
              _mm_srli_si128(chroma, 8), k, out + 3 * x);
    }
    RowPlain<YuvLayout::Nv12>(y + x, uv + x, nullptr, width - x, c, out + 3 * x);
}

// The AVX2 rows do in each 128-bit lane what Put16 does, 32 pixels per step: lane 0 holds
// pixels 0-15, lane 1 pixels 16-31, each lane's chroma in its low 8 bytes.
struct WideFactors {
    __m256i lumaOffset, yScale, vToRed, uToGreen, vToGreen, uToBlue, chromaOffset, half;
};

__attribute__((target("avx2"))) WideFactors MakeWideFactors(const YuvToBgrFactors& f) {
    return {_mm256_set1_epi16(f.lumaOffset), _mm256_set1_epi16(f.yScale),
            _mm256_set1_epi16(f.vToRed),     _mm256_set1_epi16(f.uToGreen),
            _mm256_set1_epi16(f.vToGreen),   _mm256_set1_epi16(f.uToBlue),
            _mm256_set1_epi16(128),          _mm256_set1_epi16(1 << (kSumBits - 1))};
}

__attribute__((target("avx2"))) inline __m256i Luma16(__m256i y16, const WideFactors& k) {
    y16 = _mm256_slli_epi16(_mm256_sub_epi16(y16, k.lumaOffset), kSampleShift);
    return _mm256_add_epi16(_mm256_mulhrs_epi16(y16, k.yScale), k.half);
}

__attribute__((target("avx2"))) inline __m256i Channel32(__m256i yLo, __m256i yHi, __m256i term,
                                                         bool subtract) {
    const __m256i lo = _mm256_unpacklo_epi16(term, term);
    const __m256i hi = _mm256_unpackhi_epi16(term, term);
    const __m256i a = subtract ? _mm256_sub_epi16(yLo, lo) : _mm256_add_epi16(yLo, lo);
    const __m256i b = subtract ? _mm256_sub_epi16(yHi, hi) : _mm256_add_epi16(yHi, hi);
    return _mm256_packus_epi16(_mm256_srai_epi16(a, kSumBits), _mm256_srai_epi16(b, kSumBits));
}

__attribute__((target("avx2"))) inline void Put32(__m256i y, __m256i u, __m256i v,
                                                  const WideFactors& k, std::uint8_t* out) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i yLo = Luma16(_mm256_unpacklo_epi8(y, zero), k);
    const __m256i yHi = Luma16(_mm256_unpackhi_epi8(y, zero), k);
    const __m256i us = _mm256_slli_epi16(
        _mm256_sub_epi16(_mm256_unpacklo_epi8(u, zero), k.chromaOffset), kSampleShift);
    const __m256i vs = _mm256_slli_epi16(
        _mm256_sub_epi16(_mm256_unpacklo_epi8(v, zero), k.chromaOffset), kSampleShift);
    const __m256i green =
        _mm256_add_epi16(_mm256_mulhrs_epi16(us, k.uToGreen), _mm256_mulhrs_epi16(vs, k.vToGreen));
    const __m256i planes[3] = {Channel32(yLo, yHi, _mm256_mulhrs_epi16(us, k.uToBlue), false),
                               Channel32(yLo, yHi, green, true),
                               Channel32(yLo, yHi, _mm256_mulhrs_epi16(vs, k.vToRed), false)};
    __m256i woven[3];
    for (int o = 0; o < 3; ++o) {
        woven[o] = zero;
        for (int c = 0; c < 3; ++c) {
            const __m256i order = _mm256_broadcastsi128_si256(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(kWeave[3 * o + c].data())));
            woven[o] = _mm256_or_si256(woven[o], _mm256_shuffle_epi8(planes[c], order));
        }
    }
    // Lane 0 of the three woven registers is bytes 0-47, lane 1 bytes 48-95.
    auto* dst = reinterpret_cast<__m256i*>(out);
    _mm256_storeu_si256(dst, _mm256_permute2x128_si256(woven[0], woven[1], 0x20));
    _mm256_storeu_si256(dst + 1, _mm256_permute2x128_si256(woven[2], woven[0], 0x30));
    _mm256_storeu_si256(dst + 2, _mm256_permute2x128_si256(woven[1], woven[2], 0x31));
}

__attribute__((target("avx2"))) inline __m256i LoadWide(const std::uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// 16 chroma bytes spread so lane 0 holds bytes 0-7 and lane 1 bytes 8-15.
__attribute__((target("avx2"))) inline __m256i SpreadChroma(const std::uint8_t* p) {
    const __m256i c = _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
    return _mm256_permute4x64_epi64(c, _MM_SHUFFLE(1, 1, 0, 0));
}

__attribute__((target("avx2"))) void RowYuy2Avx2(const std::uint8_t* y, const std::uint8_t*,
                                                 const std::uint8_t*, int width,
                                                 const RowContext& c, std::uint8_t* out) {
    const WideFactors k = MakeWideFactors(c.factors);
    const __m256i split = _mm256_broadcastsi128_si256(
        _mm_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 5, 9, 13, 3, 7, 11, 15));
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        const __m256i a = _mm256_shuffle_epi8(LoadWide(y + 2 * x), split);
        const __m256i b = _mm256_shuffle_epi8(LoadWide(y + 2 * x + 32), split);
        const __m256i first = _mm256_permute2x128_si256(a, b, 0x20);
        const __m256i second = _mm256_permute2x128_si256(a, b, 0x31);
        const __m256i uv = _mm256_unpackhi_epi32(first, second);
        Put32(_mm256_unpacklo_epi64(first, second), uv, _mm256_srli_si256(uv, 8), k, out + 3 * x);
    }
    RowYuy2Ssse3(y + 2 * x, nullptr, nullptr, width - x, c, out + 3 * x);
}

__attribute__((target("avx2"))) void RowI420Avx2(const std::uint8_t* y, const std::uint8_t* u,
                                                 const std::uint8_t* v, int width,
                                                 const RowContext& c, std::uint8_t* out) {
    const WideFactors k = MakeWideFactors(c.factors);
    int x = 0;
    for (; x + 32 <= width; x += 32)
        Put32(LoadWide(y + x), SpreadChroma(u + x / 2), SpreadChroma(v + x / 2), k, out + 3 * x);
    RowI420Ssse3(y + x, u + x / 2, v + x / 2, width - x, c, out + 3 * x);
}

__attribute__((target("avx2"))) void RowNv12Avx2(const std::uint8_t* y, const std::uint8_t* uv,
                                                 const std::uint8_t*, int width,
                                                 const RowContext& c, std::uint8_t* out) {
    const WideFactors k = MakeWideFactors(c.factors);
    const __m256i split = _mm256_broadcastsi128_si256(
        _mm_setr_epi8(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15));
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        const __m256i chroma = _mm256_shuffle_epi8(LoadWide(uv + x), split);
        Put32(LoadWide(y + x), chroma, _mm256_srli_si256(chroma, 8), k, out + 3 * x);
    }
    RowNv12Ssse3(y + x, uv + x, nullptr, width - x, c, out + 3 * x);
}

#endif

RowFn PlainRow(YuvLayout layout) {
    switch (layout) {
        case YuvLayout::Yuy2:
            return RowPlain<YuvLayout::Yuy2>;
        case YuvLayout::I420:
            return RowPlain<YuvLayout::I420>;
        case YuvLayout::Nv12:
            break;
    }
    return RowPlain<YuvLayout::Nv12>;
}

RowFn ChooseRow(YuvLayout layout, ConvertCode code) {
    if (code == ConvertCode::Plain) return PlainRow(layout);
#if defined(VISTRELA_X86)
    if (cpu::hasAvx2 && code == ConvertCode::Best) {
        switch (layout) {
            case YuvLayout::Yuy2:
                return RowYuy2Avx2;
            case YuvLayout::I420:
                return RowI420Avx2;
            case YuvLayout::Nv12:
                return RowNv12Avx2;
        }
    }
    if (cpu::hasSsse3) {
        switch (layout) {
            case YuvLayout::Yuy2:
                return RowYuy2Ssse3;
            case YuvLayout::I420:
                return RowI420Ssse3;
            case YuvLayout::Nv12:
                return RowNv12Ssse3;
        }
    }
#endif
    return PlainRow(layout);
}

void ConvertRows(RowFn row, YuvLayout layout, const YuvPlanes& src, int width, int height,
                 const YuvToBgrFactors& factors, std::uint8_t* dst, int dstStrideBytes) {
    RowContext context;
    context.factors = factors;
    FillTerms(factors, context.terms);
    for (int r = 0; r < height; ++r) {
        const std::uint8_t* y = src.data[0] + static_cast<std::ptrdiff_t>(r) * src.strideBytes[0];
        const std::uint8_t* u = nullptr;
        const std::uint8_t* v = nullptr;
        if (layout != YuvLayout::Yuy2) {
            u = src.data[1] + static_cast<std::ptrdiff_t>(r / 2) * src.strideBytes[1];
            if (layout == YuvLayout::I420)
                v = src.data[2] + static_cast<std::ptrdiff_t>(r / 2) * src.strideBytes[2];
        }
        row(y, u, v, width, context, dst + static_cast<std::ptrdiff_t>(r) * dstStrideBytes);
    }
}

}  // namespace

YuvToBgrFactors MakeYuvToBgrFactors(const YuvColorimetry& c) {
    // Limited range spreads 219 luma and 224 chroma steps over the 255 of RGB.
    const double lumaScale = c.fullRange ? 1.0 : 255.0 / 219.0;
    const double chromaScale = c.fullRange ? 1.0 : 255.0 / 224.0;
    const double kg = 1.0 - c.kr - c.kb;
    YuvToBgrFactors f;
    f.lumaOffset = c.fullRange ? 0 : 16;
    f.yScale = Factor(lumaScale);
    f.vToRed = Factor(2.0 * (1.0 - c.kr) * chromaScale);
    f.uToGreen = Factor(2.0 * c.kb * (1.0 - c.kb) / kg * chromaScale);
    f.vToGreen = Factor(2.0 * c.kr * (1.0 - c.kr) / kg * chromaScale);
    f.uToBlue = Factor(2.0 * (1.0 - c.kb) * chromaScale);
    return f;
}

void ConvertYuvToBgr(YuvLayout layout, const YuvPlanes& src, int width, int height,
                     const YuvToBgrFactors& factors, std::uint8_t* dst, int dstStrideBytes,
                     ConvertCode code) {
    ConvertRows(ChooseRow(layout, code), layout, src, width, height, factors, dst, dstStrideBytes);
}

}  // namespace vistrela
