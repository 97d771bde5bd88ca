#include "viewer/pixel_loops.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

#include "common/cpu_features.h"

namespace vistrela {

static_assert(std::endian::native == std::endian::little,
              "the 24-to-32-bit loops read BGR bytes as little-endian words");

namespace {

constexpr std::uint32_t kOpaque = 0xff000000u;

inline std::uint32_t Word(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline std::uint32_t Pixel3(const std::uint8_t* p) {
    return kOpaque | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
}

// Overlay pixel `ov` over `px`: opaque ink replaces it, multiplying ink multiplies it.
inline std::uint32_t Keyed(std::uint32_t px, std::uint32_t ov, std::uint32_t trans) {
    if (IsOpaqueInk(ov, trans)) return ov | kOpaque;
    return IsMultiplyInk(ov) ? MultiplyPixels(px, ov) : px;
}

#if defined(__SSE2__)
// MultiplyPixels on four pixels.
inline __m128i Multiply4(__m128i a, __m128i b) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(128);
    const auto part = [&](__m128i x, __m128i y) {
        const __m128i t = _mm_add_epi16(_mm_mullo_epi16(x, y), half);
        return _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_epi16(t, 8)), 8);
    };
    const __m128i lo = part(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
    const __m128i hi = part(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
    return _mm_or_si128(_mm_packus_epi16(lo, hi), _mm_set1_epi32(static_cast<int>(kOpaque)));
}

// Keyed on four pixels; `key` holds the key word. Without multiplying ink among the four
// (the usual case) only the compares and one blend run.
inline __m128i Keyed4(__m128i px, __m128i o, __m128i key) {
    const __m128i multiply = _mm_cmpgt_epi32(o, _mm_set1_epi32(-1));
    const __m128i clear = _mm_or_si128(_mm_cmpeq_epi32(o, key), multiply);
    __m128i out = _mm_or_si128(
        _mm_and_si128(clear, px),
        _mm_andnot_si128(clear, _mm_or_si128(o, _mm_set1_epi32(static_cast<int>(kOpaque)))));
    if (_mm_movemask_epi8(multiply) != 0) {
        out = _mm_or_si128(_mm_andnot_si128(multiply, out),
                           _mm_and_si128(multiply, Multiply4(px, o)));
    }
    return out;
}
#endif

// Four BGR pixels from 12 bytes read as three words, so no byte beyond them is touched.
struct Quad {
    std::uint32_t p0, p1, p2, p3;
};
inline Quad Pixels4(const std::uint8_t* p) {
    const std::uint32_t a = Word(p), b = Word(p + 4), c = Word(p + 8);
    return {kOpaque | a, kOpaque | (a >> 24) | (b << 8), kOpaque | (b >> 16) | (c << 16),
            kOpaque | (c >> 8)};
}

// One source row into `n` output pixels spaced `step` apart, reading the row forwards or,
// when `reverse`, from its last pixel back. Plain code for any target.
void RowOutScalar(const std::uint8_t* src, int n, bool reverse, std::uint32_t* out,
                  std::ptrdiff_t step) {
    int k = 0;
    if (!reverse) {
        for (; k + 4 <= n; k += 4) {
            const Quad q = Pixels4(src + 3 * k);
            out[k * step] = q.p0;
            out[(k + 1) * step] = q.p1;
            out[(k + 2) * step] = q.p2;
            out[(k + 3) * step] = q.p3;
        }
        for (; k < n; ++k) out[k * step] = Pixel3(src + 3 * k);
        return;
    }
    // Output k takes source column n - 1 - k; walk source quads from the row's end.
    for (; k + 4 <= n; k += 4) {
        const Quad q = Pixels4(src + 3 * (n - 4 - k));
        out[k * step] = q.p3;
        out[(k + 1) * step] = q.p2;
        out[(k + 2) * step] = q.p1;
        out[(k + 3) * step] = q.p0;
    }
    for (; k < n; ++k) out[k * step] = Pixel3(src + 3 * (n - 1 - k));
}

// RowOutScalar into consecutive pixels with the overlay row `ov` mixed over them.
void RowKeyedScalar(const std::uint8_t* src, int n, bool reverse, std::uint32_t* out,
                    const std::uint32_t* ov, std::uint32_t trans) {
    for (int k = 0; k < n; ++k) {
        out[k] = Keyed(Pixel3(src + 3 * (reverse ? n - 1 - k : k)), ov[k], trans);
    }
}

#if defined(VISTRELA_X86)
// The same into consecutive pixels with SSSE3 byte shuffles: four pixels per 16-byte load.
// Loads never reach outside the row: the ends are left to the plain code.
__attribute__((target("ssse3"))) void RowLineSsse3(const std::uint8_t* src, int n, bool reverse,
                                                   std::uint32_t* out) {
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
    int k = 0;
    if (!reverse) {
        const __m128i order = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
        for (; 3 * k + 16 <= 3 * n; k += 4) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * k));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                             _mm_or_si128(_mm_shuffle_epi8(v, order), opaque));
        }
        RowOutScalar(src + 3 * k, n - k, false, out + k, 1);
        return;
    }
    // Output pixels k..k+3 are source pixels n-1-k .. n-4-k, whose 12 bytes end the 16 loaded
    // from 4 bytes before them.
    const __m128i order = _mm_setr_epi8(13, 14, 15, -1, 10, 11, 12, -1, 7, 8, 9, -1, 4, 5, 6, -1);
    for (; k + 4 <= n && 3 * (n - 4 - k) - 4 >= 0; k += 4) {
        const __m128i v =
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * (n - 4 - k) - 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                         _mm_or_si128(_mm_shuffle_epi8(v, order), opaque));
    }
    RowOutScalar(src, n - k, true, out + k, 1);
}

// RowLineSsse3 with the overlay row `ov` mixed in before the store, so each output pixel is
// written once and the overlay is read straight after the frame bytes it meets.
__attribute__((target("ssse3"))) void RowKeyedSsse3(const std::uint8_t* src, int n, bool reverse,
                                                    std::uint32_t* out, const std::uint32_t* ov,
                                                    std::uint32_t trans) {
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
    const __m128i key = _mm_set1_epi32(static_cast<int>(trans));
    const auto put = [&](int k, __m128i v) {
        const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ov + k));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k),
                         Keyed4(_mm_or_si128(v, opaque), o, key));
    };
    int k = 0;
    if (!reverse) {
        const __m128i order = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
        for (; 3 * k + 16 <= 3 * n; k += 4) {
            put(k, _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * k)),
                                    order));
        }
        RowKeyedScalar(src + 3 * k, n - k, false, out + k, ov + k, trans);
        return;
    }
    const __m128i order = _mm_setr_epi8(13, 14, 15, -1, 10, 11, 12, -1, 7, 8, 9, -1, 4, 5, 6, -1);
    for (; k + 4 <= n && 3 * (n - 4 - k) - 4 >= 0; k += 4) {
        put(k, _mm_shuffle_epi8(
                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * (n - 4 - k) - 4)),
                   order));
    }
    RowKeyedScalar(src, n - k, true, out + k, ov + k, trans);
}

#endif

// One source row into `n` consecutive pixels, forwards or reversed.
void RowLine(const std::uint8_t* src, int n, bool reverse, std::uint32_t* out, LoopCode code) {
#if defined(VISTRELA_X86)
    if (code == LoopCode::Best && cpu::hasSsse3) {
        RowLineSsse3(src, n, reverse, out);
        return;
    }
#endif
    RowOutScalar(src, n, reverse, out, 1);
}

void RowKeyed(const std::uint8_t* src, int n, bool reverse, std::uint32_t* out,
              const std::uint32_t* ov, std::uint32_t trans, LoopCode code) {
#if defined(VISTRELA_X86)
    if (code == LoopCode::Best && cpu::hasSsse3) {
        RowKeyedSsse3(src, n, reverse, out, ov, trans);
        return;
    }
#endif
    RowKeyedScalar(src, n, reverse, out, ov, trans);
}

// One source row of `n` pixels into `out`, with overlay row `ov` mixed over output columns
// [begin, end) only; the overlay is not read outside them. Each part is converted from its
// own piece of the source row: output column k comes from source column k, or n - 1 - k when
// `reverse`.
void RowLineMixed(const std::uint8_t* src, int n, bool reverse, std::uint32_t* out,
                  const std::uint32_t* ov, PixelSpan span, std::uint32_t trans, LoopCode code) {
    const int begin = std::clamp(span.begin, 0, n);
    const int end = std::clamp(span.end, begin, n);
    const auto piece = [&](int from, int to) { return src + 3 * (reverse ? n - to : from); };
    if (begin > 0) RowLine(piece(0, begin), begin, reverse, out, code);
    if (end > begin)
        RowKeyed(piece(begin, end), end - begin, reverse, out + begin, ov + begin, trans, code);
    if (n > end) RowLine(piece(end, n), n - end, reverse, out + end, code);
}

// Rows of tiles this tall are written together so that the output lines they touch stay in
// the cache until they are full.
constexpr int kTurnBand = 16;

template <typename SourceIndex>
void TurnTiled(const std::uint32_t* src, int outWidth, int outHeight, std::uint32_t* dst,
               SourceIndex sourceIndex) {
    for (int i0 = 0; i0 < outHeight; i0 += kTurnBand) {
        const int i1 = std::min(outHeight, i0 + kTurnBand);
        for (int j0 = 0; j0 < outWidth; j0 += kTurnBand) {
            const int j1 = std::min(outWidth, j0 + kTurnBand);
            for (int i = i0; i < i1; ++i) {
                std::uint32_t* out = dst + static_cast<std::ptrdiff_t>(i) * outWidth;
                for (int j = j0; j < j1; ++j) out[j] = src[sourceIndex(i, j)];
            }
        }
    }
}

}  // namespace

void TurnPixelsRight(const std::uint32_t* src, int width, int height, std::uint32_t* dst) {
    // Output row i, column j shows source row height - 1 - j, column i.
    TurnTiled(src, height, width, dst, [=](int i, int j) {
        return static_cast<std::ptrdiff_t>(height - 1 - j) * width + i;
    });
}

void TurnPixelsLeft(const std::uint32_t* src, int width, int height, std::uint32_t* dst) {
    // Output row i, column j shows source row j, column width - 1 - i.
    TurnTiled(src, height, width, dst, [=](int i, int j) {
        return static_cast<std::ptrdiff_t>(j) * width + (width - 1 - i);
    });
}

void MixRow(const std::uint32_t* src, std::uint32_t* dst, int begin, int end, bool keyed,
            std::uint32_t trans) {
    if (!keyed) {
        for (int x = begin; x < end; ++x) dst[x] = src[x] | kOpaque;
        return;
    }
    int x = begin;
#if defined(__SSE2__)
    // Four pixels at a time: a run of transparent pixels costs one compare and no store.
    const __m128i key = _mm_set1_epi32(static_cast<int>(trans));
    for (; x + 4 <= end; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(v, key)) == 0xffff) continue;
        auto* out = reinterpret_cast<__m128i*>(dst + x);
        _mm_storeu_si128(out, Keyed4(_mm_loadu_si128(out), v, key));
    }
#endif
    for (; x < end; ++x) dst[x] = Keyed(dst[x], src[x], trans);
}

void ConvertFrameRows(const std::uint8_t* bgr, int width, int height, int strideBytes,
                      const FrameTransform& how, std::uint32_t* dst, int rowBegin, int rowEnd,
                      const MixLayer* layer, LoopCode code) {
    // Each output row is one buffer row; a half turn reverses both orders.
    const bool half = (how.quarterTurns & 3) == 2;
    const bool reverse = how.mirror != half;
    for (int y = rowBegin; y < rowEnd; ++y) {
        const int pictureRow = half ? height - 1 - y : y;
        const int r = how.flipRows ? height - 1 - pictureRow : pictureRow;
        const std::uint8_t* src = bgr + static_cast<std::ptrdiff_t>(r) * strideBytes;
        std::uint32_t* out = dst + static_cast<std::ptrdiff_t>(y) * width;
        if (layer != nullptr) {
            RowLineMixed(src, width, reverse, out,
                         layer->pixels + static_cast<std::ptrdiff_t>(y) * width, layer->spans[y],
                         layer->trans, code);
        } else {
            RowLine(src, width, reverse, out, code);
        }
    }
}

namespace {

// A quarter turn as output rows and columns. The output is `outWidth` (the frame's height)
// pixels wide and `outHeight` (the frame's width) rows tall; output column j shows buffer
// row Row(j), and output row i buffer column i, or outHeight - 1 - i when `reverse`.
struct Turn {
    const std::uint8_t* bgr;
    std::ptrdiff_t stride;
    int outWidth;
    int outHeight;
    bool rowsUp;   // output column j shows buffer row outWidth - 1 - j, else row j
    bool reverse;  // output row i shows buffer column outHeight - 1 - i, else column i
    std::uint32_t* dst;
    const MixLayer* layer;

    const std::uint8_t* Row(int j) const { return bgr + (rowsUp ? outWidth - 1 - j : j) * stride; }
    std::uint32_t* Out(int i) const { return dst + static_cast<std::ptrdiff_t>(i) * outWidth; }
    const std::uint32_t* Overlay(int i) const {
        return layer->pixels + static_cast<std::ptrdiff_t>(i) * outWidth;
    }
};

// The plain code, and the vector code when the output rows do not all start on 32-byte
// boundaries (or for the edges TurnDirectAvx2 leaves), turn band by band of kBandRows buffer
// rows (output columns). A band's rows are first widened, whole and in the order they lie in
// memory, into the band buffer (half a kilobyte per frame column, so it stays in the caches);
// the output rows are then written from it eight at a time, each piece from its left end to
// its right end with the overlay mixed in. So the frame is read as one stream, as the
// unturned build reads it, and every output and overlay row is visited once per band in a
// run of half a kilobyte: the hardware prefetchers follow such runs, and each page is
// translated once per run rather than once per pixel, as it would be when reading or writing
// down columns.
constexpr int kBandRows = 128;

// Row b holds output column j0 + b of the band starting at j0, output rows 0..outHeight-1:
// buffer row Row(j0 + b), reversed when the turn reverses.
struct BandBuffer {
    std::uint32_t* data;
    int stride;
    std::uint32_t* operator[](int b) const {
        return data + static_cast<std::ptrdiff_t>(b) * stride;
    }
};

// Output rows [i0, i1) and columns [j0, j1) from the band buffer holding output rows from ti0
// and columns from tj0, a pixel at a time.
void WriteBandPlain(const Turn& t, const BandBuffer& tb, int ti0, int tj0, int i0, int i1, int j0,
                    int j1) {
    for (int i = i0; i < i1; ++i) {
        std::uint32_t* out = t.Out(i);
        int mixBegin = j1, mixEnd = j1;
        if (t.layer != nullptr) {
            mixBegin = std::clamp(t.layer->spans[i].begin, j0, j1);
            mixEnd = std::clamp(t.layer->spans[i].end, mixBegin, j1);
        }
        for (int j = j0; j < mixBegin; ++j) out[j] = tb[j - tj0][i - ti0];
        if (mixBegin < mixEnd) {
            const std::uint32_t* ov = t.Overlay(i);
            for (int j = mixBegin; j < mixEnd; ++j)
                out[j] = Keyed(tb[j - tj0][i - ti0], ov[j], t.layer->trans);
        }
        for (int j = mixEnd; j < j1; ++j) out[j] = tb[j - tj0][i - ti0];
    }
}

#if defined(VISTRELA_X86)
// Bytes 0-15 of the pixels at `p` in one lane and bytes 8-23 in the other: eight pixels, and
// not one byte past them.
__attribute__((target("avx2"))) inline __m256i Load24(const std::uint8_t* p, bool swap) {
    const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8));
    return swap ? _mm256_inserti128_si256(_mm256_castsi128_si256(hi), lo, 1)
                : _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
}

__attribute__((target("avx2"))) inline __m256i Load8(const std::uint32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// An 8 x 8 block of pixels transposed: v[k] lane b = r[b] lane k.
__attribute__((target("avx2"))) inline void Transpose8(const __m256i* r, __m256i* v) {
    const __m256i a0 = _mm256_unpacklo_epi32(r[0], r[1]);
    const __m256i a1 = _mm256_unpackhi_epi32(r[0], r[1]);
    const __m256i a2 = _mm256_unpacklo_epi32(r[2], r[3]);
    const __m256i a3 = _mm256_unpackhi_epi32(r[2], r[3]);
    const __m256i a4 = _mm256_unpacklo_epi32(r[4], r[5]);
    const __m256i a5 = _mm256_unpackhi_epi32(r[4], r[5]);
    const __m256i a6 = _mm256_unpacklo_epi32(r[6], r[7]);
    const __m256i a7 = _mm256_unpackhi_epi32(r[6], r[7]);
    const __m256i b0 = _mm256_unpacklo_epi64(a0, a2);
    const __m256i b1 = _mm256_unpackhi_epi64(a0, a2);
    const __m256i b2 = _mm256_unpacklo_epi64(a1, a3);
    const __m256i b3 = _mm256_unpackhi_epi64(a1, a3);
    const __m256i b4 = _mm256_unpacklo_epi64(a4, a6);
    const __m256i b5 = _mm256_unpackhi_epi64(a4, a6);
    const __m256i b6 = _mm256_unpacklo_epi64(a5, a7);
    const __m256i b7 = _mm256_unpackhi_epi64(a5, a7);
    v[0] = _mm256_permute2x128_si256(b0, b4, 0x20);
    v[1] = _mm256_permute2x128_si256(b1, b5, 0x20);
    v[2] = _mm256_permute2x128_si256(b2, b6, 0x20);
    v[3] = _mm256_permute2x128_si256(b3, b7, 0x20);
    v[4] = _mm256_permute2x128_si256(b0, b4, 0x31);
    v[5] = _mm256_permute2x128_si256(b1, b5, 0x31);
    v[6] = _mm256_permute2x128_si256(b2, b6, 0x31);
    v[7] = _mm256_permute2x128_si256(b3, b7, 0x31);
}

// x * y / 255 rounded, on 16-bit lanes.
__attribute__((target("avx2"))) inline __m256i Multiply16(__m256i x, __m256i y) {
    const __m256i t = _mm256_add_epi16(_mm256_mullo_epi16(x, y), _mm256_set1_epi16(128));
    return _mm256_srli_epi16(_mm256_add_epi16(t, _mm256_srli_epi16(t, 8)), 8);
}

// MultiplyPixels on eight pixels.
__attribute__((target("avx2"))) inline __m256i Multiply8(__m256i a, __m256i b) {
    const __m256i zero = _mm256_setzero_si256();
    const __m256i lo = Multiply16(_mm256_unpacklo_epi8(a, zero), _mm256_unpacklo_epi8(b, zero));
    const __m256i hi = Multiply16(_mm256_unpackhi_epi8(a, zero), _mm256_unpackhi_epi8(b, zero));
    return _mm256_or_si256(_mm256_packus_epi16(lo, hi),
                           _mm256_set1_epi32(static_cast<int>(kOpaque)));
}

// Keyed on eight pixels, leaving the lanes in `outside` as they are.
__attribute__((target("avx2"))) inline __m256i Keyed8(__m256i px, __m256i o, std::uint32_t trans,
                                                      __m256i outside) {
    const __m256i multiply =
        _mm256_andnot_si256(outside, _mm256_cmpgt_epi32(o, _mm256_set1_epi32(-1)));
    const __m256i keep = _mm256_or_si256(
        _mm256_or_si256(_mm256_cmpeq_epi32(o, _mm256_set1_epi32(static_cast<int>(trans))),
                        multiply),
        outside);
    __m256i out = _mm256_blendv_epi8(
        _mm256_or_si256(o, _mm256_set1_epi32(static_cast<int>(kOpaque))), px, keep);
    if (!_mm256_testz_si256(multiply, multiply))
        out = _mm256_blendv_epi8(out, Multiply8(px, o), multiply);
    return out;
}

// Output pixels `px` at columns j..j+7 of a row with overlay row `ov` and ink span `span`
// mixed over them; the overlay is read only when the span meets those columns.
__attribute__((target("avx2"))) inline __m256i MixBlockRow(__m256i px, const std::uint32_t* ov,
                                                           int j, PixelSpan span,
                                                           std::uint32_t trans) {
    if (span.begin >= j + 8 || span.end <= j) return px;
    const __m256i o = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ov + j));
    __m256i outside = _mm256_setzero_si256();
    if (span.begin > j || span.end < j + 8) {
        // Only the span's columns are mixed.
        const __m256i col =
            _mm256_add_epi32(_mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7), _mm256_set1_epi32(j));
        outside = _mm256_or_si256(_mm256_cmpgt_epi32(_mm256_set1_epi32(span.begin), col),
                                  _mm256_cmpgt_epi32(col, _mm256_set1_epi32(span.end - 1)));
    }
    return Keyed8(px, o, trans, outside);
}

// `n` buffer pixels into 32-bit words, eight per step, or when `reverse` the last pixel first
// (the run is then read from its end, so that the frame is read as one stream). The rest of
// the run by the plain code.
__attribute__((target("avx2"))) void WidenAvx2(const std::uint8_t* src, int n, bool reverse,
                                               std::uint32_t* out) {
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
    int k = 0;
    if (!reverse) {
        // Pixels 0-3 from bytes 0-11 of the low lane, 4-7 from bytes 4-15 of the high lane.
        const __m256i order =
            _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 4, 5, 6, -1, 7,
                             8, 9, -1, 10, 11, 12, -1, 13, 14, 15, -1);
        for (; k + 8 <= n; k += 8) {
            const __m256i v = _mm256_shuffle_epi8(Load24(src + 3 * k, false), order);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), _mm256_or_si256(v, opaque));
        }
        RowOutScalar(src + 3 * k, n - k, false, out + k, 1);
        return;
    }
    // Output k..k+7 are pixels n-1-k .. n-8-k: the second load, in the low lane, gives the
    // first four of them, the first load, in the high lane, the other four.
    const __m256i order = _mm256_setr_epi8(13, 14, 15, -1, 10, 11, 12, -1, 7, 8, 9, -1, 4, 5, 6, -1,
                                           9, 10, 11, -1, 6, 7, 8, -1, 3, 4, 5, -1, 0, 1, 2, -1);
    for (; k + 8 <= n; k += 8) {
        const __m256i v = _mm256_shuffle_epi8(Load24(src + 3 * (n - 8 - k), true), order);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + k), _mm256_or_si256(v, opaque));
    }
    RowOutScalar(src, n - k, true, out + k, 1);
}

// Output rows [i0, i1) and columns [j0, j1) from the band buffer, both multiples of 8
// long, in 8 x 8 blocks transposed in registers, with the overlay mixed in before each
// store. When output rows start on cache-line boundaries (so that the runs fill whole lines)
// the stores bypass the caches: the picture is not read again while it is built, and the
// lines need not be fetched before they are written.
__attribute__((target("avx2"))) void WriteBandAvx2(const Turn& t, const BandBuffer& tb, int ti0,
                                                   int tj0, int i0, int i1, int j0, int j1) {
    const bool stream = reinterpret_cast<std::uintptr_t>(t.dst) % 64 == 0 && t.outWidth % 16 == 0;
    for (int i = i0; i < i1; i += 8) {
        for (int j = j0; j < j1; j += 8) {
            // r[b] = output rows i..i+7 of column j+b; after the transpose v[k] = output row
            // i+k, columns j..j+7.
            const std::uint32_t* p = tb[j - tj0] + (i - ti0);
            __m256i r[8], v[8];
            for (int b = 0; b < 8; ++b)
                r[b] = Load8(p + b * static_cast<std::ptrdiff_t>(tb.stride));
            Transpose8(r, v);
            for (int k = 0; k < 8; ++k) {
                __m256i px = v[k];
                if (t.layer != nullptr)
                    px =
                        MixBlockRow(px, t.Overlay(i + k), j, t.layer->spans[i + k], t.layer->trans);
                auto* at = reinterpret_cast<__m256i*>(t.Out(i + k) + j);
                if (stream) {
                    _mm256_stream_si256(at, px);
                } else {
                    _mm256_storeu_si256(at, px);
                }
            }
        }
    }
}

// Overlay row `ov` mixed over output row `out` in columns [begin, end). The output is only
// written, never read: its lines were just streamed to memory, and reading them back would
// wait for each one, while the few stores where there is ink go out without waiting.
__attribute__((target("avx2"))) void MixRowAvx2(const std::uint32_t* ov, std::uint32_t* out,
                                                int begin, int end, std::uint32_t trans) {
    const __m256i key = _mm256_set1_epi32(static_cast<int>(trans));
    const __m256i none = _mm256_set1_epi32(-1);
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
    int x = begin;
    for (; x + 8 <= end; x += 8) {
        const __m256i o = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ov + x));
        const __m256i multiply = _mm256_cmpgt_epi32(o, none);
        const __m256i clear = _mm256_or_si256(_mm256_cmpeq_epi32(o, key), multiply);
        if (_mm256_movemask_epi8(clear) == -1 && _mm256_testz_si256(multiply, multiply)) continue;
        auto* at = reinterpret_cast<__m256i*>(out + x);
        if (!_mm256_testz_si256(multiply, multiply)) {
            // Multiplying ink needs the picture below: only here is the output read back.
            _mm256_storeu_si256(at,
                                Keyed8(_mm256_loadu_si256(at), o, trans, _mm256_setzero_si256()));
            continue;
        }
        _mm256_maskstore_epi32(reinterpret_cast<int*>(out + x),
                               _mm256_xor_si256(clear, _mm256_set1_epi32(-1)),
                               _mm256_or_si256(o, opaque));
    }
    for (; x < end; ++x) out[x] = Keyed(out[x], ov[x], trans);
}

// Output rows [0, i1) and columns [0, j1), i1 a multiple of 8 and j1 of 16, straight from
// the frame without the overlay: 16 buffer rows (output columns) at a time, eight pixels of
// each widened in a register, two 8 x 8 blocks transposed in registers and stored as
// 16-pixel runs of eight output rows. The 16 frame rows are read as forward (or backward)
// streams, and nothing passes through memory on the way. Every output row must start on a
// 32-byte boundary: the stores then fill whole cache lines and bypass the caches (the picture
// is not read again while it is built, and its lines need not be fetched before they are
// written). A row starting half-way into a line has its lines start 8 columns into each run,
// so the run's last 8 pixels are kept in `carry` (8 pixels per output row) and stored with
// the next run's first 8.
__attribute__((target("avx2"))) void TurnDirectAvx2(const Turn& t, int i1, int j1,
                                                    std::uint32_t* carry) {
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
    // As in WidenAvx2: pixels in the buffer's order, or the last first.
    const __m256i order =
        t.reverse ? _mm256_setr_epi8(13, 14, 15, -1, 10, 11, 12, -1, 7, 8, 9, -1, 4, 5, 6, -1, 9,
                                     10, 11, -1, 6, 7, 8, -1, 3, 4, 5, -1, 0, 1, 2, -1)
                  : _mm256_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1, 4, 5, 6,
                                     -1, 7, 8, 9, -1, 10, 11, 12, -1, 13, 14, 15, -1);
    const auto split = [](const std::uint32_t* row) {
        return (reinterpret_cast<std::uintptr_t>(row) & 32) != 0;
    };
    const auto at = [](std::uint32_t* p) { return reinterpret_cast<__m256i*>(p); };
    for (int j = 0; j < j1; j += 16) {
        const std::uint8_t* row[16];
        for (int b = 0; b < 16; ++b) row[b] = t.Row(j + b);
        for (int i = 0; i < i1; i += 8) {
            // Output rows i..i+7 are buffer columns i..i+7, or outHeight-1-i .. outHeight-8-i.
            const std::ptrdiff_t from =
                3 * static_cast<std::ptrdiff_t>(t.reverse ? t.outHeight - 8 - i : i);
            // r[b] = output rows i..i+7 of column j+b (then j+8+b); after the transposes
            // v[k] and w[k] = output row i+k, columns j..j+7 and j+8..j+15.
            __m256i r[8], v[8], w[8];
            for (int b = 0; b < 8; ++b) {
                r[b] = _mm256_or_si256(_mm256_shuffle_epi8(Load24(row[b] + from, t.reverse), order),
                                       opaque);
            }
            Transpose8(r, v);
            for (int b = 0; b < 8; ++b) {
                r[b] = _mm256_or_si256(
                    _mm256_shuffle_epi8(Load24(row[8 + b] + from, t.reverse), order), opaque);
            }
            Transpose8(r, w);
            for (int k = 0; k < 8; ++k) {
                std::uint32_t* out = t.Out(i + k);
                if (!split(out)) {
                    _mm256_stream_si256(at(out + j), v[k]);
                    _mm256_stream_si256(at(out + j + 8), w[k]);
                    continue;
                }
                std::uint32_t* kept = carry + 8 * static_cast<std::ptrdiff_t>(i + k);
                if (j == 0) {
                    _mm256_storeu_si256(at(out), v[k]);  // the row's first half line
                } else {
                    _mm256_stream_si256(at(out + j - 8), _mm256_loadu_si256(at(kept)));
                    _mm256_stream_si256(at(out + j), v[k]);
                }
                _mm256_storeu_si256(at(kept), w[k]);
            }
        }
    }
    // The last half lines of the rows that start half-way into a line.
    for (int i = 0; i < i1; ++i) {
        std::uint32_t* out = t.Out(i);
        if (split(out) && j1 > 0) {
            _mm256_storeu_si256(at(out + j1 - 8),
                                _mm256_loadu_si256(at(carry + 8 * static_cast<std::ptrdiff_t>(i))));
        }
    }
}
#endif

// Output rows [i0, i1) and columns [j0, j1): their buffer pixels widened into the band
// buffer, then written out.
void TurnPart(const Turn& t, const BandBuffer& tb, int i0, int i1, int j0, int j1, LoopCode code) {
    const int n = i1 - i0;
    const int first = t.reverse ? t.outHeight - i1 : i0;
#if defined(VISTRELA_X86)
    if (code == LoopCode::Best && cpu::hasAvx2) {
        // Rows in the direction the run goes, so that the frame is read as one stream.
        if (t.reverse != t.rowsUp) {
            for (int j = j1 - 1; j >= j0; --j)
                WidenAvx2(t.Row(j) + 3 * first, n, t.reverse, tb[j - j0]);
        } else {
            for (int j = j0; j < j1; ++j) WidenAvx2(t.Row(j) + 3 * first, n, t.reverse, tb[j - j0]);
        }
        const int iv = i0 + n / 8 * 8;
        const int jv = j0 + (j1 - j0) / 8 * 8;
        if (iv > i0 && jv > j0) WriteBandAvx2(t, tb, i0, j0, i0, iv, j0, jv);
        if (jv < j1) WriteBandPlain(t, tb, i0, j0, i0, iv, jv, j1);
        if (iv < i1) WriteBandPlain(t, tb, i0, j0, iv, i1, j0, j1);
        return;
    }
#endif
    for (int j = j0; j < j1; ++j) RowOutScalar(t.Row(j) + 3 * first, n, t.reverse, tb[j - j0], 1);
    WriteBandPlain(t, tb, i0, j0, i0, i1, j0, j1);
}

}  // namespace

void ConvertFrame(const std::uint8_t* bgr, int width, int height, int strideBytes,
                  const FrameTransform& how, std::uint32_t* dst,
                  std::vector<std::uint32_t>& scratch, const MixLayer* layer, LoopCode code) {
    const int turns = how.quarterTurns & 3;
    if (turns == 0 || turns == 2) {
        ConvertFrameRows(bgr, width, height, strideBytes, how, dst, 0, height, layer, code);
        return;
    }
    // A quarter turn: each buffer row becomes an output column. Right: output column j is
    // picture row height - 1 - j and output row i picture column i. Left: output column j is
    // picture row j and output row i picture column width - 1 - i.
    const bool reverse = how.mirror != (turns == 3);
    const bool rowsUp = (turns == 1) != how.flipRows;
    const Turn t{bgr, strideBytes, height, width, rowsUp, reverse, dst, layer};
    scratch.resize(static_cast<std::size_t>(kBandRows) * width);
    const BandBuffer tb{scratch.data(), width};
    // Bands, like the rows within a band, go the way the rows are read: when each row is read
    // from its end, the frame is read from its last byte to its first, else from its first.
    const bool down = reverse != rowsUp;
    const auto turnBands = [&](int i0, int i1, int j0, int j1) {
        const int bands = (j1 - j0 + kBandRows - 1) / kBandRows;
        for (int b = 0; b < bands; ++b) {
            const int jb = j0 + (down ? bands - 1 - b : b) * kBandRows;
            TurnPart(t, tb, i0, i1, jb, std::min(j1, jb + kBandRows), code);
        }
    };
#if defined(VISTRELA_X86)
    // When every output row starts on a 32-byte boundary: whole 16 x 8 blocks straight from
    // the frame, the last output columns and rows that do not fill one through the band
    // buffer, and then the overlay mixed in a pass of its own. Read row by row, the overlay is
    // a single forward stream; read down the columns of blocks or bands, as the turn writes
    // them, each of its rows would be a short run, and that costs more than the turn itself.
    if (code == LoopCode::Best && cpu::hasAvx2 && reinterpret_cast<std::uintptr_t>(dst) % 32 == 0 &&
        height % 8 == 0) {
        Turn bare = t;
        bare.layer = nullptr;
        const int iv = width / 8 * 8, jv = height / 16 * 16;
        if (iv > 0 && jv > 0) TurnDirectAvx2(bare, iv, jv, scratch.data());
        for (int j0 = jv; j0 < height; j0 += kBandRows)
            TurnPart(bare, tb, 0, width, j0, std::min(height, j0 + kBandRows), code);
        for (int j0 = 0; j0 < jv && iv < width; j0 += kBandRows)
            TurnPart(bare, tb, iv, width, j0, std::min(jv, j0 + kBandRows), code);
        _mm_sfence();  // the streamed stores are seen before the overlay pass and after it
        if (layer != nullptr) {
            for (int i = 0; i < width; ++i) {
                const int begin = std::clamp(layer->spans[i].begin, 0, height);
                const int end = std::clamp(layer->spans[i].end, begin, height);
                const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(i) * height;
                MixRowAvx2(layer->pixels + row, dst + row, begin, end, layer->trans);
            }
        }
        return;
    }
#endif
    turnBands(0, width, 0, height);
#if defined(VISTRELA_X86)
    _mm_sfence();  // the streamed stores are seen before anything after the build
#endif
}

}  // namespace vistrela
