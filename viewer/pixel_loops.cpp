#include "viewer/pixel_loops.h"

#include <algorithm>
#include <bit>
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
void RowLine(const std::uint8_t* src, int n, bool reverse, std::uint32_t* out) {
#if defined(VISTRELA_X86)
    if (cpu::hasSsse3) {
        RowLineSsse3(src, n, reverse, out);
        return;
    }
#endif
    RowOutScalar(src, n, reverse, out, 1);
}

void RowKeyed(const std::uint8_t* src, int n, bool reverse, std::uint32_t* out,
              const std::uint32_t* ov, std::uint32_t trans) {
#if defined(VISTRELA_X86)
    if (cpu::hasSsse3) {
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
                  const std::uint32_t* ov, PixelSpan span, std::uint32_t trans) {
    const int begin = std::clamp(span.begin, 0, n);
    const int end = std::clamp(span.end, begin, n);
    const auto piece = [&](int from, int to) { return src + 3 * (reverse ? n - to : from); };
    if (begin > 0) RowLine(piece(0, begin), begin, reverse, out);
    if (end > begin)
        RowKeyed(piece(begin, end), end - begin, reverse, out + begin, ov + begin, trans);
    if (n > end) RowLine(piece(end, n), n - end, reverse, out + end);
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
                      const MixLayer* layer) {
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
                         layer->trans);
        } else {
            RowLine(src, width, reverse, out);
        }
    }
}

namespace {

// Writes the band `band` (rows of `width` pixels; band row b, column i becomes output row
// i0 + i, column j0 + b) into the output, `outWidth` pixels per row, mixing `layer` where its
// rows hold ink.
void TransposeBand(const std::uint32_t* band, int rows, int width, std::uint32_t* dst, int outWidth,
                   int i0, int j0, const MixLayer* layer) {
    dst += static_cast<std::ptrdiff_t>(i0) * outWidth;
    MixLayer shifted;
    if (layer != nullptr) {
        shifted = {layer->pixels + static_cast<std::ptrdiff_t>(i0) * outWidth, layer->spans + i0,
                   layer->trans};
        layer = &shifted;
    }
    int i = 0;
#if defined(__SSE2__)
    // 4 x 4 blocks: four band rows, four columns each, become four output rows.
    const __m128i rgb = _mm_set1_epi32(0x00ffffff);
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
    const __m128i key = _mm_set1_epi32(static_cast<int>(layer != nullptr ? layer->trans : 0));
    const int rows4 = rows & ~3;
    for (; i + 4 <= width; i += 4) {
        for (int b = 0; b < rows4; b += 4) {
            const std::uint32_t* p = band + static_cast<std::ptrdiff_t>(b) * width + i;
            const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + width));
            const __m128i r2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 2 * width));
            const __m128i r3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 3 * width));
            const __m128i t0 = _mm_unpacklo_epi32(r0, r1), t1 = _mm_unpacklo_epi32(r2, r3);
            const __m128i t2 = _mm_unpackhi_epi32(r0, r1), t3 = _mm_unpackhi_epi32(r2, r3);
            const int j = j0 + b;
            const auto emit = [&](int row, __m128i v) {
                if (layer != nullptr && layer->spans[row].begin < j + 4 &&
                    layer->spans[row].end > j) {
                    const __m128i ov = _mm_loadu_si128(reinterpret_cast<const __m128i*>(
                        layer->pixels + static_cast<std::ptrdiff_t>(row) * outWidth + j));
                    const __m128i clear = _mm_cmpeq_epi32(_mm_and_si128(ov, rgb), key);
                    v = _mm_or_si128(_mm_and_si128(clear, v),
                                     _mm_andnot_si128(clear, _mm_or_si128(ov, opaque)));
                }
                _mm_storeu_si128(reinterpret_cast<__m128i*>(
                                     dst + static_cast<std::ptrdiff_t>(row) * outWidth + j),
                                 v);
            };
            emit(i, _mm_unpacklo_epi64(t0, t1));
            emit(i + 1, _mm_unpackhi_epi64(t0, t1));
            emit(i + 2, _mm_unpacklo_epi64(t2, t3));
            emit(i + 3, _mm_unpackhi_epi64(t2, t3));
        }
        for (int b = rows4; b < rows; ++b) {
            for (int q = 0; q < 4; ++q) {
                const int row = i + q, j = j0 + b;
                std::uint32_t v = band[static_cast<std::ptrdiff_t>(b) * width + row];
                if (layer != nullptr) {
                    v = Keyed(v, layer->pixels[static_cast<std::ptrdiff_t>(row) * outWidth + j],
                              layer->trans);
                }
                dst[static_cast<std::ptrdiff_t>(row) * outWidth + j] = v;
            }
        }
    }
#endif
    for (; i < width; ++i) {
        for (int b = 0; b < rows; ++b) {
            const int j = j0 + b;
            std::uint32_t v = band[static_cast<std::ptrdiff_t>(b) * width + i];
            if (layer != nullptr) {
                v = Keyed(v, layer->pixels[static_cast<std::ptrdiff_t>(i) * outWidth + j],
                          layer->trans);
            }
            dst[static_cast<std::ptrdiff_t>(i) * outWidth + j] = v;
        }
    }
}

}  // namespace

void ConvertFrame(const std::uint8_t* bgr, int width, int height, int strideBytes,
                  const FrameTransform& how, std::uint32_t* dst,
                  std::vector<std::uint32_t>& scratch, const MixLayer* layer) {
    const int turns = how.quarterTurns & 3;
    if (turns == 0 || turns == 2) {
        ConvertFrameRows(bgr, width, height, strideBytes, how, dst, 0, height, layer);
        return;
    }

    // A quarter turn: each buffer row becomes an output column; the output is `height` pixels
    // wide. Right: output column j is picture row height - 1 - j and output row i picture
    // column i. Left: output column j is picture row j and output row i picture column
    // width - 1 - i. A band of rows is converted into `scratch` at full speed and then written
    // out in small square blocks, so both reading and writing stay sequential enough for the
    // caches; the overlay is mixed into each block as it is written.
    // Square tiles of 64 x 64 pixels: 64 short pieces of buffer rows in, 64 short pieces of
    // output rows out. Whole rows would touch a new page for every output row of every band and
    // thrash the TLB; the tile keeps reads, writes and the overlay within a few pages at once.
    constexpr int kBand = 64;
    constexpr int kChunk = 64;
    const bool reverse = how.mirror != (turns == 3);
    scratch.resize(static_cast<std::size_t>(kBand) * std::min(kChunk, width));
    const auto tile = [&](int i0, int j0) {
        const int chunk = std::min(kChunk, width - i0);
        const int startCol = reverse ? width - i0 - chunk : i0;
        const int rows = std::min(kBand, height - j0);
        for (int b = 0; b < rows; ++b) {
            const int j = j0 + b;
            const int pictureRow = turns == 1 ? height - 1 - j : j;
            const int r = how.flipRows ? height - 1 - pictureRow : pictureRow;
            RowLine(bgr + static_cast<std::ptrdiff_t>(r) * strideBytes + 3 * startCol, chunk,
                    reverse, scratch.data() + static_cast<std::ptrdiff_t>(b) * chunk);
        }
        TransposeBand(scratch.data(), rows, chunk, dst, height, i0, j0, layer);
    };
    // Band by band down the frame, so the camera's buffer is read in its own order.
    for (int j0 = 0; j0 < height; j0 += kBand) {
        for (int i0 = 0; i0 < width; i0 += kChunk) tile(i0, j0);
    }
}

}  // namespace vistrela
