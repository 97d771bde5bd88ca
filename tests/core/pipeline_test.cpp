#include "viewer/pipeline.h"

#include <gtest/gtest.h>

#include "annotation/overlay.h"
#include "tests/core/gui_app.h"
#include "tests/core/picture_helpers.h"

namespace vistrela {
namespace {

using test::MakeFrame;
using test::SourceColour;

using test::View;

TEST(FrameRate, WindowRestartsOnlyBetween4000And5000Ms) {
    PipelineState s;
    CountFrameRate(s, 1000);
    EXPECT_DOUBLE_EQ(s.fps, 0.0);  // no elapsed time yet
    CountFrameRate(s, 1500);
    EXPECT_DOUBLE_EQ(s.fps, 2 * 1000.0 / 500);
    CountFrameRate(s, 4999);  // 3999 ms: no restart
    EXPECT_EQ(s.fpsWindowTick, 1000u);
    CountFrameRate(s, 5000);  // 4000 ms: restart
    EXPECT_EQ(s.fpsWindowTick, 5000u);
    EXPECT_EQ(s.fpsWindowFrames, 0);
    CountFrameRate(s, 6000);  // never again after 5000 ms
    CountFrameRate(s, 11000);
    EXPECT_EQ(s.fpsWindowTick, 5000u);
    EXPECT_DOUBLE_EQ(s.fps, 2 * 1000.0 / 6000);

    // No frame between 4000 and 5000 ms: the average since the first frame stands.
    PipelineState late;
    CountFrameRate(late, 100);
    CountFrameRate(late, 3000);
    CountFrameRate(late, 5200);
    EXPECT_EQ(late.fpsWindowTick, 100u);
    EXPECT_DOUBLE_EQ(late.fps, 3 * 1000.0 / 5100);
    ResetFrameRate(late);
    EXPECT_EQ(late.fpsFirstTick, 0u);
    EXPECT_DOUBLE_EQ(late.fps, 0.0);
}

TEST(FrameRate, TickWrapUsesUnsignedArithmetic) {
    PipelineState s;
    CountFrameRate(s, 0xffffff00u);
    CountFrameRate(s, 0x00000100u);  // 512 ms later across the wrap
    EXPECT_DOUBLE_EQ(s.fps, 2 * 1000.0 / 512);
}

TEST(Pipeline, StartUpStateShowsPictureTurnedByHalf) {
    const auto f = MakeFrame(16, 12);
    ViewState v = View(16, 12);
    PipelineState s;
    s.flipRows = 1;
    s.mirror = 1;
    CxImage img;
    const FrameResult r = ProcessFrame(v, s, img, f.view, VideoArea{16, 12}, 10, 0.0, nullptr);
    ASSERT_FALSE(r.skipped);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(img.PixelAt(x, y), SourceColour(15 - x, 11 - y).pixel());
        }
    }
    s.flipRows = 0;
    s.mirror = 0;
    ProcessFrame(v, s, img, f.view, VideoArea{16, 12}, 20, 0.0, nullptr);
    EXPECT_EQ(img.PixelAt(0, 0), SourceColour(0, 0).pixel());  // upright
}

TEST(Pipeline, TurnedFrameIsShownWhole) {
    const auto f = MakeFrame(640, 480);
    ViewState v = View(640, 480);
    v.rotation = 90;
    PipelineState s;
    CxImage img;
    const FrameResult r = ProcessFrame(v, s, img, f.view, VideoArea{640, 480}, 1, 0.0, nullptr);
    EXPECT_EQ(img.GetWidth(), 480);
    EXPECT_EQ(img.GetHeight(), 640);
    EXPECT_EQ(r.geometry.sourceRect, QRect(0, 0, 480, 640));
    EXPECT_EQ(r.geometry.destRect, QRect(140, 0, 360, 480));
    EXPECT_EQ(img.PixelAt(479, 0), SourceColour(0, 0).pixel());  // turned right

    v.rotation = 0;
    const FrameResult flat = ProcessFrame(v, s, img, f.view, VideoArea{640, 480}, 2, 0.0, nullptr);
    EXPECT_EQ(flat.geometry.destRect, QRect(0, 0, 640, 480));
    v.zoom = 0.5;
    v.panX = 160;
    v.panY = 120;  // the top-right quarter
    const FrameResult zoomed =
        ProcessFrame(v, s, img, f.view, VideoArea{640, 480}, 3, 0.0, nullptr);
    EXPECT_EQ(zoomed.geometry.sourceRect, QRect(320, 0, 320, 240));
}

TEST(Pipeline, ShortBufferIsSkippedAndNewSizeAdopted) {
    auto f = MakeFrame(320, 240);
    ViewState v = View(640, 480);
    PipelineState s;
    CxImage img;
    f.view.lengthBytes = 1000;
    FrameResult r = ProcessFrame(v, s, img, f.view, VideoArea{640, 480}, 5, 0.0, nullptr);
    EXPECT_TRUE(r.skipped);
    EXPECT_FALSE(img.IsValid());
    EXPECT_EQ(v.frameWidth, 640);
    EXPECT_EQ(s.fpsWindowFrames, 0);

    f.view.lengthBytes = f.bytes.size();
    r = ProcessFrame(v, s, img, f.view, VideoArea{640, 480}, 6, 0.0, nullptr);
    EXPECT_FALSE(r.skipped);
    EXPECT_TRUE(r.sizeAdopted);
    EXPECT_EQ(v.frameWidth, 320);
    EXPECT_EQ(v.frameHeight, 240);
    EXPECT_EQ(r.geometry.sourceRect, QRect(0, 0, 320, 240));
}

// Records what the frame looks like when the annotation step runs.
class SpyHook : public AnnotationHook {
public:
    void DrawAnnotation(CxImage& frameImage, PipelineState& state,
                        const FrameGeometry& geometry) override {
        ++calls;
        overlayPixel = frameImage.PixelAt(5, 479 - 100);
        markerPixel = frameImage.PixelAt(300, 479 - 220);
        width = geometry.pictureWidth;
        if (state.drawMode == DRAW_STAMP) state.drawMode = DRAW_SHOW;
    }
    int calls = 0;
    std::uint32_t overlayPixel = 0;
    std::uint32_t markerPixel = 0;
    int width = 0;
};

TEST(Pipeline, OverlayThenAnnotationThenMarker) {
    const auto f = MakeFrame(640, 480);
    ViewState v = View(640, 480);
    v.markerX = 300;
    v.markerY = 200;
    PipelineState s;
    CreateOverlay(s.overlayImage, v);
    DrawPenSegment(s.overlayImage, 0, 100, 50, 100);
    CxImage img;
    SpyHook hook;

    s.drawMode = DRAW_NONE;  // overlay not in use: not mixed, no marker
    ProcessFrame(v, s, img, f.view, VideoArea{640, 480}, 1, 0.0, &hook);
    EXPECT_EQ(img.PixelAt(5, 379), SourceColour(5, 379).pixel());
    EXPECT_EQ(img.PixelAt(300, 259), SourceColour(300, 259).pixel());

    s.drawMode = DRAW_PEN;
    ProcessFrame(v, s, img, f.view, VideoArea{640, 480}, 2, 0.0, &hook);
    EXPECT_EQ(hook.calls, 2);
    EXPECT_EQ(hook.width, 640);
    EXPECT_EQ(hook.overlayPixel, PEN_COLOUR.pixel());             // mixed before the hook
    EXPECT_EQ(hook.markerPixel, SourceColour(300, 259).pixel());  // marker after it
    // The processed picture (saved, recorded) has no marker; the screen's gets it afterwards.
    EXPECT_EQ(img.PixelAt(300, 259), SourceColour(300, 259).pixel());
    DrawScreenMarks(v, s, img, 0.0);
    EXPECT_EQ(img.PixelAt(300, 259), PEN_MARKER_COLOUR.pixel());       // row 220 from the bottom
    EXPECT_EQ(img.PixelAt(100, 200), SourceColour(100, 200).pixel());  // black overlay: picture
    // The marker is drawn on the frame only.
    EXPECT_EQ(s.overlayImage.PixelAt(300, 259), 0xff000000u);

    s.drawMode = DRAW_STAMP;
    ProcessFrame(v, s, img, f.view, VideoArea{640, 480}, 3, 0.0, &hook);
    EXPECT_EQ(s.drawMode, DRAW_SHOW);
}

TEST(Pipeline, ZoomHelpDrawnOnlyWhileItsTimeLasts) {
    test::EnsureGuiApp();
    const auto f = MakeFrame(640, 480);
    ViewState v = View(640, 480);
    PipelineState s;
    CxImage img;
    const auto countHelpPixels = [&img] {
        int n = 0;
        for (int y = 0; y < img.GetHeight(); ++y) {
            for (int x = 0; x < img.GetWidth(); ++x) {
                n += img.PixelAt(x, y) == kZoomHelpColour.pixel();
            }
        }
        return n;
    };
    v.noticeUntil = 100.0;
    ProcessFrame(v, s, img, f.view, VideoArea{640, 480}, 1, 100.0, nullptr);
    DrawScreenMarks(v, s, img, 100.0);
    const int after = countHelpPixels();
    ProcessFrame(v, s, img, f.view, VideoArea{640, 480}, 2, 99.0, nullptr);
    EXPECT_EQ(countHelpPixels(), after) << "never in the processed picture";
    DrawScreenMarks(v, s, img, 99.0);
    const int during = countHelpPixels();
    EXPECT_GT(during, after + 200);
    // Both lines start at x = 320 - 230 = 90, the first at y = 220, the second at y = 240.
    int left = 640, top = 480;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (img.PixelAt(x, y) == kZoomHelpColour.pixel()) {
                left = std::min(left, x);
                top = std::min(top, y);
            }
        }
    }
    EXPECT_GE(left, 90);
    EXPECT_LE(left, 100);
    EXPECT_GE(top, 220);
    EXPECT_LE(top, 232);
}

}  // namespace
}  // namespace vistrela
