#include "viewer/title.h"

#include <gtest/gtest.h>

using vistrela::ComposeTitle;
using vistrela::TitleInputs;

TEST(Title, IdleShowsVideoSizeRateAndZoom) {
    TitleInputs in;
    in.videoWidth = 640;
    in.videoHeight = 480;
    in.fps = 29.97;
    EXPECT_EQ(ComposeTitle(in), "Vistrela Viewer v2.0  [640,480] fps:29.97   Zoom:1.00x");

    in.fps = 0.0;
    EXPECT_EQ(ComposeTitle(in), "Vistrela Viewer v2.0  [640,480] fps:0.00   Zoom:1.00x");
}

TEST(Title, RotationZoomAndStatusPiecesAreJoinedWithBlanks) {
    TitleInputs in;
    in.videoWidth = 640;
    in.videoHeight = 480;
    in.fps = 29.97;
    in.rotation = 90;
    in.zoom = 640.0 / 690.0;
    in.statusText = "바탕화면에 저장합니다";
    in.showStatus = true;
    EXPECT_EQ(ComposeTitle(in),
              "Vistrela Viewer v2.0  [640,480] fps:29.97  Rot:90   Zoom:1.08x  [바탕화면에 "
              "저장합니다]");

    in.rotation = 0;
    in.showStatus = false;
    EXPECT_EQ(ComposeTitle(in), "Vistrela Viewer v2.0  [640,480] fps:29.97   Zoom:1.08x");
}

TEST(Title, RecordingShowsFrameSizeAndClockOnly) {
    TitleInputs in;
    in.recording = true;
    in.frameWidth = 1280;
    in.frameHeight = 720;
    in.videoWidth = 640;
    in.videoHeight = 360;
    in.fps = 29.97;
    in.recordingSeconds = 75;
    in.rotation = 90;
    in.zoom = 0.5;
    in.statusText = "x";
    in.showStatus = true;
    EXPECT_EQ(ComposeTitle(in), "Vistrela Viewer v2.0  [1280,720] fps:29.97 [녹화중.. 01:15]");
    in.frozen = true;
    EXPECT_EQ(ComposeTitle(in),
              "Vistrela Viewer v2.0  [1280,720] fps:29.97 [녹화중.. 01:15] [정지]");
}

TEST(Title, LongStatusIsCutAtACharacterBoundary) {
    TitleInputs in;
    in.videoWidth = 640;
    in.videoHeight = 480;
    in.showStatus = true;
    std::string korean;
    for (int i = 0; i < 100; ++i) korean += "저";
    in.statusText = korean;
    const std::string title = ComposeTitle(in);
    EXPECT_LE(title.size(), 199u);
    // The status piece is cut to 99 bytes: 32 whole three-byte characters after " [".
    const auto start = title.find(" [저");
    ASSERT_NE(start, std::string::npos);
    const std::string piece = title.substr(start + 2);
    EXPECT_EQ(piece.size() % 3, 0u);
    EXPECT_EQ(piece.find("]"), std::string::npos);  // the closing bracket was cut away
}

namespace vistrela {
namespace {

TEST(Title, FrozenPieceComesAfterTheOthers) {
    TitleInputs in;
    in.videoWidth = 640;
    in.videoHeight = 480;
    in.fps = 30.0;
    in.zoom = 1.0;
    in.statusText = "바탕화면에 저장합니다";
    in.showStatus = true;
    in.frozen = true;
    EXPECT_EQ(ComposeTitle(in),
              "Vistrela Viewer v2.0  [640,480] fps:30.00   Zoom:1.00x  [바탕화면에 저장합니다] "
              "[정지]");
}

}  // namespace
}  // namespace vistrela
