#include "controls/panel_layout.h"

#include <gtest/gtest.h>

#include <set>

#include "controls/button_images.h"
#include "controls/panel_buttons.h"
#include "viewer/geometry.h"

using namespace vistrela;

namespace {

PanelLayoutInput shownWindow(int width, int height) {
    PanelLayoutInput in;
    in.windowWidth = width;
    in.windowHeight = height;
    in.clientWidth = width - 16;
    in.clientHeight = height - 39;
    return in;
}

}  // namespace

TEST(PanelLayout, RowsSitAtTheirBaseHeightsUpTo487) {
    for (int height : {300, 480, 487}) {
        const PanelLayout layout = computePanelLayout(shownWindow(1000, height));
        EXPECT_EQ(layout.spacingPx, 0) << height;
        EXPECT_EQ(layout.positionOf(IDC_LOGO).y(), 10);
        EXPECT_EQ(layout.positionOf(IDC_HALF_TURN_BACK).y(), 65);
        EXPECT_EQ(layout.positionOf(IDC_ZOOM).y(), 120);
        EXPECT_EQ(layout.positionOf(IDC_PEN).y(), 175);
        EXPECT_EQ(layout.positionOf(IDC_RESET_VIEW).y(), 230);
        EXPECT_EQ(layout.positionOf(IDC_SAVE_PICTURE).y(), 285);
        EXPECT_EQ(layout.positionOf(IDC_MENU).y(), 340);
        EXPECT_EQ(layout.positionOf(IDC_EXIT).y(), 395);
    }
}

TEST(PanelLayout, SpacingGrowsWithHeight) {
    EXPECT_EQ(computePanelLayout(shownWindow(1000, 488)).spacingPx, 1);
    const PanelLayout tall = computePanelLayout(shownWindow(1000, 800));
    EXPECT_EQ(tall.spacingPx, 40);
    EXPECT_EQ(tall.positionOf(IDC_EXIT).y(), 675);
    EXPECT_EQ(tall.positionOf(IDC_HALF_TURN_BACK).y(), 105);
    EXPECT_EQ(tall.positionOf(IDC_LOGO).y(), 10);
}

TEST(PanelLayout, ColumnsAndStripFollowTheRightEdge) {
    const PanelLayout layout = computePanelLayout(shownWindow(1000, 600));
    EXPECT_EQ(layout.positionOf(IDC_PEN).x(), 1000 - 165 - 5);
    EXPECT_EQ(layout.positionOf(IDC_TEXT).x(), 1000 - 165 - 5 + 70);
    EXPECT_EQ(layout.positionOf(IDC_PANEL_STRIP), QPoint(1000 - 32, 300 - 90));
    EXPECT_EQ(layout.panelRect, QRect(984 - 175, 0, 175, 561));
    // Every grid button but the logo is 60 wide, so column 2 stays left of the strip.
    EXPECT_LT(layout.positionOf(IDC_TEXT).x() + 60, layout.positionOf(IDC_PANEL_STRIP).x());
}

TEST(PanelLayout, CollapsedParksGridBeyondTheEdge) {
    PanelLayoutInput in = shownWindow(900, 700);
    in.panelWidth = kPanelCollapsedWidth;
    const PanelLayout layout = computePanelLayout(in);
    for (const auto& b : layout.buttons) {
        if (b.controlId == IDC_PANEL_STRIP) {
            EXPECT_EQ(b.position.x(), 900 - 32);
        } else {
            const auto* entry = findPanelButton(b.controlId);
            ASSERT_NE(entry, nullptr);
            EXPECT_EQ(b.position.x(), entry->column == 1 ? 900 : 970) << b.controlId;
        }
    }
    EXPECT_EQ(layout.drawOrder, std::vector<int>{IDC_PANEL_STRIP});
    EXPECT_EQ(layout.panelRect.left(), in.clientWidth - 40);
    EXPECT_EQ(layout.panelRect.width(), 40);
}

TEST(PanelLayout, ExactlyOneMemberOfEachPairIsOnScreen) {
    const std::pair<int, int> pairs[] = {{IDC_HALF_TURN, IDC_HALF_TURN_BACK},
                                         {IDC_FULL_SCREEN, IDC_WINDOWED},
                                         {IDC_RECORD, IDC_STOP}};
    for (int mask = 0; mask < 8; ++mask) {
        PanelLayoutInput in = shownWindow(1200, 800);
        in.halfTurn = mask & 1;
        in.windowed = mask & 2;
        in.recordIdle = mask & 4;
        const PanelLayout layout = computePanelLayout(in);
        for (const auto& [a, b] : pairs) {
            EXPECT_NE(layout.isShown(a), layout.isShown(b)) << mask;
            const int shown = layout.isShown(a) ? a : b;
            const int hidden = layout.isShown(a) ? b : a;
            EXPECT_EQ(layout.positionOf(hidden).x(), layout.positionOf(shown).x());
            EXPECT_EQ(layout.positionOf(hidden).y(), layout.positionOf(shown).y() - 9999);
            // The draw list holds the shown member only.
            const auto& order = layout.drawOrder;
            EXPECT_EQ(std::count(order.begin(), order.end(), shown), 1);
            EXPECT_EQ(std::count(order.begin(), order.end(), hidden), 0);
        }
        EXPECT_EQ(layout.isShown(IDC_HALF_TURN_BACK), in.halfTurn);
        EXPECT_EQ(layout.isShown(IDC_FULL_SCREEN), in.windowed);
        EXPECT_EQ(layout.isShown(IDC_RECORD), in.recordIdle);
        EXPECT_EQ(layout.drawOrder.size(), 15u);
    }
    // The hidden stop button goes to column 2 of row 5, 9999 up (d = 40 at 800 high).
    const PanelLayout idle = computePanelLayout(shownWindow(1200, 800));
    EXPECT_EQ(idle.positionOf(IDC_STOP), QPoint(1200 - 170 + 70, 285 + 200 - 9999));
}

TEST(PanelLayout, TextWindowKeepsInsideRule) {
    const QRect main(100, 50, 800, 600);  // right edge 900, bottom 650
    EXPECT_EQ(keepTextWindowInside(main, {300, 200}), QPoint(300, 200));
    EXPECT_EQ(keepTextWindowInside(main, {120, 200}), QPoint(300, 200));  // at left + 20
    EXPECT_EQ(keepTextWindowInside(main, {121, 200}), QPoint(121, 200));
    EXPECT_EQ(keepTextWindowInside(main, {800, 200}), QPoint(300, 200));  // at right - 100
    EXPECT_EQ(keepTextWindowInside(main, {799, 200}), QPoint(799, 200));
    EXPECT_EQ(keepTextWindowInside(main, {300, 80}), QPoint(300, 350));  // at top + 30
    EXPECT_EQ(keepTextWindowInside(main, {300, 81}), QPoint(300, 81));
    EXPECT_EQ(keepTextWindowInside(main, {300, 640}), QPoint(300, 350));  // at bottom - 10
    EXPECT_EQ(keepTextWindowInside(main, {-500, 5000}), QPoint(300, 350));
}

TEST(PanelLayout, FitToVideoAddsPanelAndDecoration) {
    const WindowFit fit = fitWindowToVideo({640, 480}, {16, 39}, 165, {1920, 1040});
    EXPECT_EQ(fit.windowSize, QSize(640 + 16 + 165, 480 + 39));
    // The outer minimum keeps the panel's height: a 480 high client.
    EXPECT_EQ(fit.minimumSize, QSize(640, 480 + 39));
    // Without a known screen nothing is capped.
    EXPECT_EQ(fitWindowToVideo({3840, 2160}, {0, 0}, 165, {}).windowSize, QSize(4005, 2160));
}

TEST(PanelLayout, FitToVideoCapsToTheScreenKeepingShape) {
    const QSize available(1366, 728);
    const WindowFit fit = fitWindowToVideo({1920, 1080}, {16, 39}, 165, available);
    EXPECT_LE(fit.windowSize.width(), available.width());
    EXPECT_LE(fit.windowSize.height(), available.height());
    const int pictureW = fit.windowSize.width() - 16 - 165;
    const int pictureH = fit.windowSize.height() - 39;
    EXPECT_EQ(pictureW, 1366 - 16 - 165);  // the width limits this one
    EXPECT_NEAR(double(pictureW) / pictureH, 16.0 / 9.0, 0.01);
    EXPECT_LE(fit.minimumSize.width(), available.width());
    EXPECT_LE(fit.minimumSize.height(), available.height());
    EXPECT_NEAR(double(fit.minimumSize.width()) / fit.minimumSize.height(), 16.0 / 9.0, 0.01);
    // A tall picture is limited by the height.
    const WindowFit tall = fitWindowToVideo({1080, 1920}, {0, 0}, 165, {1920, 1000});
    EXPECT_EQ(tall.windowSize.height(), 1000);
    EXPECT_EQ(tall.minimumSize, QSize(562, 1000));

    // A school laptop: the smallest size never exceeds the fitted one, and the whole frame is
    // placed on the screen, centred.
    const QRect laptop(0, 0, 1366, 768);
    const WindowFit small = fitWindowToVideo({1920, 1080}, {2, 25}, 165, laptop.size());
    EXPECT_LE(small.minimumSize.height(), small.windowSize.height());
    EXPECT_LE(small.minimumSize.width(), small.windowSize.width());
    const QRect placed(placeWindowInside(small.windowSize, laptop), small.windowSize);
    EXPECT_TRUE(laptop.contains(placed)) << placed.y() << " " << placed.height();
    EXPECT_EQ(placed.center().y(), laptop.center().y());
    // Larger than the area (the panel's floor on a tiny screen): the title bar stays on it.
    EXPECT_EQ(placeWindowInside({900, 600}, QRect(10, 20, 800, 500)), QPoint(10, 20));
}

namespace {

// The lowest bottom edge of the buttons the layout shows, client pixels.
int lowestShownBottom(const PanelLayout& layout) {
    int bottom = 0;
    for (const auto& b : layout.buttons) {
        if (!b.shown) continue;
        const int image = b.controlId == IDC_PANEL_STRIP
                              ? stripLook(false).normalImage
                              : findPanelButton(b.controlId)->normalImage;
        int height = 0;
        for (const auto& entry : kButtonImages)
            if (entry.number == image) height = entry.heightPx;
        EXPECT_GT(height, 0) << b.controlId;
        bottom = std::max(bottom, b.position.y() + height);
    }
    return bottom;
}

}  // namespace

TEST(PanelLayout, SmallCameraKeepsTheWholePanel) {
    for (const QSize decoration : {QSize(0, 0), QSize(16, 39), QSize(8, 100)}) {
        SCOPED_TRACE(decoration.height());
        const int floor = panelMinimumClientHeight(decoration.height());
        EXPECT_GE(floor, 480);
        for (const QSize available : {QSize(1920, 1040), QSize()}) {
            const WindowFit fit = fitWindowToVideo({320, 240}, decoration, 165, available);
            const QSize client = fit.windowSize - decoration;
            EXPECT_EQ(client, QSize(320 + 165, floor));
            EXPECT_EQ(fit.minimumSize.height() - decoration.height(), floor);
            EXPECT_EQ(fit.minimumSize.width(), 320);

            // All eight rows and the strip lie inside the client area, at the fitted size and
            // at the smallest one the window can be dragged to.
            for (const QSize outer : {fit.windowSize, fit.minimumSize}) {
                PanelLayoutInput in = shownWindow(outer.width(), outer.height());
                in.clientWidth = outer.width() - decoration.width();
                in.clientHeight = outer.height() - decoration.height();
                const PanelLayout layout = computePanelLayout(in);
                EXPECT_LE(lowestShownBottom(layout), in.clientHeight);
                EXPECT_GE(layout.positionOf(IDC_EXIT).y(), 395);
            }
        }
        // Collapsed, the window keeps the panel's height (it may be shown again) and the
        // strip stays inside; the video area is the picture's width.
        const WindowFit narrow = fitWindowToVideo({320, 240}, decoration, 30, {1920, 1040});
        PanelLayoutInput in = shownWindow(narrow.windowSize.width(), narrow.windowSize.height());
        in.clientWidth = narrow.windowSize.width() - decoration.width();
        in.clientHeight = narrow.windowSize.height() - decoration.height();
        in.panelWidth = kPanelCollapsedWidth;
        EXPECT_EQ(in.clientHeight, floor);
        EXPECT_EQ(in.clientWidth - kPanelCollapsedWidth, 320);
        const PanelLayout collapsed = computePanelLayout(in);
        const QPoint strip = collapsed.positionOf(IDC_PANEL_STRIP);
        EXPECT_GE(strip.y(), 0);
        EXPECT_LE(strip.y() + 110, in.clientHeight);
        EXPECT_LT(strip.x(), in.clientWidth);
        EXPECT_GE(strip.x(), in.clientWidth - 40);  // on the black strip
    }
    // A picture taller than the panel needs is left alone.
    EXPECT_EQ(fitWindowToVideo({800, 600}, {0, 0}, 165, {}).windowSize, QSize(965, 600));
}

TEST(PanelLayout, ShortPictureIsCentredInTheTallerVideoArea) {
    // The 320 x 240 picture in the 320 x 480 video area the fitted window gives it.
    ViewState view;
    view.frameWidth = 320;
    view.frameHeight = 240;
    view.zoom = 1.0;
    const FrameGeometry g = ComputeGeometry(view, {320, 480});
    EXPECT_EQ(g.sourceRect, QRect(0, 0, 320, 240));
    EXPECT_EQ(g.destRect, QRect(0, 120, 320, 240));
    // The bars map outside the picture; the picture's corners map onto its corners.
    EXPECT_EQ(MapAreaToPicture(g, 0, 120 + 240), (PicturePoint{0, 0}));
    EXPECT_EQ(MapAreaToPicture(g, 160, 120), (PicturePoint{160, 240}));
    EXPECT_LT(MapAreaToPicture(g, 10, 479).y, 0);
    EXPECT_GT(MapAreaToPicture(g, 10, 0).y, 240);
}

TEST(ButtonImages, EveryPanelImageHasAPath) {
    std::set<int> numbers;
    for (const auto& b : kPanelButtons) {
        EXPECT_NE(buttonImagePath(b.normalImage), nullptr) << b.controlId;
        EXPECT_NE(buttonImagePath(b.hoverImage), nullptr) << b.controlId;
        numbers.insert(b.normalImage);
        numbers.insert(b.hoverImage);
    }
    for (bool collapsed : {false, true}) {
        numbers.insert(stripLook(collapsed).normalImage);
        numbers.insert(stripLook(collapsed).hoverImage);
    }
    // Every image of the table is used by some button, each exactly once.
    EXPECT_EQ(numbers.size(), kButtonImages.size());
    for (const auto& image : kButtonImages) EXPECT_EQ(numbers.count(image.number), 1u);
    EXPECT_EQ(buttonImagePath(148), nullptr);
}
