#include "viewer/pixel_loops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace vistrela {
namespace {

std::uint32_t Next(std::uint32_t& x) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    return x;
}

// The vector code of a quarter turn must give exactly the plain code's pixels, on sizes that
// are not multiples of its 8 x 8 blocks nor of its tiles, with padded rows, in both turning
// directions and every flip, with an overlay of every kind of pixel (key word, opaque ink,
// multiplying ink) whose ink spans start and end anywhere, so that ink outside a span must
// stay unmixed. The output
// is placed both on a cache line and off it: with every output row on a 32-byte boundary
// (rows a whole or a half number of lines long) the blocks are built straight from the
// frame, otherwise through the band buffer.
TEST(PixelLoops, QuarterTurnVectorCodeEqualsPlainCode) {
    constexpr std::uint32_t kKey = 0x00123456;
    constexpr std::uint32_t kGuard = 0x5a5a5a5a;
    std::uint32_t seed = 7;
    struct Size {
        int width, height, padding;
    };
    for (const Size s :
         {Size{301, 263, 5}, Size{13, 9, 0}, Size{7, 5, 2}, Size{1, 1, 0}, Size{136, 264, 0},
          Size{8, 520, 1}, Size{390, 17, 3}, Size{61, 48, 3}, Size{45, 40, 0}, Size{7, 16, 1}}) {
        const int stride = s.width * 3 + s.padding;
        std::vector<std::uint8_t> frame(static_cast<std::size_t>(stride) * s.height);
        for (std::uint8_t& b : frame) b = static_cast<std::uint8_t>(Next(seed));
        // The output is height x width.
        const int outWidth = s.height, outHeight = s.width;
        const std::size_t count = static_cast<std::size_t>(outWidth) * outHeight;
        std::vector<std::uint32_t> overlay(count);
        for (std::uint32_t& p : overlay) {
            // About half the pixels are near the key word, some differ from it in alpha only.
            const std::uint32_t r = Next(seed);
            p = r % 2 == 0 ? kKey | (r & 0xff000000u) : r;
        }
        std::vector<PixelSpan> spans(outHeight);
        for (PixelSpan& span : spans) {
            const int a = static_cast<int>(Next(seed) % (outWidth + 1));
            const int b = static_cast<int>(Next(seed) % (outWidth + 1));
            span = Next(seed) % 4 == 0 ? PixelSpan{0, outWidth}
                                       : PixelSpan{std::min(a, b), std::max(a, b)};
        }
        const MixLayer layer{overlay.data(), spans.data(), kKey};
        for (const int turns : {1, 3}) {
            for (int flip = 0; flip < 2; ++flip) {
                for (int mirror = 0; mirror < 2; ++mirror) {
                    for (const MixLayer* mix : {&layer, static_cast<const MixLayer*>(nullptr)}) {
                        for (const std::size_t offset : {std::size_t{0}, std::size_t{1}}) {
                            const FrameTransform how{flip != 0, mirror != 0, turns};
                            std::vector<std::uint32_t> scratch;
                            // The output `offset` pixels past a 64-byte boundary, a guard after.
                            const auto place = [&](std::vector<std::uint32_t>& buffer) {
                                buffer.assign(count + 1 + 16 + offset, kGuard);
                                const auto address =
                                    reinterpret_cast<std::uintptr_t>(buffer.data());
                                return buffer.data() + (64 - address % 64) % 64 / 4 + offset;
                            };
                            std::vector<std::uint32_t> plainBuffer, fastBuffer;
                            std::uint32_t* plain = place(plainBuffer);
                            std::uint32_t* fast = place(fastBuffer);
                            ConvertFrame(frame.data(), s.width, s.height, stride, how, plain,
                                         scratch, mix, LoopCode::Plain);
                            ConvertFrame(frame.data(), s.width, s.height, stride, how, fast,
                                         scratch, mix, LoopCode::Best);
                            const std::string what =
                                std::to_string(s.width) + "x" + std::to_string(s.height) +
                                " turns " + std::to_string(turns) + " flip " +
                                std::to_string(flip) + " mirror " + std::to_string(mirror) +
                                (mix != nullptr ? " mixed" : "") + " offset " +
                                std::to_string(offset);
                            ASSERT_EQ(plain[count], kGuard) << what;
                            ASSERT_EQ(fast[count], kGuard) << what;
                            for (std::size_t k = 0; k < count; ++k) {
                                ASSERT_EQ(fast[k], plain[k])
                                    << what << " at " << k % outWidth << "," << k / outWidth;
                            }
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace vistrela
