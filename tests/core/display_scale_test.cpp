#include "viewer/display_scale.h"

#include <gtest/gtest.h>

namespace vistrela {
namespace {

TEST(DisplayScale, StrongShrinkAveragesBlocks) {
    CxImage img;
    img.Create(3840, 2160);
    // Column stripes of red 0, 30, 120 repeat, so every 3 x 3 block averages to 50.
    const std::uint8_t reds[3] = {0, 30, 120};
    for (int y = 0; y < 2160; ++y) {
        std::uint32_t* row = img.MutableScanLine(y);
        for (int x = 0; x < 3840; ++x) row[x] = Rgb{reds[x % 3], 0, 0}.pixel();
    }
    DisplayScaler scaler;
    const QImage out = scaler.Prepare(img, QRect(0, 0, 3840, 2160), QSize(1280, 720));
    EXPECT_EQ(scaler.lastFactor(), 3);
    ASSERT_EQ(out.width(), 1280);
    ASSERT_EQ(out.height(), 720);
    EXPECT_EQ(qRed(out.pixel(0, 0)), 50);
    EXPECT_EQ(qRed(out.pixel(1279, 719)), 50);
    const uchar* buffer = out.constBits();
    // The buffer is kept between frames.
    const QImage again = scaler.Prepare(img, QRect(0, 0, 3840, 2160), QSize(1280, 720));
    EXPECT_EQ(again.constBits(), buffer);
}

TEST(DisplayScale, EdgeBlocksAverageWhatTheyHold) {
    CxImage img;
    img.Create(10, 10);
    img.Clear(0);
    img.DrawLine(9, 9, 0, 9, Rgb{0, 0, 90});  // the last column
    DisplayScaler scaler;
    const QImage out = scaler.Prepare(img, QRect(0, 0, 10, 10), QSize(3, 3));
    EXPECT_EQ(scaler.lastFactor(), 3);
    ASSERT_EQ(out.width(), 4);  // 3 full blocks and one of a single column
    EXPECT_EQ(qBlue(out.pixel(3, 0)), 90);
    EXPECT_EQ(qBlue(out.pixel(2, 0)), 0);
}

TEST(DisplayScale, MildScaleReturnsTheSourcePartWithoutCopy) {
    CxImage img;
    img.Create(640, 480);
    img.DrawLine(100, 100, 479 - 50, 479 - 50, Rgb{1, 2, 3});  // top-down (100, 50)
    DisplayScaler scaler;
    const QRect part(100, 50, 320, 240);
    const QImage out = scaler.Prepare(img, part, QSize(200, 150));  // shrink 1.6
    EXPECT_EQ(scaler.lastFactor(), 1);
    EXPECT_EQ(out.size(), QSize(320, 240));
    EXPECT_EQ(out.constBits(), reinterpret_cast<const uchar*>(img.ScanLine(50) + 100));
    EXPECT_EQ(out.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_TRUE(scaler.Prepare(CxImage(), part, QSize(10, 10)).isNull());
}

}  // namespace
}  // namespace vistrela
