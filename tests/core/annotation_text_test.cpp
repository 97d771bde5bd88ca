#include "annotation/annotation_text.h"

#include <gtest/gtest.h>

#include <vector>

#include "annotation/overlay.h"
#include "tests/core/gui_app.h"
#include "tests/core/picture_helpers.h"
#include "viewer/pipeline.h"

namespace vistrela {
namespace {

using test::View;

// A flat grey camera frame: no pixel of it has one of the text colours.
struct FlatFrame {
    explicit FlatFrame(int w, int h) : bytes(static_cast<std::size_t>(w) * h * 3, 60) {
        view = FrameView{bytes.data(), bytes.size(), w, h, w * 3};
    }
    std::vector<std::uint8_t> bytes;
    FrameView view;
};

// Pixels of `colour` in `image`, and the box they lie in (rows from the top).
struct Ink {
    int count = 0;
    QRect box;
};
Ink FindInk(const CxImage& image, Rgb colour) {
    Ink ink;
    for (int y = 0; y < image.GetHeight(); ++y) {
        for (int x = 0; x < image.GetWidth(); ++x) {
            if ((image.PixelAt(x, y) & kRgbMask) != (colour.pixel() & kRgbMask)) continue;
            ++ink.count;
            ink.box = ink.box.united(QRect(x, y, 1, 1));
        }
    }
    return ink;
}

TEST(AnnotationText, WindowCornerMapsOntoTheShownPicture) {
    // No zoom or pan, an area of the frame's size: the corner's own coordinates.
    FrameGeometry g = ComputeGeometry(View(640, 480), VideoArea{640, 480});
    EXPECT_EQ(MapAreaToPictureFromTop(g, 100, 100), (PicturePoint{100, 100}));
    EXPECT_EQ(MapAreaToPictureFromTop(g, 0, 479), (PicturePoint{0, 479}));

    // An area twice as large halves the distances.
    g = ComputeGeometry(View(640, 480), VideoArea{1280, 960});
    EXPECT_EQ(MapAreaToPictureFromTop(g, 200, 200), (PicturePoint{100, 100}));

    // Zoomed in and panned: half the picture shown, its bottom row 20 above the middle
    // placement, so its top row is 100 from the top.
    ViewState zoomed = View(640, 480);
    zoomed.zoom = 0.5;
    zoomed.panX = 10;
    zoomed.panY = 20;
    g = ComputeGeometry(zoomed, VideoArea{640, 480});
    EXPECT_EQ(MapAreaToPictureFromTop(g, 100, 100), (PicturePoint{170 + 50, 100 + 50}));
    // The same place as the pen's mapping, counted from the other end.
    const PicturePoint pen = MapAreaToPicture(g, 100, 100);
    EXPECT_EQ(pen.y, g.pictureHeight - 150);

    // Black bars left and right of the picture; a quarter turn makes the picture upright.
    g = ComputeGeometry(View(640, 480), VideoArea{800, 480});
    EXPECT_EQ(MapAreaToPictureFromTop(g, 180, 100), (PicturePoint{100, 100}));
    ViewState turned = View(640, 480);
    turned.rotation = 90;
    g = ComputeGeometry(turned, VideoArea{480, 640});
    EXPECT_EQ(MapAreaToPictureFromTop(g, 100, 600), (PicturePoint{100, 600}));
}

TEST(AnnotationText, LayoutKeepsTheWindowOverTheVideoArea) {
    const QSize area(640, 480);
    EXPECT_EQ(KeepTextWindowInside(QPoint(21, 1), area), QPoint(21, 1));
    EXPECT_EQ(KeepTextWindowInside(QPoint(539, 469), area), QPoint(539, 469));
    // First placement (a new window sits at 0, 0), and windows too near an edge.
    for (const QPoint at : {QPoint(0, 0), QPoint(20, 100), QPoint(540, 100), QPoint(100, 0),
                            QPoint(100, 470), QPoint(-50, -50), QPoint(900, 100)}) {
        EXPECT_EQ(KeepTextWindowInside(at, area), QPoint(200, 300)) << at.x() << "," << at.y();
    }
    EXPECT_EQ(TextWindowRange(area), QRect(QPoint(21, 1), QPoint(539, 469)));
    // A small picture's area: the window is pulled in so that it can be reached.
    EXPECT_EQ(KeepTextWindowInside(QPoint(0, 0), QSize(400, 240)), QPoint(58, 184));
    EXPECT_EQ(KeepTextWindowInside(QPoint(0, 0), QSize(300, 40)), QPoint(0, 0));
    EXPECT_FALSE(TextWindowRange(QSize(120, 40)).isValid());
}

class TextStamp : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureGuiApp();
        CreateOverlay(state.overlayImage, view);
        step.annotation.text = "TEXT";
        step.annotation.areaPos = QPoint(100, 100);
        step.beforeBurn = [this] { ++burns; };
    }
    void Frame(bool windowOpen) {
        ProcessFrame(view, state, frameImage, frame.view, VideoArea{640, 480}, ++tick, 0.0,
                     windowOpen ? &step : nullptr);
    }

    FlatFrame frame{640, 480};
    ViewState view = View(640, 480);
    PipelineState state;
    CxImage frameImage;
    TextAnnotationStep step;
    int burns = 0;
    std::uint32_t tick = 0;
};

TEST_F(TextStamp, LiveTextFollowsTheWindowAndLeavesWithIt) {
    Frame(true);
    Ink live = FindInk(frameImage, kAnnotationTextColour);
    ASSERT_GT(live.count, 100);
    // The line's top-left corner at the mapped point, 40 pixels high, four letters wide.
    EXPECT_GE(live.box.left(), 100);
    EXPECT_LE(live.box.left(), 106);
    EXPECT_GE(live.box.top(), 100);
    EXPECT_LE(live.box.bottom(), 100 + 42);
    EXPECT_GT(live.box.width(), 60);
    EXPECT_EQ(state.drawMode, DRAW_NONE);
    EXPECT_EQ(FindInk(state.overlayImage, kAnnotationTextColour).count, 0);

    step.annotation.areaPos = QPoint(300, 250);
    Frame(true);
    const Ink moved = FindInk(frameImage, kAnnotationTextColour);
    EXPECT_EQ(moved.box.topLeft(), live.box.topLeft() + QPoint(200, 150));

    step.annotation.text.clear();  // an empty line draws nothing
    Frame(true);
    EXPECT_EQ(FindInk(frameImage, kAnnotationTextColour).count, 0);

    step.annotation.text = "TEXT";
    Frame(false);  // closed without apply: the text is gone
    EXPECT_EQ(FindInk(frameImage, kAnnotationTextColour).count, 0);
    EXPECT_EQ(burns, 0);
}

TEST_F(TextStamp, ApplyBurnsOnceAndTheBurntCopyStays) {
    state.drawMode = DRAW_PEN;  // applied while the pen is selected
    view.markerX = 400;
    view.markerY = 100;
    RequestTextStamp(state);
    RequestTextStamp(state);  // twice before a frame
    EXPECT_EQ(state.drawMode, DRAW_STAMP);
    Frame(true);
    EXPECT_EQ(state.drawMode, DRAW_SHOW);
    EXPECT_EQ(burns, 1);
    const Ink burnt = FindInk(state.overlayImage, kAnnotationTextColour);
    const Ink live = FindInk(frameImage, kAnnotationTextColour);
    ASSERT_GT(burnt.count, 100);
    // The same place (the live copy is smoothed, the burnt one not: a pixel of difference).
    EXPECT_LE((burnt.box.topLeft() - live.box.topLeft()).manhattanLength(), 2);
    // Shadow first, text over it: the shadow shows one pixel right of and below the text.
    const Ink shadow = FindInk(state.overlayImage, kAnnotationShadowColour);
    EXPECT_GT(burnt.count, shadow.count);
    EXPECT_EQ(shadow.box.right(), burnt.box.right() + 1);
    EXPECT_EQ(shadow.box.bottom(), burnt.box.bottom() + 1);
    // The pen is off: no marker on the picture.
    EXPECT_EQ(FindInk(frameImage, PEN_MARKER_COLOUR).count, 0);

    // Further frames and a moved window: only the live copy moves; nothing is burnt again.
    step.annotation.areaPos = QPoint(300, 300);
    Frame(true);
    Frame(true);
    EXPECT_EQ(burns, 1);
    const Ink after = FindInk(state.overlayImage, kAnnotationTextColour);
    EXPECT_EQ(after.count, burnt.count);
    EXPECT_EQ(after.box, burnt.box);
    const Ink both = FindInk(frameImage, kAnnotationTextColour);
    EXPECT_EQ(both.box.topLeft(), burnt.box.topLeft());
    EXPECT_GE(both.box.bottom(), 300);

    // Closed after apply: the burnt copy stays in the picture, mixed in from the overlay.
    Frame(false);
    EXPECT_EQ(FindInk(frameImage, kAnnotationTextColour).box, burnt.box);
}

TEST_F(TextStamp, BurnWithoutAFrameIsTheFramesBurn) {
    const FrameGeometry geometry = ComputeGeometry(view, VideoArea{640, 480});
    EXPECT_FALSE(BurnAnnotationText(state, geometry, step.annotation, step.beforeBurn));
    // An empty line uses the stamp up and burns nothing.
    RequestTextStamp(state);
    EXPECT_TRUE(
        BurnAnnotationText(state, geometry, TextAnnotation{"", QPoint(100, 100)}, step.beforeBurn));
    EXPECT_EQ(burns, 0);
    EXPECT_EQ(FindInk(state.overlayImage, kAnnotationShadowColour).count, 0);

    // A pending apply burnt when the window closes: the very pixels a frame would burn.
    RequestTextStamp(state);
    EXPECT_TRUE(BurnAnnotationText(state, geometry, step.annotation, step.beforeBurn));
    EXPECT_EQ(state.drawMode, DRAW_SHOW);
    EXPECT_EQ(burns, 1);
    PipelineState byFrame;
    CreateOverlay(byFrame.overlayImage, view);
    RequestTextStamp(byFrame);
    ProcessFrame(view, byFrame, frameImage, frame.view, VideoArea{640, 480}, 1, 0.0, &step);
    EXPECT_GT(FindInk(byFrame.overlayImage, kAnnotationTextColour).count, 100);
    EXPECT_TRUE(byFrame.overlayImage.View() == state.overlayImage.View());
}

}  // namespace
}  // namespace vistrela
