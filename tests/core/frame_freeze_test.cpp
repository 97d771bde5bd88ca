#include "viewer/frame_freeze.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vistrela {
namespace {

// A padded 3 x 2 BGR frame whose bytes all equal `value` (padding 0xEE).
struct Frame {
    explicit Frame(std::uint8_t value) : bytes(2 * 12, 0xEE) {
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 9; ++x) bytes[y * 12 + x] = value;
    }
    FrameView view() const { return FrameView{bytes.data(), bytes.size(), 3, 2, 12}; }
    std::vector<std::uint8_t> bytes;
};

TEST(FrameFreeze, HoldsTheFirstFrameAfterTheRequestUntilReleased) {
    FrameFreeze freeze;
    Frame a(1), b(2), c(3);
    EXPECT_EQ(freeze.Select(a.view()).data, a.bytes.data());

    freeze.Toggle();
    EXPECT_TRUE(freeze.Frozen());
    const FrameView held = freeze.Select(b.view());
    ASSERT_NE(held.data, b.bytes.data());  // a copy: the camera's buffer is only lent
    EXPECT_EQ(held.width, 3);
    EXPECT_EQ(held.height, 2);
    EXPECT_EQ(held.strideBytes, 9);
    EXPECT_TRUE(held.complete());
    b.bytes.assign(b.bytes.size(), 9);  // the camera reuses its buffer
    const FrameView later = freeze.Select(c.view());
    EXPECT_EQ(later.data, held.data);  // no copy per frame
    for (int i = 0; i < 18; ++i) EXPECT_EQ(later.data[i], 2) << i;

    freeze.Toggle();
    EXPECT_FALSE(freeze.Frozen());
    EXPECT_EQ(freeze.Select(c.view()).data, c.bytes.data());

    // An incomplete frame is never held; the freeze waits for a whole one.
    freeze.Toggle();
    EXPECT_EQ(freeze.Select(FrameView{}).data, nullptr);
    EXPECT_NE(freeze.Select(a.view()).data, a.bytes.data());
    freeze.Release();
    EXPECT_FALSE(freeze.Frozen());
    EXPECT_EQ(freeze.Select(b.view()).data, b.bytes.data());
}

}  // namespace
}  // namespace vistrela
