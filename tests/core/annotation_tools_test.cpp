#include "annotation/annotation_tools.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "viewer/view_controls.h"

namespace vistrela {
namespace {

// A window whose video area is exactly the picture: area point (x, y) is overlay point
// (x, height - y) at rotation 0.
struct Desk {
    ViewState view;
    PipelineState state;
    VideoArea area;
    AnnotationTools tools;

    explicit Desk(int width = 640, int height = 480) : area{width, height} {
        view.frameWidth = width;
        view.frameHeight = height;
        view.zoomSize = view.zoomMinSize = width;
        view.zoomSizeY = view.zoomMinSizeY = height;
        view.zoom = 1.0;
        tools.NewOverlay(view, state);
    }

    // A left-button drag through the points, released at the last one.
    void Stroke(std::initializer_list<std::pair<int, int>> points) {
        auto p = points.begin();
        tools.Press(view, state, area, p->first, p->second);
        for (++p; p != points.end(); ++p) tools.Move(view, state, area, p->first, p->second, true);
        tools.Release(view, state);
    }
    void Eraser(std::initializer_list<std::pair<int, int>> points) {
        state.drawMode = DRAW_ERASE;
        Stroke(points);
    }
};

std::vector<std::uint32_t> Pixels(const CxImage& image) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < image.GetHeight(); ++y)
        out.insert(out.end(), image.ScanLine(y), image.ScanLine(y) + image.GetWidth());
    return out;
}

bool Blank(const CxImage& image) {  // every pixel transparent
    for (std::uint32_t p : Pixels(image))
        if ((p & kRgbMask) != 0) return false;
    return true;
}

// The tool's edge cases through the unit's event interface.
TEST(AnnotationTools, PressOverThePanelOrDuringAStrokeDoesNothing) {
    Desk d;
    d.tools.Press(d.view, d.state, d.area, 640, 100);  // x = W: the panel
    EXPECT_FALSE(d.tools.StrokeActive());
    EXPECT_EQ(d.state.drawMode, DRAW_NONE);
    d.tools.Move(d.view, d.state, d.area, 600, 120, true);
    EXPECT_TRUE(Blank(d.state.overlayImage));

    d.tools.Press(d.view, d.state, d.area, 100, 100);
    EXPECT_EQ(d.state.drawMode, DRAW_PEN);
    d.tools.Press(d.view, d.state, d.area, 500, 400);  // second press: ignored
    d.tools.Move(d.view, d.state, d.area, 110, 100, true);
    d.tools.Release(d.view, d.state);
    // Only the short segment from the first press was drawn, nothing from the second.
    EXPECT_EQ(d.state.overlayImage.PixelAt(105, 100), PEN_COLOUR.pixel());
    int ink = 0;
    for (std::uint32_t p : Pixels(d.state.overlayImage)) ink += (p & kRgbMask) != 0;
    EXPECT_LT(ink, 16 * 6 + 6 * 6);  // the band of 11 columns and its ends
    EXPECT_EQ(d.tools.History().UndoCount(), 1u);

    // A press and release without movement changes nothing and is no step.
    d.tools.Press(d.view, d.state, d.area, 300, 300);
    d.tools.Release(d.view, d.state);
    EXPECT_EQ(d.tools.History().UndoCount(), 1u);
}

TEST(AnnotationTools, ReleaseOutsideTheWindowEndsTheStrokeAtTheNextMove) {
    Desk d;
    d.tools.Press(d.view, d.state, d.area, 100, 100);
    d.tools.Move(d.view, d.state, d.area, 200, 100, true);
    const std::vector<std::uint32_t> drawn = Pixels(d.state.overlayImage);
    // The button came up outside; the next move over the window has no button held.
    d.tools.Move(d.view, d.state, d.area, 300, 300, false);
    EXPECT_FALSE(d.tools.StrokeActive());
    EXPECT_EQ(Pixels(d.state.overlayImage), drawn);
    EXPECT_EQ(d.view.markerX, 300);  // the marker still follows
    EXPECT_EQ(d.tools.History().UndoCount(), 1u);
    ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    EXPECT_TRUE(Blank(d.state.overlayImage));
}

TEST(AnnotationTools, DragLeavingThePictureIsCutAndUndoneExactly) {
    Desk d;
    d.Stroke({{320, 240}, {700, 240}, {700, -50}, {-100, 600}});
    // Drawn up to the right edge and beyond the bottom edge, nothing wrapped.
    EXPECT_EQ(d.state.overlayImage.PixelAt(639, 240), PEN_COLOUR.pixel());
    const std::vector<std::uint32_t> afterPen = Pixels(d.state.overlayImage);

    // The eraser block at the right edge is cut there.
    d.Eraser({{630, 240}, {635, 240}});
    EXPECT_EQ(d.state.overlayImage.PixelAt(639, 240) & kRgbMask, 0u);
    EXPECT_EQ(d.tools.History().UndoCount(), 2u);
    ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    EXPECT_EQ(Pixels(d.state.overlayImage), afterPen);
    ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    EXPECT_TRUE(Blank(d.state.overlayImage));
    EXPECT_FALSE(d.tools.Undo(d.view, d.state));
    ASSERT_TRUE(d.tools.Redo(d.view, d.state));
    EXPECT_EQ(Pixels(d.state.overlayImage), afterPen);
}

TEST(AnnotationTools, PenAndEraserStepsUndoAndRedoToExactPixels) {
    Desk d;
    d.Stroke({{50, 50}, {400, 300}, {600, 100}});
    const std::vector<std::uint32_t> one = Pixels(d.state.overlayImage);
    d.Stroke({{100, 400}, {500, 50}});  // crosses the first stroke
    const std::vector<std::uint32_t> two = Pixels(d.state.overlayImage);
    d.Eraser({{230, 170}, {300, 200}, {420, 290}});  // over both strokes
    const std::vector<std::uint32_t> three = Pixels(d.state.overlayImage);
    ASSERT_NE(three, two);

    ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    EXPECT_EQ(Pixels(d.state.overlayImage), two);
    ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    EXPECT_EQ(Pixels(d.state.overlayImage), one);
    ASSERT_TRUE(d.tools.Redo(d.view, d.state));
    EXPECT_EQ(Pixels(d.state.overlayImage), two);
    ASSERT_TRUE(d.tools.Redo(d.view, d.state));
    EXPECT_EQ(Pixels(d.state.overlayImage), three);
    EXPECT_FALSE(d.tools.Redo(d.view, d.state));

    // A new step after an undo drops what could have been redone.
    ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    d.state.drawMode = DRAW_PEN;
    d.Stroke({{10, 10}, {20, 20}});
    EXPECT_FALSE(d.tools.CanRedo());
    EXPECT_EQ(d.tools.History().UndoCount(), 3u);
    ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    EXPECT_EQ(Pixels(d.state.overlayImage), two);
}

TEST(AnnotationTools, InitClearIsOneStepAndCameraOpenStartsAfresh) {
    Desk d;
    d.Stroke({{100, 100}, {300, 200}});
    d.Stroke({{400, 400}, {500, 300}});
    const std::vector<std::uint32_t> drawn = Pixels(d.state.overlayImage);
    d.view.zoom = 0.5;
    d.tools.Reset(d.view, d.state);
    EXPECT_TRUE(Blank(d.state.overlayImage));
    EXPECT_EQ(d.state.drawMode, DRAW_SHOW);
    EXPECT_EQ(d.view.zoom, 1.0);
    EXPECT_EQ(d.tools.History().UndoCount(), 3u);
    ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    EXPECT_EQ(Pixels(d.state.overlayImage), drawn);
    ASSERT_TRUE(d.tools.Redo(d.view, d.state));
    EXPECT_TRUE(Blank(d.state.overlayImage));

    // Another camera: a blank overlay of its size, the tool kept, nothing to undo.
    d.state.drawMode = DRAW_ERASE;
    d.view.frameWidth = 320;
    d.view.frameHeight = 240;
    d.tools.NewOverlay(d.view, d.state);
    EXPECT_EQ(d.state.overlayImage.GetWidth(), 320);
    EXPECT_EQ(d.state.drawMode, DRAW_ERASE);
    EXPECT_FALSE(d.tools.CanUndo());
    EXPECT_FALSE(d.tools.Undo(d.view, d.state));
}

// The overlay turns with the picture; an undo takes the stroke back where it now shows.
TEST(AnnotationTools, UndoAfterQuarterAndHalfTurnsRemovesTheStrokeWhereItShows) {
    Desk d;
    d.Stroke({{50, 60}, {200, 90}, {260, 400}});
    d.Eraser({{120, 75}, {150, 80}});
    const std::vector<std::uint32_t> erased = Pixels(d.state.overlayImage);
    d.state.drawMode = DRAW_PEN;
    d.Stroke({{500, 50}, {600, 300}, {400, 450}});

    CxImage expected;  // the overlay before the last stroke, turned the same way
    expected.Create(640, 480);
    std::copy(erased.begin(), erased.end(), expected.MutableScanLine(0));

    ASSERT_TRUE(QuarterTurn(d.view, d.state.overlayImage));
    expected.Rotate(90);
    ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    EXPECT_EQ(Pixels(d.state.overlayImage), Pixels(expected));

    // Redo after a half turn puts the stroke back, turned; undo again removes it.
    ASSERT_TRUE(SetHalfTurn(d.state, true));
    expected.Rotate(180);
    ASSERT_TRUE(d.tools.Redo(d.view, d.state));
    EXPECT_NE(Pixels(d.state.overlayImage), Pixels(expected));
    ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    EXPECT_EQ(Pixels(d.state.overlayImage), Pixels(expected));

    // Two more quarter turns (270 degrees and the half turn) and the eraser step.
    ASSERT_TRUE(QuarterTurn(d.view, d.state.overlayImage));
    ASSERT_TRUE(QuarterTurn(d.view, d.state.overlayImage));
    ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    EXPECT_TRUE(Blank(d.state.overlayImage));
    EXPECT_EQ(d.state.overlayImage.GetWidth(), 480);
}

TEST(AnnotationTools, TurnDuringAStrokeSplitsItAndBothPartsUndo) {
    Desk d;
    d.Stroke({{50, 400}, {600, 80}});
    CxImage expected;  // the overlay before the drag, turned as it will be
    expected.Create(640, 480);
    const std::vector<std::uint32_t> first = Pixels(d.state.overlayImage);
    std::copy(first.begin(), first.end(), expected.MutableScanLine(0));
    expected.Rotate(90);

    d.tools.Press(d.view, d.state, d.area, 100, 100);
    d.tools.Move(d.view, d.state, d.area, 400, 300, true);   // across the first stroke
    ASSERT_TRUE(QuarterTurn(d.view, d.state.overlayImage));  // the R key while dragging
    const std::vector<std::uint32_t> turned = Pixels(d.state.overlayImage);
    // No segment joins the point reached before the turn to the pointer now.
    d.tools.Move(d.view, d.state, d.area, 200, 300, true);
    EXPECT_EQ(Pixels(d.state.overlayImage), turned);
    d.tools.Move(d.view, d.state, d.area, 250, 100, true);
    d.tools.Release(d.view, d.state);
    EXPECT_NE(Pixels(d.state.overlayImage), turned);
    EXPECT_EQ(d.tools.History().UndoCount(), 3u);
    ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    EXPECT_EQ(Pixels(d.state.overlayImage), turned);
    ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    EXPECT_EQ(Pixels(d.state.overlayImage), Pixels(expected));
}

TEST(AnnotationTools, TextBurnFramedByBeginAndEndChangeIsOneStep) {
    Desk d;
    d.Stroke({{100, 100}, {300, 200}});
    const std::vector<std::uint32_t> before = Pixels(d.state.overlayImage);
    d.tools.BeginChange(d.view, d.state);
    d.state.overlayImage.DrawLine(10, 600, 30, 30, Rgb{255, 255, 0});
    d.tools.EndChange(d.view, d.state);
    EXPECT_EQ(d.tools.History().UndoCount(), 2u);
    ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    EXPECT_EQ(Pixels(d.state.overlayImage), before);
}

// 50 ordinary strokes across a 1080p overlay stay far below the memory bound, and all of
// them can be taken back.
TEST(OverlayHistory, FiftyStrokesOnFullHdStayUnderTheBound) {
    Desk d(1920, 1080);
    for (int i = 0; i < 50; ++i) {
        const int x = (i * 373) % 1500, y = (i * 211) % 700;
        d.Stroke(
            {{x, y}, {x + 150, y + 40}, {x + 300, y + 200}, {x + 120, y + 320}, {x + 20, y + 150}});
    }
    EXPECT_EQ(d.tools.History().UndoCount(), 50u);
    EXPECT_LT(d.tools.History().ByteCount(), std::size_t{64} << 20);
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(d.tools.Undo(d.view, d.state));
    EXPECT_TRUE(Blank(d.state.overlayImage));
}

TEST(OverlayHistory, OldestStepsGoPastTheCountAndByteBounds) {
    Desk d(300, 240);
    const std::size_t extra = 7;
    for (std::size_t i = 0; i < OverlayHistory::kMaxSteps + extra; ++i) {
        const int y = 5 + 2 * static_cast<int>(i);
        d.Stroke({{10, y}, {290, y}});
    }
    EXPECT_EQ(d.tools.History().UndoCount(), OverlayHistory::kMaxSteps);
    while (d.tools.Undo(d.view, d.state)) {
    }
    // The first strokes (rows 2 .. 19 from the top) can no longer be taken back.
    EXPECT_EQ(d.state.overlayImage.PixelAt(100, 8), PEN_COLOUR.pixel());
    EXPECT_EQ(d.state.overlayImage.PixelAt(100, 100) & kRgbMask, 0u);

    // Steps of noise (stored as they are) pass the byte bound long before the count bound.
    OverlayHistory history;
    CxImage overlay;
    overlay.Create(1920, 1080);
    std::mt19937 random(7);
    for (int i = 0; i < 8; ++i) {
        history.BeginStep(overlay, 0);
        history.TouchAll(overlay, 0);
        for (int y = 0; y < overlay.GetHeight(); ++y) {
            std::uint32_t* row = overlay.MutableScanLine(y);
            for (int x = 0; x < overlay.GetWidth(); ++x) row[x] = 0xff000000u | random();
        }
        history.EndStep(overlay, 0);
        EXPECT_LE(history.ByteCount(), OverlayHistory::kMaxBytes);
    }
    EXPECT_GE(history.UndoCount(), 1u);
    EXPECT_LT(history.UndoCount(), 8u);
}

}  // namespace
}  // namespace vistrela
