#include "viewer/resample_loops.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "common/cpu_features.h"

namespace vistrela {

static_assert(std::endian::native == std::endian::little,
              "the loops unpack pixels as little-endian B, G, R, A bytes");

namespace {

constexpr std::int32_t kRound = 1 << (kWeightBits - 1);

inline std::uint32_t Pack(std::int32_t b, std::int32_t g, std::int32_t r, std::int32_t a) {
    return (static_cast<std::uint32_t>(a >> kWeightBits) << 24) |
           (static_cast<std::uint32_t>(r >> kWeightBits) << 16) |
           (static_cast<std::uint32_t>(g >> kWeightBits) << 8) |
           static_cast<std::uint32_t>(b >> kWeightBits);
}

void BlendRowsScalar(const std::uint32_t* const* rows, const std::int16_t* weights, int count,
                     int begin, int end, std::uint32_t* out) {
    for (int x = begin; x < end; ++x) {
        std::int32_t b = kRound, g = kRound, r = kRound, a = kRound;
        for (int k = 0; k < count; ++k) {
            const std::uint32_t p = rows[k][x];
            const std::int32_t w = weights[k];
            b += static_cast<std::int32_t>(p & 0xffu) * w;
            g += static_cast<std::int32_t>((p >> 8) & 0xffu) * w;
            r += static_cast<std::int32_t>((p >> 16) & 0xffu) * w;
            a += static_cast<std::int32_t>(p >> 24) * w;
        }
        out[x] = Pack(b, g, r, a);
    }
}

void ResampleRowScalar(const std::uint32_t* src, const std::int32_t* starts,
                       const std::uint32_t* pairs, int taps, int begin, int end,
                       std::uint32_t* out) {
    for (int i = begin; i < end; ++i) {
        const std::uint32_t* p = src + starts[i];
        const std::uint32_t* w = pairs + static_cast<std::ptrdiff_t>(i) * (taps / 2) * 4;
        std::int32_t b = kRound, g = kRound, r = kRound, a = kRound;
        for (int k = 0; k < taps; ++k) {
            const std::uint32_t pair = w[k / 2 * 4];
            const std::int32_t wk = static_cast<std::int16_t>(k % 2 == 0 ? pair : pair >> 16);
            b += static_cast<std::int32_t>(p[k] & 0xffu) * wk;
            g += static_cast<std::int32_t>((p[k] >> 8) & 0xffu) * wk;
            r += static_cast<std::int32_t>((p[k] >> 16) & 0xffu) * wk;
            a += static_cast<std::int32_t>(p[k] >> 24) * wk;
        }
        out[i] = Pack(b, g, r, a);
    }
}

inline std::uint32_t WeightPair(std::int16_t w0, std::int16_t w1) {
    return static_cast<std::uint16_t>(w0) | (static_cast<std::uint32_t>(w1) << 16);
}

#if defined(VISTRELA_X86)

// Rows are blended two at a time: their bytes are interleaved as 16-bit pairs (row a, row b)
// so that one multiply-add gives w_a * a + w_b * b for every channel. Four pixels at once.
int BlendRowsSse2(const std::uint32_t* const* rows, const std::int16_t* weights, int count,
                  int begin, int width, std::uint32_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i round = _mm_set1_epi32(kRound);
    int x = begin;
    for (; x + 4 <= width; x += 4) {
        __m128i acc0 = round, acc1 = round, acc2 = round, acc3 = round;
        for (int k = 0; k < count; k += 2) {
            const bool pair = k + 1 < count;
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + x));
            const __m128i b =
                pair ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k + 1] + x)) : a;
            const __m128i w =
                _mm_set1_epi32(static_cast<int>(WeightPair(weights[k], pair ? weights[k + 1] : 0)));
            const __m128i alo = _mm_unpacklo_epi8(a, zero), ahi = _mm_unpackhi_epi8(a, zero);
            const __m128i blo = _mm_unpacklo_epi8(b, zero), bhi = _mm_unpackhi_epi8(b, zero);
            acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi16(alo, blo), w));
            acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi16(alo, blo), w));
            acc2 = _mm_add_epi32(acc2, _mm_madd_epi16(_mm_unpacklo_epi16(ahi, bhi), w));
            acc3 = _mm_add_epi32(acc3, _mm_madd_epi16(_mm_unpackhi_epi16(ahi, bhi), w));
        }
        const __m128i lo =
            _mm_packs_epi32(_mm_srai_epi32(acc0, kWeightBits), _mm_srai_epi32(acc1, kWeightBits));
        const __m128i hi =
            _mm_packs_epi32(_mm_srai_epi32(acc2, kWeightBits), _mm_srai_epi32(acc3, kWeightBits));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(lo, hi));
    }
    return x;
}

inline __m128i LoadPair(const std::uint32_t* p) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

// One weight pair, stored four times over.
inline __m128i Weights(const std::uint32_t* w) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(w));
}

inline __m128i Narrow(__m128i sums) {
    return _mm_srai_epi32(_mm_add_epi32(sums, _mm_set1_epi32(kRound)), kWeightBits);
}

// Two neighbouring pixels, whose 8 bytes are at the bottom of `v`, as 16-bit lanes
// B0 B1 G0 G1 R0 R1 A0 A1, so that one multiply-add with a weight pair gives B, G, R, A.
inline __m128i SpreadPairSse2(__m128i v) {
    const __m128i wide = _mm_unpacklo_epi8(v, _mm_setzero_si128());
    return _mm_unpacklo_epi16(wide, _mm_srli_si128(wide, 8));
}

// One output pixel as four 32-bit values (B, G, R, A), rounded and scaled down.
inline __m128i TapSumsSse2(const std::uint32_t* p, const std::uint32_t* w, int taps) {
    __m128i acc = _mm_madd_epi16(SpreadPairSse2(LoadPair(p)), Weights(w));
    for (int k = 2; k < taps; k += 2) {
        acc =
            _mm_add_epi32(acc, _mm_madd_epi16(SpreadPairSse2(LoadPair(p + k)), Weights(w + k * 2)));
    }
    return Narrow(acc);
}

int ResampleRowSse2(const std::uint32_t* src, const std::int32_t* starts,
                    const std::uint32_t* pairs, int taps, int outWidth, std::uint32_t* out) {
    const int half = taps / 2;
    int i = 0;
    for (; i + 4 <= outWidth; i += 4) {
        const std::uint32_t* w = pairs + static_cast<std::ptrdiff_t>(i) * half * 4;
        const __m128i s0 = TapSumsSse2(src + starts[i], w, taps);
        const __m128i s1 = TapSumsSse2(src + starts[i + 1], w + 4 * half, taps);
        const __m128i s2 = TapSumsSse2(src + starts[i + 2], w + 8 * half, taps);
        const __m128i s3 = TapSumsSse2(src + starts[i + 3], w + 12 * half, taps);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_packus_epi16(_mm_packs_epi32(s0, s1), _mm_packs_epi32(s2, s3)));
    }
    return i;
}

// The same with the spreading done by one byte shuffle.
__attribute__((target("ssse3"), always_inline)) inline __m128i TapSumsSsse3(const std::uint32_t* p,
                                                                            const std::uint32_t* w,
                                                                            int taps,
                                                                            __m128i order) {
    __m128i acc = _mm_madd_epi16(_mm_shuffle_epi8(LoadPair(p), order), Weights(w));
    for (int k = 2; k < taps; k += 2) {
        acc = _mm_add_epi32(
            acc, _mm_madd_epi16(_mm_shuffle_epi8(LoadPair(p + k), order), Weights(w + k * 2)));
    }
    return Narrow(acc);
}

__attribute__((target("ssse3"))) int ResampleRowSsse3(const std::uint32_t* src,
                                                      const std::int32_t* starts,
                                                      const std::uint32_t* pairs, int taps,
                                                      int outWidth, std::uint32_t* out) {
    const __m128i order = _mm_setr_epi8(0, -1, 4, -1, 1, -1, 5, -1, 2, -1, 6, -1, 3, -1, 7, -1);
    const int half = taps / 2;
    int i = 0;
    for (; i + 4 <= outWidth; i += 4) {
        const std::uint32_t* w = pairs + static_cast<std::ptrdiff_t>(i) * half * 4;
        const __m128i s0 = TapSumsSsse3(src + starts[i], w, taps, order);
        const __m128i s1 = TapSumsSsse3(src + starts[i + 1], w + 4 * half, taps, order);
        const __m128i s2 = TapSumsSsse3(src + starts[i + 2], w + 8 * half, taps, order);
        const __m128i s3 = TapSumsSsse3(src + starts[i + 3], w + 12 * half, taps, order);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_packus_epi16(_mm_packs_epi32(s0, s1), _mm_packs_epi32(s2, s3)));
    }
    return i;
}

// BlendRowsSse2 on eight pixels at a time. The unpacking and packing work within each
// 128-bit half, and so leave the pixels in their order.
__attribute__((target("avx2"))) int BlendRowsAvx2(const std::uint32_t* const* rows,
                                                  const std::int16_t* weights, int count, int begin,
                                                  int width, std::uint32_t* out) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i round = _mm256_set1_epi32(kRound);
    int x = begin;
    for (; x + 8 <= width; x += 8) {
        __m256i acc0 = round, acc1 = round, acc2 = round, acc3 = round;
        for (int k = 0; k < count; k += 2) {
            const bool pair = k + 1 < count;
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[k] + x));
            const __m256i b =
                pair ? _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rows[k + 1] + x)) : a;
            const __m256i w = _mm256_set1_epi32(
                static_cast<int>(WeightPair(weights[k], pair ? weights[k + 1] : 0)));
            const __m256i alo = _mm256_unpacklo_epi8(a, zero), ahi = _mm256_unpackhi_epi8(a, zero);
            const __m256i blo = _mm256_unpacklo_epi8(b, zero), bhi = _mm256_unpackhi_epi8(b, zero);
            acc0 = _mm256_add_epi32(acc0, _mm256_madd_epi16(_mm256_unpacklo_epi16(alo, blo), w));
            acc1 = _mm256_add_epi32(acc1, _mm256_madd_epi16(_mm256_unpackhi_epi16(alo, blo), w));
            acc2 = _mm256_add_epi32(acc2, _mm256_madd_epi16(_mm256_unpacklo_epi16(ahi, bhi), w));
            acc3 = _mm256_add_epi32(acc3, _mm256_madd_epi16(_mm256_unpackhi_epi16(ahi, bhi), w));
        }
        const __m256i lo = _mm256_packs_epi32(_mm256_srai_epi32(acc0, kWeightBits),
                                              _mm256_srai_epi32(acc1, kWeightBits));
        const __m256i hi = _mm256_packs_epi32(_mm256_srai_epi32(acc2, kWeightBits),
                                              _mm256_srai_epi32(acc3, kWeightBits));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm256_packus_epi16(lo, hi));
    }
    return x;
}

// Two rows as a + (b - a) * f, f the second weight in 15 bits: a third of the work of the
// multiply-add for the same rounded result. This is the common case, bilinear between rows.
__attribute__((target("avx2"))) int BlendTwoRowsAvx2(const std::uint32_t* rowA,
                                                     const std::uint32_t* rowB, std::int16_t wB,
                                                     int width, std::uint32_t* out) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i f = _mm256_set1_epi16(static_cast<std::int16_t>(std::min(wB * 2, 32767)));
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rowA + x));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(rowB + x));
        const __m256i alo = _mm256_unpacklo_epi8(a, zero), ahi = _mm256_unpackhi_epi8(a, zero);
        const __m256i blo = _mm256_unpacklo_epi8(b, zero), bhi = _mm256_unpackhi_epi8(b, zero);
        const __m256i lo =
            _mm256_add_epi16(alo, _mm256_mulhrs_epi16(_mm256_sub_epi16(blo, alo), f));
        const __m256i hi =
            _mm256_add_epi16(ahi, _mm256_mulhrs_epi16(_mm256_sub_epi16(bhi, ahi), f));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm256_packus_epi16(lo, hi));
    }
    return x;
}

// Four outputs of two taps each as a + (b - a) * f, 16 bits per channel: the pixel pairs of
// the four are gathered into one register and split into first and second pixels.
__attribute__((target("avx2"), always_inline)) inline __m256i FourTwoTapsAvx2(
    const std::uint32_t* src, const std::int32_t* starts, const std::int16_t* second) {
    // Within each 128-bit half: the first pixels of both outputs, then their second pixels.
    const __m256i split = _mm256_setr_epi8(0, 1, 2, 3, 8, 9, 10, 11, 4, 5, 6, 7, 12, 13, 14, 15, 0,
                                           1, 2, 3, 8, 9, 10, 11, 4, 5, 6, 7, 12, 13, 14, 15);
    const __m128i q01 = _mm_unpacklo_epi64(LoadPair(src + starts[0]), LoadPair(src + starts[1]));
    const __m128i q23 = _mm_unpacklo_epi64(LoadPair(src + starts[2]), LoadPair(src + starts[3]));
    const __m256i v = _mm256_shuffle_epi8(_mm256_set_m128i(q23, q01), split);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i a = _mm256_unpacklo_epi8(v, zero), b = _mm256_unpackhi_epi8(v, zero);
    const __m256i f = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(second));
    return _mm256_add_epi16(a, _mm256_mulhrs_epi16(_mm256_sub_epi16(b, a), f));
}

__attribute__((target("avx2"))) int ResampleTwoTapsAvx2(const std::uint32_t* src,
                                                        const std::int32_t* starts,
                                                        const std::int16_t* second, int outWidth,
                                                        std::uint32_t* out) {
    int i = 0;
    for (; i + 8 <= outWidth; i += 8) {
        const __m256i lo = FourTwoTapsAvx2(src, starts + i, second + std::ptrdiff_t{4} * i);
        const __m256i hi =
            FourTwoTapsAvx2(src, starts + i + 4, second + std::ptrdiff_t{4} * (i + 4));
        // Packing interleaves the halves: outputs 0 1 4 5 | 2 3 6 7, put back in order.
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                            _mm256_permute4x64_epi64(_mm256_packus_epi16(lo, hi), 0xd8));
    }
    return i;
}

#endif  // VISTRELA_X86

}  // namespace

void BlendRows(const std::uint32_t* const* rows, const std::int16_t* weights, int count, int width,
               std::uint32_t* out) {
    if (count == 1 && weights[0] == kWeightOne) {
        std::memcpy(out, rows[0], static_cast<std::size_t>(width) * sizeof *out);
        return;
    }
    int done = 0;
#if defined(VISTRELA_X86)
    if (cpu::hasAvx2) {
        done = count == 2 ? BlendTwoRowsAvx2(rows[0], rows[1], weights[1], width, out)
                          : BlendRowsAvx2(rows, weights, count, 0, width, out);
    }
    done = BlendRowsSse2(rows, weights, count, done, width, out);
#endif
    BlendRowsScalar(rows, weights, count, done, width, out);
}

void ResampleRow(const std::uint32_t* src, const ColumnWeights& columns, int outWidth,
                 std::uint32_t* out) {
    int done = 0;
#if defined(VISTRELA_X86)
    if (cpu::hasAvx2 && columns.second != nullptr) {
        done = ResampleTwoTapsAvx2(src, columns.starts, columns.second, outWidth, out);
    } else {
        done =
            cpu::hasSsse3
                ? ResampleRowSsse3(src, columns.starts, columns.pairs, columns.taps, outWidth, out)
                : ResampleRowSse2(src, columns.starts, columns.pairs, columns.taps, outWidth, out);
    }
#endif
    ResampleRowScalar(src, columns.starts, columns.pairs, columns.taps, done, outWidth, out);
}

}  // namespace vistrela
