#include <gtest/gtest.h>

#include <QKeyCombination>
#include <vector>

#include "annotation/annotation_tools.h"
#include "annotation/ink_commands.h"
#include "annotation/ink_draw.h"
#include "annotation/laser_ink.h"
#include "common/clock.h"
#include "settings/profile_store.h"
#include "settings/remembered_choices.h"
#include "viewer/view_controls.h"

namespace vistrela {
namespace {

// A window whose video area is the picture: area point (x, y) is overlay point
// (x, height - y) at rotation 0.
struct Desk {
    ViewState view;
    PipelineState state;
    VideoArea area{200, 100};
    AnnotationTools tools;

    Desk() {
        view.frameWidth = area.width;
        view.frameHeight = area.height;
        view.zoomSize = view.zoomMinSize = area.width;
        view.zoomSizeY = view.zoomMinSizeY = area.height;
        view.zoom = 1.0;
        tools.NewOverlay(view, state);
    }
    void Keys(const char* keys) {
        for (const char* k = keys; *k != '\0'; ++k) {
            const InkCommand* c = FindInkCommandForKey(QKeyCombination(Qt::Key(*k)));
            ASSERT_NE(c, nullptr) << *k;
            c->run(tools, state);
        }
    }
    void Drag(std::vector<std::pair<int, int>> points, bool straight = false) {
        tools.Press(view, state, area, points[0].first, points[0].second, straight);
        for (const auto& [x, y] : points) tools.Move(view, state, area, x, y, true);
        tools.Release(view, state);
    }
    std::uint32_t At(int x, int y) const { return state.overlayImage.PixelAt(x, y); }
    // The picture a plain grey frame shows with this ink.
    CxImage Picture(Rgb grey = {255, 255, 255}) {
        CxImage frame;
        frame.Create(area.width, area.height);
        for (int y = 0; y < area.height; ++y)
            for (int x = 0; x < area.width; ++x)
                frame.MutableScanLine(y)[x] = (x < 100 ? grey : Rgb{20, 20, 20}).pixel();
        frame.MixFrom(state.overlayImage);
        return frame;
    }
    int InkCount() const {
        int n = 0;
        for (int y = 0; y < area.height; ++y)
            for (int x = 0; x < area.width; ++x) n += At(x, y) != kNoInk;
        return n;
    }
};

TEST(Ink, KeysChooseColourWidthAndTool) {
    struct Case {
        const char* keys;
        InkStyle style;
        DrawMode mode;
    };
    const Case cases[] = {
        {"", {0, kYellowInk, 2, DrawMode::Pen}, DrawMode::Show},
        {"3", {2, kYellowInk, 2, DrawMode::Pen}, DrawMode::Show},
        {"WW", {0, kYellowInk, 1, DrawMode::Pen}, DrawMode::Show},
        {"H4", {0, 3, 2, DrawMode::Highlight}, DrawMode::Highlight},
        {"E2", {1, kYellowInk, 2, DrawMode::Pen}, DrawMode::Pen},
        {"OL", {0, kYellowInk, 2, DrawMode::Laser}, DrawMode::Laser},
        {"AQE", {0, kYellowInk, 2, DrawMode::Rectangle}, DrawMode::Erase},
    };
    for (const Case& c : cases) {
        Desk d;
        d.state.drawMode = DrawMode::Show;
        d.Keys(c.keys);
        EXPECT_EQ(d.tools.Style(), c.style) << c.keys;
        EXPECT_EQ(d.state.drawMode, c.mode) << c.keys;
    }
    EXPECT_EQ(FindInkCommandForKey(QKeyCombination(Qt::ControlModifier, Qt::Key_E)), nullptr);
}

// Colours and kinds of ink as the picture shows them, over white paper (x < 100) and dark
// print (x >= 100).
TEST(Ink, PictureShowsEveryKindOfInk) {
    struct Case {
        const char* keys;
        Rgb paper;  // expected over white
        Rgb print;  // expected over dark print
    };
    const Case cases[] = {
        {"", {0, 255, 34}, {0, 255, 34}},     // the design's pen
        {"2", {0, 0, 0}, {0, 0, 0}},          // black ink shows
        {"3", {230, 25, 25}, {230, 25, 25}},  // red
        {"H", {255, 230, 0}, {20, 18, 0}},    // yellow highlighter multiplies
        {"H4", {25, 80, 235}, {2, 6, 18}},    // highlighter in blue
    };
    for (const Case& c : cases) {
        Desk d;
        d.Keys(c.keys);
        d.Drag({{20, 50}, {180, 50}, {20, 52}});  // over itself: no darker where it overlaps
        const CxImage picture = d.Picture();
        EXPECT_EQ(picture.PixelAt(50, 50), c.paper.pixel()) << c.keys;
        EXPECT_EQ(picture.PixelAt(150, 50), c.print.pixel()) << c.keys;
        EXPECT_EQ(picture.PixelAt(50, 10), (Rgb{255, 255, 255}).pixel()) << c.keys;
        d.tools.Undo(d.view, d.state);
        EXPECT_EQ(d.InkCount(), 0) << c.keys;
    }
}

TEST(Ink, HighlighterGoesUnderThePensInk) {
    Desk d;
    d.Drag({{20, 50}, {180, 50}});
    d.Keys("H");
    d.Drag({{100, 20}, {100, 80}});
    EXPECT_EQ(d.Picture().PixelAt(100, 50), (Rgb{0, 255, 34}).pixel());
}

// A figure follows the pointer with a live preview: what stays is the figure from the press to
// the release, the same as a drag straight there, one undo step.
TEST(Ink, FiguresLeaveOnlyTheLastPreview) {
    for (const char* keys : {"P", "A", "Q", "O"}) {
        const bool straight = keys[0] == 'P';
        Desk direct;
        direct.Keys(keys);
        direct.Drag({{30, 20}, {150, 70}}, straight);
        Desk wobbly;
        wobbly.Keys(keys);
        wobbly.Drag({{30, 20}, {190, 90}, {60, 30}, {120, 95}, {150, 70}}, straight);
        ASSERT_GT(direct.InkCount(), 0) << keys;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                ASSERT_EQ(wobbly.At(x, y), direct.At(x, y)) << keys << " " << x << "," << y;
        EXPECT_EQ(wobbly.tools.History().UndoCount(), 1u) << keys;
        wobbly.tools.Undo(wobbly.view, wobbly.state);
        EXPECT_EQ(wobbly.InkCount(), 0) << keys;
    }
    Desk line;  // the straight pen line stays on its row
    line.Drag({{30, 50}, {90, 10}, {150, 50}}, true);
    EXPECT_EQ(line.At(90, 10), kNoInk);
    EXPECT_NE(line.At(90, 50), kNoInk);
}

// Black and highlighter ink turn with the picture, still mix as before, and undo where they
// now are.
TEST(Ink, EveryKindTurnsWithThePicture) {
    Desk d;
    d.Keys("2");
    d.Drag({{20, 50}, {60, 50}});
    d.Keys("H");
    d.Drag({{120, 50}, {160, 50}});
    QuarterTurn(d.view, d.state.overlayImage);
    CxImage frame;
    frame.Create(100, 200);
    frame.Clear(255);
    frame.MixFrom(d.state.overlayImage);
    EXPECT_EQ(frame.PixelAt(49, 40), kNoInk);                       // black ink
    EXPECT_EQ(frame.PixelAt(49, 140), (Rgb{255, 230, 0}).pixel());  // yellow highlighter
    d.tools.Undo(d.view, d.state);
    EXPECT_EQ(d.state.overlayImage.PixelAt(49, 140), kNoInk);
    EXPECT_EQ(d.state.overlayImage.PixelAt(49, 40), kBlackInk);
}

TEST(Ink, LaserInkFadesAndIsNoStep) {
    struct Case {
        double sinceEnd;
        double opacity;
    };
    for (const Case c : {Case{0.0, 1.0}, Case{2.0, 1.0}, Case{2.5, 0.5}, Case{3.0, 0.0}})
        EXPECT_DOUBLE_EQ(LaserInk::Opacity(10.0, 10.0 + c.sinceEnd), c.opacity) << c.sinceEnd;

    Desk d;
    d.Keys("L");
    d.Drag({{20, 50}, {180, 50}});
    EXPECT_FALSE(d.tools.CanUndo());
    EXPECT_EQ(d.InkCount(), 0);
    CxImage frame = d.Picture();
    d.state.laser.Draw(frame, nowSeconds(), 0);
    EXPECT_EQ(frame.PixelAt(50, 50), (Rgb{0, 255, 34}).pixel());
    // A quarter turn later the stroke stands upright in the turned picture.
    CxImage turned;
    turned.Create(100, 200);
    d.state.laser.Draw(turned, nowSeconds(), 1);
    EXPECT_EQ(turned.PixelAt(50, 60), (Rgb{0, 255, 34}).pixel());
    d.state.laser.Draw(frame, nowSeconds() + 3.1, 1);
    EXPECT_TRUE(d.state.laser.Empty());
}

TEST(Ink, RememberedOnlyWhileRememberingIsOn) {
    ProfileStore profile(QString::fromStdString(testing::TempDir()) + "/ink_profile.ini");
    ForgetRememberedChoices(profile);
    StoreRememberedInk(profile, {2, 3, 1, 21});
    EXPECT_FALSE(LoadRememberedInk(profile).has_value());
    StoreRememberedChoices(profile, RememberedChoices{});
    StoreRememberedInk(profile, {2, 3, 1, 21});
    const std::optional<RememberedInk> ink = LoadRememberedInk(profile);
    ASSERT_TRUE(ink.has_value());
    EXPECT_EQ(InkStyleOf(*ink), (InkStyle{2, 3, 1, DrawMode::Highlight}));
    EXPECT_EQ(InkStyleOf({9, -1, 7, 30}), (InkStyle{5, 0, 2, DrawMode::Pen}));
}

}  // namespace
}  // namespace vistrela
