#include "viewer/lesson_modes.h"

#include <gtest/gtest.h>

namespace vistrela {
namespace {

CxImage Plain(int width, int height, std::uint32_t pixel) {
    CxImage image;
    image.Create(width, height);
    for (int y = 0; y < height; ++y) std::fill_n(image.MutableScanLine(y), width, pixel);
    return image;
}

constexpr std::uint32_t kWhite = 0xffffffffu, kGrey = 0xff808080u;

TEST(LessonShade, SpotlightKeepsTheEllipseAndDarkensTheRest) {
    CxImage image = Plain(400, 200, kWhite);
    Spotlight spot{.on = true, .centreX = 0.25, .centreY = 0.5, .radius = 0.25};
    DrawSpotlight(image, QRect(0, 0, 400, 200), spot);
    // Half axes 50 rows and 80 columns around (100, 100).
    const struct {
        int x, y;
        bool lit;
    } cases[] = {{100, 100, true}, {170, 100, true}, {100, 60, true},  {190, 100, false},
                 {100, 40, false}, {0, 0, false},    {399, 199, false}};
    for (const auto& c : cases) {
        const std::uint32_t p = image.PixelAt(c.x, c.y);
        // Outside, about 80% black.
        EXPECT_EQ(p, c.lit ? kWhite : 0xff2e2e2eu) << c.x << "," << c.y;
    }
    ResizeSpotlight(spot, 120 * 100);
    EXPECT_EQ(spot.radius, kSpotlightMaxRadius);
    ResizeSpotlight(spot, -120 * 100);
    EXPECT_EQ(spot.radius, kSpotlightMinRadius);
}

TEST(LessonShade, CurtainCoversBelowTheRevealedRowsOfTheShownPart) {
    CxImage image = Plain(100, 100, kWhite);
    DrawCurtain(image, QRect(0, 20, 100, 80), Curtain{.on = true, .revealed = 0.5});
    EXPECT_EQ(image.PixelAt(50, 10), kWhite);  // above the shown part
    EXPECT_EQ(image.PixelAt(50, 59), kWhite);  // revealed: 20 + 40 rows
    EXPECT_EQ(image.PixelAt(50, 99), kCurtainColour.pixel());
}

TEST(CompareBoard, PanesFollowThePageCount) {
    const QSize board(640, 480);
    EXPECT_EQ(ComparePaneRects(1, board), std::vector<QRect>{QRect(0, 0, 640, 480)});
    EXPECT_EQ(ComparePaneRects(2, board),
              (std::vector<QRect>{QRect(0, 0, 320, 480), QRect(320, 0, 320, 480)}));
    EXPECT_EQ(ComparePaneRects(4, board)[3], QRect(320, 240, 320, 240));
    EXPECT_EQ(FitRect(QSize(640, 480), QRect(320, 0, 320, 480)), QRect(320, 120, 320, 240));
}

// The board through the lesson modes, as the window drives them: two pages kept, the live
// picture changing, ink on a page, clicks on panes.
TEST(LessonModes, CompareKeepsPagesInksThemApartAndShowsAPaneAlone) {
    LessonModes modes;
    CxImage live = Plain(640, 480, kWhite);
    const QRect all(0, 0, 640, 480);
    FrameGeometry geometry;
    geometry.pictureWidth = 640;
    geometry.pictureHeight = 480;
    geometry.sourceRect = geometry.destRect = all;
    geometry.area = {640, 480};
    modes.KeepPage();
    modes.Finish(live, geometry, 0.0);  // the white page is kept
    live = Plain(640, 480, kGrey);
    modes.KeepPage();
    modes.Finish(live, geometry, 0.0);  // and the grey one
    ASSERT_EQ(modes.Board().PageCount(), 2);

    live = Plain(640, 480, 0xff0000ffu);
    const LessonModes::Output& out = modes.Finish(live, geometry, 0.0);
    ASSERT_FALSE(out.live);
    EXPECT_EQ(out.image->PixelAt(160, 120), 0xff0000ffu);  // live, top left
    EXPECT_EQ(out.image->PixelAt(480, 120), kWhite);       // first page
    EXPECT_EQ(out.image->PixelAt(160, 360), kGrey);        // second page
    EXPECT_EQ(out.image->PixelAt(480, 360), 0xff303030u);  // nothing: the board's grey

    // A stroke on the first page inks it alone; Ctrl+Z takes it back there.
    AnnotationTools tools;
    ViewState view;
    PipelineState pipe;
    view.frameWidth = 640;
    view.frameHeight = 480;
    tools.NewOverlay(view, pipe);
    tools.ChooseColour(pipe, 2);
    const LiveInk ink{tools, view, pipe, {640, 480}};
    ASSERT_TRUE(modes.Press(QPoint(340, 120), false));
    for (int x = 350; x <= 620; x += 10) ASSERT_TRUE(modes.Move(ink, QPoint(x, 120), true));
    ASSERT_TRUE(modes.Release(ink));
    EXPECT_NE(modes.Finish(live, geometry, 0.0).image->PixelAt(480, 120), kWhite);
    EXPECT_FALSE(tools.CanUndo());
    EXPECT_TRUE(modes.CanUndo(tools));
    EXPECT_TRUE(modes.Undo(ink));
    EXPECT_EQ(modes.Finish(live, geometry, 0.0).image->PixelAt(480, 120), kWhite);

    // A click shows the pane alone, the next one the grid; Escape ends compare.
    ASSERT_TRUE(modes.Press(QPoint(160, 360), false));
    ASSERT_TRUE(modes.Release(ink));
    EXPECT_EQ(modes.Board().Alone(), 2);
    EXPECT_EQ(modes.Finish(live, geometry, 0.0).image->PixelAt(480, 360), kGrey);
    ASSERT_TRUE(modes.Press(QPoint(10, 10), false));
    ASSERT_TRUE(modes.Release(ink));
    EXPECT_EQ(modes.Board().Alone(), CompareBoard::kGrid);
    EXPECT_TRUE(modes.EscapeStep());
    EXPECT_TRUE(modes.Finish(live, geometry, 0.0).live);
    EXPECT_FALSE(modes.EscapeStep());
    EXPECT_FALSE(modes.Press(QPoint(10, 10), false));  // the live picture's ink again

    // Compare ended with a page shown alone: the window still paints that picture until the
    // next frame, so it outlives the page.
    modes.KeepPage();
    modes.Finish(live, geometry, 0.0);
    ASSERT_TRUE(modes.StepPages(-1));
    ASSERT_EQ(modes.Finish(live, geometry, 0.0).image, &modes.Board().Page(1).inked);
    modes.LeaveCompare();
    EXPECT_EQ(modes.Shown().image->PixelAt(10, 10), 0xff0000ffu);
}

TEST(LessonModes, StepsRoundThePanesAndEndsWhenEverySlotIsTaken) {
    LessonModes modes;
    EXPECT_FALSE(modes.StepPages(1));
    CxImage live = Plain(64, 48, kWhite);
    FrameGeometry geometry;
    geometry.sourceRect = geometry.destRect = QRect(0, 0, 64, 48);
    modes.KeepPage();
    modes.Finish(live, geometry, 0.0);
    const int expected[] = {CompareBoard::kLivePane, 1, CompareBoard::kGrid,
                            CompareBoard::kLivePane};
    for (int pane : expected) {
        ASSERT_TRUE(modes.StepPages(1));
        EXPECT_EQ(modes.Board().Alone(), pane);
    }
    ASSERT_TRUE(modes.StepPages(-1));
    EXPECT_EQ(modes.Board().Alone(), CompareBoard::kGrid);
    for (int i = 0; i < 2; ++i) {
        modes.KeepPage();
        modes.Finish(live, geometry, 0.0);
    }
    EXPECT_EQ(modes.Board().PageCount(), CompareBoard::kMaxPages);
    modes.KeepPage();  // with every slot taken the key ends compare
    EXPECT_FALSE(modes.Comparing());
}

}  // namespace
}  // namespace vistrela
