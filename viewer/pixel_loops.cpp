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

// Blends overlay pixels `ov` over `px` where they are not the key colour.
inline std::uint32_t Keyed(std::uint32_t px, std::uint32_t ov, std::uint32_t trans) {
    return (ov & 0x00ffffffu) != trans ? ov | kOpaque : px;
}

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
    const __m128i rgb = _mm_set1_epi32(0x00ffffff);
    const __m128i key = _mm_set1_epi32(static_cast<int>(trans));
    const auto put = [&](int k, __m128i v) {
        const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ov + k));
        const __m128i clear = _mm_cmpeq_epi32(_mm_and_si128(o, rgb), key);
        v = _mm_or_si128(_mm_and_si128(clear, v), _mm_andnot_si128(clear, o));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_or_si128(v, opaque));
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
    const __m128i rgb = _mm_set1_epi32(0x00ffffff);
    const __m128i key = _mm_set1_epi32(static_cast<int>(trans));
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
    for (; x + 4 <= end; x += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
        const __m128i clear = _mm_cmpeq_epi32(_mm_and_si128(v, rgb), key);
        if (_mm_movemask_epi8(clear) == 0xffff) continue;
        auto* out = reinterpret_cast<__m128i*>(dst + x);
        const __m128i old = _mm_loadu_si128(out);
        _mm_storeu_si128(out, _mm_or_si128(_mm_and_si128(clear, old),
                                           _mm_andnot_si128(clear, _mm_or_si128(v, opaque))));
    }
#endif
    for (; x < end; ++x) {
        const std::uint32_t v = src[x];
        if ((v & 0x00ffffffu) != trans) dst[x] = v | kOpaque;
    }
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

// The turn goes band by band of kBandRows buffer rows (output columns). A band's rows are
// first widened, whole and in the order they lie in memory, into the band buffer (half a
// kilobyte per frame column, so it stays in the caches); the output rows are then written
// from it eight at a time, each piece from its left end to its right end with the overlay
// mixed in. So the frame is read as one stream, as the unturned build reads it, and every
// output and overlay row is visited once per band in a run of half a kilobyte: the hardware
// prefetchers follow such runs, and each page is translated once per run rather than once
// per pixel, as it would be when reading or writing down columns.
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
    const __m256i rgb = _mm256_set1_epi32(0x00ffffff);
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
    const __m256i key =
        _mm256_set1_epi32(static_cast<int>(t.layer != nullptr ? t.layer->trans : 0));
    const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const bool stream = reinterpret_cast<std::uintptr_t>(t.dst) % 64 == 0 && t.outWidth % 16 == 0;
    for (int i = i0; i < i1; i += 8) {
        std::uint32_t* out[8];
        const std::uint32_t* ov[8];
        PixelSpan span[8];
        for (int k = 0; k < 8; ++k) {
            out[k] = t.Out(i + k);
            ov[k] = t.layer != nullptr ? t.Overlay(i + k) : nullptr;
            span[k] = t.layer != nullptr ? t.layer->spans[i + k] : PixelSpan{};
        }
        for (int j = j0; j < j1; j += 8) {
            // r_b = output rows i..i+7 of column j+b; after the transpose v[k] = output row
            // i+k, columns j..j+7.
            const std::uint32_t* p = tb[j - tj0] + (i - ti0);
            const std::ptrdiff_t s = tb.stride;
            const __m256i r0 = Load8(p), r1 = Load8(p + s), r2 = Load8(p + 2 * s);
            const __m256i r3 = Load8(p + 3 * s), r4 = Load8(p + 4 * s), r5 = Load8(p + 5 * s);
            const __m256i r6 = Load8(p + 6 * s), r7 = Load8(p + 7 * s);
            const __m256i a0 = _mm256_unpacklo_epi32(r0, r1);
            const __m256i a1 = _mm256_unpackhi_epi32(r0, r1);
            const __m256i a2 = _mm256_unpacklo_epi32(r2, r3);
            const __m256i a3 = _mm256_unpackhi_epi32(r2, r3);
            const __m256i a4 = _mm256_unpacklo_epi32(r4, r5);
            const __m256i a5 = _mm256_unpackhi_epi32(r4, r5);
            const __m256i a6 = _mm256_unpacklo_epi32(r6, r7);
            const __m256i a7 = _mm256_unpackhi_epi32(r6, r7);
            const __m256i b0 = _mm256_unpacklo_epi64(a0, a2);
            const __m256i b1 = _mm256_unpackhi_epi64(a0, a2);
            const __m256i b2 = _mm256_unpacklo_epi64(a1, a3);
            const __m256i b3 = _mm256_unpackhi_epi64(a1, a3);
            const __m256i b4 = _mm256_unpacklo_epi64(a4, a6);
            const __m256i b5 = _mm256_unpackhi_epi64(a4, a6);
            const __m256i b6 = _mm256_unpacklo_epi64(a5, a7);
            const __m256i b7 = _mm256_unpackhi_epi64(a5, a7);
            const __m256i v[8] = {
                _mm256_permute2x128_si256(b0, b4, 0x20), _mm256_permute2x128_si256(b1, b5, 0x20),
                _mm256_permute2x128_si256(b2, b6, 0x20), _mm256_permute2x128_si256(b3, b7, 0x20),
                _mm256_permute2x128_si256(b0, b4, 0x31), _mm256_permute2x128_si256(b1, b5, 0x31),
                _mm256_permute2x128_si256(b2, b6, 0x31), _mm256_permute2x128_si256(b3, b7, 0x31)};
            for (int k = 0; k < 8; ++k) {
                __m256i px = v[k];
                if (span[k].begin < j + 8 && span[k].end > j) {
                    const __m256i o =
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(ov[k] + j));
                    __m256i keep = _mm256_cmpeq_epi32(_mm256_and_si256(o, rgb), key);
                    if (span[k].begin > j || span[k].end < j + 8) {
                        // Only the span's columns are mixed.
                        const __m256i col = _mm256_add_epi32(lane, _mm256_set1_epi32(j));
                        keep = _mm256_or_si256(
                            keep, _mm256_or_si256(
                                      _mm256_cmpgt_epi32(_mm256_set1_epi32(span[k].begin), col),
                                      _mm256_cmpgt_epi32(col, _mm256_set1_epi32(span[k].end - 1))));
                    }
                    px = _mm256_blendv_epi8(_mm256_or_si256(o, opaque), px, keep);
                }
                auto* at = reinterpret_cast<__m256i*>(out[k] + j);
                if (stream) {
                    _mm256_stream_si256(at, px);
                } else {
                    _mm256_storeu_si256(at, px);
                }
            }
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
    const int bands = (height + kBandRows - 1) / kBandRows;
    const bool down = reverse != rowsUp;
    for (int b = 0; b < bands; ++b) {
        const int j0 = (down ? bands - 1 - b : b) * kBandRows;
        TurnPart(t, tb, 0, width, j0, std::min(height, j0 + kBandRows), code);
    }
#if defined(VISTRELA_X86)
    _mm_sfence();  // the streamed stores are seen before anything after the build
#endif
}

}  // namespace vistrela
