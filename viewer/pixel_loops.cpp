#include "viewer/pixel_loops.h"

#include <algorithm>
#include <bit>
#include <cstring>

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
// when `reverse`, from its last pixel back.
void RowOut(const std::uint8_t* src, int n, bool reverse, std::uint32_t* out, std::ptrdiff_t step) {
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
    for (int x = begin; x < end; ++x) {
        const std::uint32_t v = src[x];
        if ((v & 0x00ffffffu) != trans) dst[x] = v | kOpaque;
    }
}

void ConvertFrame(const std::uint8_t* bgr, int width, int height, int strideBytes,
                  const FrameTransform& how, std::uint32_t* dst) {
    const int turns = how.quarterTurns & 3;
    // The picture after the row flip and mirror, before the turn: its row r is buffer row
    // rowOf(r), read backwards when mirrored.
    auto rowOf = [&](int r) { return how.flipRows ? height - 1 - r : r; };
    auto bufferRow = [&](int r) {
        return bgr + static_cast<std::ptrdiff_t>(rowOf(r)) * strideBytes;
    };

    if (turns == 0 || turns == 2) {
        // Each output row is one buffer row; a half turn reverses both orders.
        const bool reverse = how.mirror != (turns == 2);
        for (int y = 0; y < height; ++y) {
            const int r = turns == 0 ? y : height - 1 - y;
            RowOut(bufferRow(r), width, reverse, dst + static_cast<std::ptrdiff_t>(y) * width, 1);
        }
        return;
    }

    // A quarter turn: each buffer row becomes an output column. Output is height pixels wide.
    // Right: output column j is picture row height - 1 - j and output row i picture column i.
    // Left: output column j is picture row j and output row i picture column width - 1 - i.
    const bool reverse = how.mirror != (turns == 3);
    // Consecutive buffer rows fill neighbouring output columns, so the output lines touched
    // by one row are completed by the next few rows while they are still cached.
    for (int j = 0; j < height; ++j) {
        const int r = turns == 1 ? height - 1 - j : j;
        RowOut(bufferRow(r), width, reverse, dst + j, height);
    }
}

}  // namespace vistrela
