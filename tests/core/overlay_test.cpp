#include "annotation/overlay.h"

#include <gtest/gtest.h>

namespace vistrela {
namespace {

ViewState View640() {
    ViewState v;
    v.frameWidth = 640;
    v.frameHeight = 480;
    v.zoom = 1.0;
    return v;
}

// Rows (from the bottom) of column x holding `colour`.
int CountInColumn(const CxImage& img, int x, std::uint32_t colour) {
    int n = 0;
    for (int y = 0; y < img.GetHeight(); ++y) n += img.PixelAt(x, y) == colour;
    return n;
}
int CountInRow(const CxImage& img, int yFromBottom, std::uint32_t colour) {
    int n = 0;
    const int row = img.GetHeight() - 1 - yFromBottom;
    for (int x = 0; x < img.GetWidth(); ++x) n += img.PixelAt(x, row) == colour;
    return n;
}

TEST(Overlay, PenBandIsSixPixelsThick) {
    CxImage overlay;
    CreateOverlay(overlay, View640());
    DrawPenSegment(overlay, 100, 200, 300, 200);  // horizontal stroke
    EXPECT_EQ(CountInColumn(overlay, 200, PEN_COLOUR.pixel()), 6);
    EXPECT_EQ(overlay.PixelAt(200, 479 - 197), PEN_COLOUR.pixel());  // offset -3
    EXPECT_EQ(overlay.PixelAt(200, 479 - 202), PEN_COLOUR.pixel());  // offset +2
    EXPECT_EQ(overlay.PixelAt(200, 479 - 203), 0xff000000u);
    DrawPenSegment(overlay, 50, 10, 50, 150);  // vertical stroke
    EXPECT_EQ(CountInRow(overlay, 100, PEN_COLOUR.pixel()), 6);
}

TEST(Overlay, EraserBlockIs41By40AndCutAtEdges) {
    CxImage overlay;
    CreateOverlay(overlay, View640());
    overlay.Clear(9);
    EraseBlock(overlay, 300, 200);
    const std::uint32_t clear = 0xff000000u;
    EXPECT_EQ(CountInRow(overlay, 200, clear), 41);
    EXPECT_EQ(CountInColumn(overlay, 300, clear), 40);
    EXPECT_EQ(overlay.PixelAt(280, 479 - 180), clear);  // d - 20
    EXPECT_NE(overlay.PixelAt(300, 479 - 220), clear);  // d + 20 is not erased
    EXPECT_EQ(overlay.PixelAt(300, 479 - 219), clear);

    overlay.Clear(9);
    EraseBlock(overlay, 5, 3);                        // at the bottom-left corner
    EXPECT_EQ(CountInRow(overlay, 0, clear), 26);     // columns 0 .. 25
    EXPECT_EQ(CountInColumn(overlay, 0, clear), 23);  // rows 0 .. 22
}

TEST(Overlay, MarkersHaveTheirThicknessAndColourAndStayOffTheOverlay) {
    const std::uint32_t pen = PEN_MARKER_COLOUR.pixel(), eraser = ERASER_MARKER_COLOUR.pixel();
    CxImage frame;
    frame.Create(200, 200);
    DrawPointerMarker(frame, DRAW_PEN, 100, 100);
    EXPECT_EQ(CountInColumn(frame, 100, pen), 10);  // 5 rows above, 5 below
    EXPECT_EQ(CountInRow(frame, 100, pen), 10);     // 5 columns left, 5 right
    EXPECT_EQ(frame.PixelAt(100, 199 - 124), pen);
    EXPECT_EQ(frame.PixelAt(100, 199 - 125), 0xff000000u);

    frame.Clear(0);
    DrawPointerMarker(frame, DRAW_ERASE, 100, 100);
    EXPECT_EQ(CountInColumn(frame, 100, eraser), 6);
    EXPECT_EQ(CountInRow(frame, 100, eraser), 6);

    frame.Clear(0);
    DrawPointerMarker(frame, DRAW_STAMP, 100, 100);
    DrawPointerMarker(frame, DRAW_SHOW, 100, 100);
    EXPECT_EQ(CountInColumn(frame, 100, pen) + CountInColumn(frame, 100, eraser), 0);
}

TEST(Overlay, MixOnlyFromDrawShowOn) {
    CxImage overlay;
    CreateOverlay(overlay, View640());
    DrawPenSegment(overlay, 0, 100, 639, 100);
    CxImage frame;
    frame.Create(640, 480);
    frame.Clear(50);
    MixOverlay(frame, overlay, DRAW_NONE);
    EXPECT_EQ(frame.PixelAt(10, 379), Rgb(50, 50, 50).pixel());
    MixOverlay(frame, overlay, DRAW_SHOW);
    EXPECT_EQ(frame.PixelAt(10, 379), PEN_COLOUR.pixel());
    EXPECT_EQ(frame.PixelAt(10, 10), Rgb(50, 50, 50).pixel());
}

TEST(Overlay, CreatedTurnedWhenPictureIsTurned) {
    ViewState v = View640();
    v.rotation = 270;
    CxImage overlay;
    CreateOverlay(overlay, v);
    EXPECT_EQ(overlay.GetWidth(), 480);
    EXPECT_EQ(overlay.GetHeight(), 640);
    EXPECT_TRUE(overlay.HasTransColor());
}

TEST(PointerMapping, CentreZoomAndPan) {
    ViewState v = View640();
    const VideoArea area{640, 480};
    EXPECT_EQ(PointerToFrame(v, area, 320, 240), (PicturePoint{320, 240}));
    EXPECT_EQ(PointerToFrame(v, area, 0, 0), (PicturePoint{0, 480}));  // top maps to the top
    // A window twice the picture's size still maps its centre to the frame's centre.
    EXPECT_EQ(PointerToFrame(v, VideoArea{1280, 960}, 640, 480), (PicturePoint{320, 240}));

    v.zoom = 0.5;  // shown part: columns 160..479, rows 120..359 from the bottom
    v.panX = 100;
    v.panY = -50;
    EXPECT_EQ(PointerToFrame(v, area, 0, 480), (PicturePoint{260, 70}));
    EXPECT_EQ(PointerToFrame(v, area, 320, 240), (PicturePoint{420, 190}));
}

TEST(PointerMapping, TurnedPictureWithBlackBars) {
    ViewState v = View640();
    v.rotation = 90;  // the shown picture is 480 x 640, drawn 360 x 480 at x = 140
    const VideoArea area{640, 480};
    EXPECT_EQ(PointerToFrame(v, area, 320, 240), (PicturePoint{240, 320}));
    EXPECT_EQ(PointerToFrame(v, area, 140, 480), (PicturePoint{0, 0}));
    EXPECT_LT(PointerToFrame(v, area, 100, 240).x, 0);  // on the bar: off the picture
}

}  // namespace
}  // namespace vistrela
