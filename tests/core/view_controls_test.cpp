#include "viewer/view_controls.h"

#include <gtest/gtest.h>

#include "annotation/overlay.h"
#include "tests/core/picture_helpers.h"

namespace vistrela {
namespace {

ViewState StartView(int width = 640, int height = 480, int limit = 8) {
    ViewState v;
    v.frameWidth = width;
    v.frameHeight = height;
    v.zoomSize = v.zoomMinSize = 640;
    v.zoomSizeY = v.zoomMinSizeY = 480;
    v.zoom = 1.0;
    v.zoomLimit = limit;
    return v;
}

TEST(ZoomStep, WheelFiguresWithLimitEight) {
    ViewState v = StartView();
    WheelZoom(v, -120);  // towards the user: magnify
    EXPECT_DOUBLE_EQ(v.zoom, 640.0 / 690.0);
    EXPECT_NEAR(1.0 / v.zoom, 1.08, 0.005);
    for (int i = 1; i < 89; ++i) WheelZoom(v, -120);
    EXPECT_DOUBLE_EQ(v.zoomSize, 5090.0);
    EXPECT_NEAR(1.0 / v.zoom, 7.95, 0.005);
    WheelZoom(v, -120);
    EXPECT_DOUBLE_EQ(v.zoom, 0.125);
    EXPECT_DOUBLE_EQ(v.zoomSize, 5120.0);
    EXPECT_DOUBLE_EQ(v.zoomSizeY, 3840.0);
    WheelZoom(v, 0);  // no delta: nothing
    EXPECT_DOUBLE_EQ(v.zoomSize, 5120.0);
}

TEST(ZoomStep, LimitThreeAndZoomOutFloor) {
    ViewState v = StartView(640, 480, 3);
    for (int i = 0; i < 40; ++i) WheelZoom(v, -120);
    EXPECT_DOUBLE_EQ(v.zoom, 1.0 / 3.0);
    EXPECT_DOUBLE_EQ(v.zoomSize, 1920.0);

    ViewState w = StartView();
    WheelZoom(w, 120);  // away from the user at zoom 1: stays at the minimum
    EXPECT_DOUBLE_EQ(w.zoomSize, 640.0);
    EXPECT_DOUBLE_EQ(w.zoom, 1.0);
}

TEST(ZoomStep, SmallCameraMagnifiesAtLeastTwiceAndLargeNeverShowsMore) {
    ViewState small = StartView(320, 240);
    WheelZoom(small, -120);
    EXPECT_DOUBLE_EQ(small.zoom, 320.0 / 690.0);
    ZoomReset(small);
    EXPECT_DOUBLE_EQ(small.zoom, 1.0);

    // A camera wider than the setting: the first steps stay within the whole picture.
    ViewState large = StartView(1920, 1080);
    WheelZoom(large, -120);
    EXPECT_LE(large.zoom, 1.0);
    EXPECT_DOUBLE_EQ(large.zoom, 1920.0 / 1970.0);
    WheelZoom(large, 120);
    EXPECT_DOUBLE_EQ(large.zoom, 1.0);
    for (int i = 0; i < 400; ++i) WheelZoom(large, -120);
    EXPECT_DOUBLE_EQ(large.zoom, 0.125);
}

TEST(Pan, ClampAtHalfZoomAndAtWholePicture) {
    ViewState v = StartView();
    v.zoom = 0.5;
    v.panX = 1000;
    v.panY = -1000;
    ClampPan(v);
    EXPECT_EQ(v.panX, 160);
    EXPECT_EQ(v.panY, -120);
    v.panX = -500;
    v.panY = 500;
    ClampPan(v);
    EXPECT_EQ(v.panX, -160);
    EXPECT_EQ(v.panY, 120);

    ViewState whole = StartView();
    PanDrag drag;
    PanDragDown(drag, whole, 100, 100);
    PanDragMove(drag, whole, 10, 300, true);
    EXPECT_EQ(whole.panX, 0);
    EXPECT_EQ(whole.panY, 0);
}

TEST(Pan, DragFollowsPointerAndLostReleaseEndsIt) {
    ViewState v = StartView();
    v.zoom = 0.5;
    PanDrag drag;
    PanDragDown(drag, v, 300, 200);
    PanDragMove(drag, v, 250, 230, true);
    EXPECT_EQ(v.panX, 50);  // pointer left: the picture follows, showing more to the right
    EXPECT_EQ(v.panY, 30);
    PanDragUp(drag);
    // A second drag starts from the current pan.
    PanDragDown(drag, v, 100, 100);
    PanDragMove(drag, v, 90, 100, true);
    EXPECT_EQ(v.panX, 60);
    EXPECT_EQ(v.panY, 30);
    // The release happened outside the window: the next move without the button ends it.
    PanDragMove(drag, v, 0, 0, false);
    EXPECT_EQ(drag.active, 0);
    EXPECT_EQ(v.panX, 60);
    PanDragMove(drag, v, 50, 50, true);
    EXPECT_EQ(v.panX, 60);
}

TEST(QuarterTurn, FourTurnsBringPictureStateAndOverlayBack) {
    ViewState v = StartView();
    CxImage overlay;
    CreateOverlay(overlay, v);
    DrawPenSegment(overlay, 10, 10, 100, 50);
    const CxImage before = overlay;
    int seen[4];
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(QuarterTurn(v, overlay));
        seen[i] = v.rotation;
    }
    EXPECT_EQ(seen[0], 90);
    EXPECT_EQ(seen[1], 180);
    EXPECT_EQ(seen[2], 270);
    EXPECT_EQ(seen[3], 0);
    ASSERT_EQ(overlay.GetWidth(), 640);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) ASSERT_EQ(overlay.PixelAt(x, y), before.PixelAt(x, y));
    }
    v.rotation = 45;
    EXPECT_FALSE(QuarterTurn(v, overlay));
    EXPECT_EQ(v.rotation, 45);
}

TEST(QuarterTurn, OverlayTurnsEvenBeforeAnythingIsDrawnAndPanIsClamped) {
    ViewState v = StartView();
    CxImage overlay;
    CreateOverlay(overlay, v);
    v.zoom = 0.5;
    v.panX = 160;
    QuarterTurn(v, overlay);
    EXPECT_EQ(overlay.GetWidth(), 480);  // the turned picture's shape
    EXPECT_EQ(overlay.GetHeight(), 640);
    EXPECT_EQ(v.panX, 120);  // the turned picture is 480 wide
}

TEST(Reset, ViewResetKeepsRotationAndClearsOverlay) {
    ViewState v = StartView();
    PipelineState s;
    CreateOverlay(s.overlayImage, v);
    DrawPenSegment(s.overlayImage, 0, 0, 600, 400);
    s.drawMode = DRAW_PEN;
    v.rotation = 180;
    v.zoom = 0.5;
    v.zoomSize = 1280;
    v.panX = 40;
    ViewReset(v, s);
    EXPECT_EQ(v.rotation, 180);
    EXPECT_DOUBLE_EQ(v.zoom, 1.0);
    EXPECT_DOUBLE_EQ(v.zoomSize, 640.0);
    EXPECT_EQ(v.panX, 0);
    EXPECT_EQ(s.drawMode, DRAW_SHOW);
    EXPECT_EQ(s.overlayImage.PixelAt(300, 280), 0xff000000u);

    // The menu's zoom reset keeps the pan.
    v.zoom = 0.5;
    v.panX = 33;
    ZoomReset(v);
    EXPECT_EQ(v.panX, 33);
    s.drawMode = DRAW_STAMP;
    ClearOverlay(s.overlayImage, s.drawMode);
    EXPECT_EQ(s.drawMode, DRAW_STAMP);
}

TEST(HalfTurn, SetsBothFlagsAndTurnsOverlayOnce) {
    PipelineState s;
    s.overlayImage.Create(8, 6);
    s.overlayImage.SetTransColor(Rgb{});
    s.overlayImage.DrawLine(0, 0, 0, 0, PEN_COLOUR);  // bottom-left
    EXPECT_TRUE(SetHalfTurn(s, true));
    EXPECT_EQ(s.flipRows, 1);
    EXPECT_EQ(s.mirror, 1);
    EXPECT_EQ(s.overlayImage.PixelAt(7, 0), PEN_COLOUR.pixel());  // now top-right
    EXPECT_FALSE(SetHalfTurn(s, true));                           // already turned: nothing
    EXPECT_EQ(s.overlayImage.PixelAt(7, 0), PEN_COLOUR.pixel());
    EXPECT_TRUE(SetHalfTurn(s, false));
    EXPECT_EQ(s.flipRows, 0);
    EXPECT_EQ(s.mirror, 0);
    EXPECT_EQ(s.overlayImage.PixelAt(0, 5), PEN_COLOUR.pixel());
}

TEST(ZoomHelp, ShowsForAboutThreeSeconds) {
    ViewState v;
    ZoomHelp(v, 1000.0);
    EXPECT_DOUBLE_EQ(v.noticeUntil, 1003.0001);
}

}  // namespace
}  // namespace vistrela
