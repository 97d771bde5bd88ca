#include "viewer/image.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QImageReader>
#include <QTemporaryDir>
#include <string>
#include <tuple>

#include "tests/core/gui_app.h"
#include "tests/core/picture_helpers.h"

namespace vistrela {
namespace {

using test::MakeFrame;
using test::SourceColour;

std::uint32_t Px(Rgb c) {
    return c.pixel();
}

TEST(Image, BuildKeepsOrderOrReversesRows) {
    const auto f = MakeFrame(5, 3, 2);
    CxImage img;
    img.CreateFromArray(f.view.data, 5, 3, f.view.strideBytes, false);
    ASSERT_EQ(img.GetWidth(), 5);
    ASSERT_EQ(img.GetHeight(), 3);
    EXPECT_EQ(img.PixelAt(0, 0), Px(SourceColour(0, 0)));
    EXPECT_EQ(img.PixelAt(4, 2), Px(SourceColour(4, 2)));
    img.CreateFromArray(f.view.data, 5, 3, f.view.strideBytes, true);
    EXPECT_EQ(img.PixelAt(0, 0), Px(SourceColour(0, 2)));
    EXPECT_EQ(img.PixelAt(3, 2), Px(SourceColour(3, 0)));
}

TEST(Image, FlippedBuildPlusMirrorIsHalfTurn) {
    const auto f = MakeFrame(9, 4);
    CxImage img;
    img.CreateFromArray(f.view.data, 9, 4, f.view.strideBytes, true);
    img.Mirror();
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 9; ++x) {
            ASSERT_EQ(img.PixelAt(x, y), Px(SourceColour(8 - x, 3 - y))) << x << "," << y;
        }
    }
}

TEST(Image, QuarterTurnTurnsRightAndFourComeBack) {
    const auto f = MakeFrame(6, 4);
    CxImage img;
    img.CreateFromArray(f.view.data, 6, 4, f.view.strideBytes, false);
    img.Rotate(90);
    ASSERT_EQ(img.GetWidth(), 4);
    ASSERT_EQ(img.GetHeight(), 6);
    // The top-left corner goes to the top-right, the bottom-left to the top-left.
    EXPECT_EQ(img.PixelAt(3, 0), Px(SourceColour(0, 0)));
    EXPECT_EQ(img.PixelAt(0, 0), Px(SourceColour(0, 3)));
    EXPECT_EQ(img.PixelAt(3, 5), Px(SourceColour(5, 0)));
    img.Rotate(90);
    img.Rotate(90);
    img.Rotate(90);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) ASSERT_EQ(img.PixelAt(x, y), Px(SourceColour(x, y)));
    }
    img.Rotate(45);  // not a quarter turn: unchanged
    EXPECT_EQ(img.GetWidth(), 6);
}

// The one-pass build must equal the separate steps for every orientation, on sizes that are
// not multiples of the loop widths and rows with padding.
TEST(Image, OnePassBuildEqualsSeparateSteps) {
    for (const auto& [w, h, padding] : {std::tuple{67, 37, 5}, std::tuple{130, 70, 0},
                                        std::tuple{3, 2, 0}, std::tuple{1, 5, 0}}) {
        const auto f = MakeFrame(w, h, padding);
        for (int flip = 0; flip < 2; ++flip) {
            for (int mirror = 0; mirror < 2; ++mirror) {
                for (int rot = 0; rot < 360; rot += 90) {
                    CxImage steps;
                    steps.CreateFromArray(f.view.data, w, h, f.view.strideBytes, flip != 0);
                    if (mirror != 0) steps.Mirror();
                    steps.Rotate(rot);
                    CxImage fused;
                    ASSERT_TRUE(fused.CreateFromFrame(f.view, flip != 0, mirror != 0, rot));
                    ASSERT_EQ(fused.GetWidth(), steps.GetWidth());
                    ASSERT_EQ(fused.GetHeight(), steps.GetHeight());
                    for (int y = 0; y < steps.GetHeight(); ++y) {
                        for (int x = 0; x < steps.GetWidth(); ++x) {
                            ASSERT_EQ(fused.PixelAt(x, y), steps.PixelAt(x, y))
                                << w << "x" << h << " flip " << flip << " mirror " << mirror
                                << " rot " << rot << " at " << x << "," << y;
                        }
                    }
                }
            }
        }
    }
}

namespace {

// Ink that starts and ends at columns off the loop widths: a diagonal, a whole-width row, a
// row whose only ink is its first and last pixel, and single pixels at odd columns.
void DrawTestStrokes(CxImage& overlay) {
    const int w = overlay.GetWidth(), h = overlay.GetHeight();
    overlay.DrawLine(0, 40, 2, 30, Rgb{0, 255, 34});
    overlay.DrawLine(5, 5, 0, 60, Rgb{1, 2, 3});
    overlay.DrawLine(0, w - 1, h / 2, h / 2, Rgb{9, 8, 7});
    overlay.DrawLine(0, 0, 1, 1, Rgb{200, 0, 0});
    overlay.DrawLine(w - 1, w - 1, 1, 1, Rgb{0, 0, 200});
    overlay.DrawLine(13, 13, h - 1, h - 1, Rgb{5, 5, 5});
    overlay.DrawLine(w - 2, w - 2, h - 2, h - 2, Rgb{6, 6, 6});
    overlay.DrawLineRaw(3, w - 3, 10, 12, 0xfe000000u);  // black ink: opaque
    overlay.DrawLineRaw(2, 50, 12, 25, 0x7f00ff00u);     // top bit clear: left to its own pass
}

void ExpectSamePixels(const CxImage& a, const CxImage& b, const std::string& what) {
    ASSERT_EQ(a.GetWidth(), b.GetWidth()) << what;
    ASSERT_EQ(a.GetHeight(), b.GetHeight()) << what;
    for (int y = 0; y < a.GetHeight(); ++y) {
        for (int x = 0; x < a.GetWidth(); ++x) {
            ASSERT_EQ(a.PixelAt(x, y), b.PixelAt(x, y)) << what << " at " << x << "," << y;
        }
    }
}

}  // namespace

// The overlay mixed during the build must give what building and then MixFrom gives, in every
// orientation and on rows that are not multiples of the loop widths.
TEST(Image, OnePassBuildMixesOverlayLikeMixFrom) {
    for (const auto& [w, h, padding] : {std::tuple{70, 45, 0}, std::tuple{67, 37, 5}}) {
        const auto f = MakeFrame(w, h, padding);
        for (int flip = 0; flip < 2; ++flip) {
            for (int mirror = 0; mirror < 2; ++mirror) {
                for (int rot = 0; rot < 360; rot += 90) {
                    CxImage overlay;
                    overlay.Create(rot % 180 == 0 ? w : h, rot % 180 == 0 ? h : w);
                    overlay.SetTransColor(Rgb{});
                    DrawTestStrokes(overlay);
                    CxImage steps;
                    steps.CreateFromFrame(f.view, flip != 0, mirror != 0, rot);
                    steps.MixFrom(overlay);
                    CxImage fused;
                    ASSERT_TRUE(
                        fused.CreateFromFrame(f.view, flip != 0, mirror != 0, rot, &overlay));
                    ExpectSamePixels(fused, steps,
                                     std::to_string(w) + "x" + std::to_string(h) + " flip " +
                                         std::to_string(flip) + " mirror " +
                                         std::to_string(mirror) + " rot " + std::to_string(rot));
                }
            }
        }
    }
}

// An overlay of another size (the camera just switched) or without a transparent colour is
// mixed over the common part, as MixFrom does.
TEST(Image, OnePassBuildMixesOddOverlaysLikeMixFrom) {
    const auto f = MakeFrame(70, 45);
    for (int rot : {0, 180, 90}) {
        CxImage smaller;
        smaller.Create(rot == 90 ? 40 : 66, rot == 90 ? 60 : 41);
        smaller.SetTransColor(Rgb{});
        DrawTestStrokes(smaller);
        CxImage opaque;
        opaque.Create(rot == 90 ? 45 : 70, rot == 90 ? 70 : 45);
        DrawTestStrokes(opaque);
        for (const CxImage* overlay : {&smaller, &opaque}) {
            CxImage steps;
            steps.CreateFromFrame(f.view, true, false, rot);
            steps.MixFrom(*overlay);
            CxImage fused;
            fused.CreateFromFrame(f.view, true, false, rot, overlay);
            ExpectSamePixels(fused, steps, "rot " + std::to_string(rot));
        }
    }
}

TEST(Image, IncompleteFrameIsRefused) {
    auto f = MakeFrame(8, 8);
    f.view.lengthBytes -= 1;
    CxImage img;
    EXPECT_FALSE(img.CreateFromFrame(f.view, false, false, 0));
    EXPECT_FALSE(img.IsValid());
}

TEST(Image, MixFromKeepsPictureUnderBlackAndAlignsAtBottom) {
    const auto f = MakeFrame(8, 6);
    CxImage picture;
    picture.CreateFromArray(f.view.data, 8, 6, f.view.strideBytes, false);
    CxImage overlay;
    overlay.Create(4, 2);  // smaller: covers the bottom-left corner only
    overlay.SetTransColor(Rgb{});
    overlay.DrawLine(1, 1, 0, 0, Rgb{10, 20, 30});  // bottom row, column 1
    picture.MixFrom(overlay);
    EXPECT_EQ(picture.PixelAt(1, 5), Px(Rgb{10, 20, 30}));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            if (x == 1 && y == 5) continue;
            ASSERT_EQ(picture.PixelAt(x, y), Px(SourceColour(x, y)));
        }
    }
}

TEST(Image, DrawLineCountsRowsFromBottomAndSkipsOutside) {
    CxImage img;
    img.Create(10, 8);
    const Rgb c{200, 100, 50};
    img.DrawLine(-5, 3, 0, 0, c);  // bottom row, cut at the left edge
    EXPECT_EQ(img.PixelAt(0, 7), Px(c));
    EXPECT_EQ(img.PixelAt(3, 7), Px(c));
    EXPECT_EQ(img.PixelAt(4, 7), Px(Rgb{}));
    img.DrawLine(2, 2, 6, 20, c);  // a column running off the top
    EXPECT_EQ(img.PixelAt(2, 1), Px(c));
    EXPECT_EQ(img.PixelAt(2, 0), Px(c));
    EXPECT_EQ(img.PixelAt(2, 2), Px(Rgb{}));
    img.DrawLine(0, 9, 0, 7, c);  // a diagonal hits both end points
    EXPECT_EQ(img.PixelAt(9, 0), Px(c));
    img.DrawLine(100, 200, 100, 200, c);  // wholly outside: nothing, no crash
}

TEST(Image, OperationsOnEmptyImageDoNothing) {
    CxImage img;
    img.Mirror();
    img.Flip();
    img.Rotate(90);
    img.Clear(0);
    img.DrawLine(0, 5, 0, 5, Rgb{1, 1, 1});
    img.DrawString(0, 0, "x", Rgb{1, 1, 1}, "Arial", 20, 500);
    CxImage other;
    other.Create(3, 3);
    img.MixFrom(other);
    other.MixFrom(img);
    EXPECT_FALSE(img.IsValid());
    EXPECT_TRUE(img.View().isNull());
    QTemporaryDir dir;
    EXPECT_FALSE(img.Save(dir.filePath("empty.jpg"), 80));
}

TEST(Image, ClearAndViewShareThePixels) {
    CxImage img;
    img.Create(4, 3);
    img.Clear(7);
    EXPECT_EQ(img.PixelAt(2, 2), Px(Rgb{7, 7, 7}));
    const QImage view = img.View();
    EXPECT_EQ(view.format(), QImage::Format_RGB32);
    EXPECT_EQ(view.constBits(), reinterpret_cast<const uchar*>(img.ScanLine(0)));
    img.DrawLine(0, 0, 0, 0, Rgb{255, 0, 0});  // bottom-left
    EXPECT_EQ(view.pixel(0, 2), qRgb(255, 0, 0));
    img.Clear(0);
    EXPECT_EQ(img.InkSpan(2).begin, img.InkSpan(2).end);
}

TEST(Image, DrawStringPutsTopLeftAtPointAndDrawsKorean) {
    test::EnsureGuiApp();
    CxImage img;
    img.Create(400, 120);
    img.DrawString(50, 40, "가나다 Ab", Rgb{255, 255, 255}, "굴림", 30, 500);
    int top = -1, left = -1;
    for (int y = 0; y < 120 && top < 0; ++y) {
        for (int x = 0; x < 400; ++x) {
            if ((img.PixelAt(x, y) & kRgbMask) != 0) {
                top = y;
                break;
            }
        }
    }
    for (int x = 0; x < 400 && left < 0; ++x) {
        for (int y = 0; y < 120; ++y) {
            if ((img.PixelAt(x, y) & kRgbMask) != 0) {
                left = x;
                break;
            }
        }
    }
    // Ink starts just below and right of the point, never above or left of it.
    EXPECT_GE(top, 40);
    EXPECT_LE(top, 52);
    EXPECT_GE(left, 50);
    EXPECT_LE(left, 56);
}

TEST(Image, FontFacesFallBackToInstalledFamilies) {
    test::EnsureGuiApp();
    const QStringList families = QFontDatabase::families();
    EXPECT_TRUE(families.contains("NanumGothic"));
    EXPECT_TRUE(families.contains("Liberation Sans"));
    // Korean-only text in the Latin face still gets glyphs (ink), through NanumGothic.
    CxImage img;
    img.Create(300, 60);
    img.DrawString(0, 0, "마우스", Rgb{255, 255, 255}, "Arial", 20, 500);
    int lit = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 300; ++x) lit += (img.PixelAt(x, y) & kRgbMask) != 0;
    }
    EXPECT_GT(lit, 50);
}

TEST(Image, SavesJpegAnyViewerOpensAndLoadsPng) {
    test::EnsureGuiApp();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto f = MakeFrame(64, 32);
    CxImage img;
    img.CreateFromFrame(f.view, false, false, 90);
    for (const int quality : {0, 1, 50, 99, 150}) {
        const QString path = dir.filePath(QString("q%1.jpg").arg(quality));
        ASSERT_TRUE(img.Save(path, quality));
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), "jpeg");
        const QImage back = reader.read();
        EXPECT_EQ(back.width(), 32);  // saved as turned
        EXPECT_EQ(back.height(), 64);
    }

    QImage png(3, 2, QImage::Format_ARGB32);
    png.fill(qRgba(200, 100, 0, 255));
    png.setPixel(0, 0, qRgba(255, 255, 255, 0));  // fully transparent: black
    const QString pngPath = dir.filePath("b.png");
    ASSERT_TRUE(png.save(pngPath));
    CxImage loaded;
    ASSERT_TRUE(loaded.Load(pngPath));
    EXPECT_EQ(loaded.GetWidth(), 3);
    EXPECT_EQ(loaded.PixelAt(0, 0), Px(Rgb{}));
    EXPECT_EQ(loaded.PixelAt(2, 1), Px(Rgb{200, 100, 0}));
    EXPECT_FALSE(loaded.Load(dir.filePath("missing.png")));
    EXPECT_EQ(loaded.GetWidth(), 3);
}

}  // namespace
}  // namespace vistrela
