#include "viewer/pipeline.h"

#include <QtGlobal>

#include "annotation/annotation_tools.h"
#include "annotation/overlay.h"
#include "common/language.h"

namespace vistrela {

const char* const kZoomHelpLine1 =
    QT_TRANSLATE_NOOP("Picture", "[마우스 스크롤을 돌리면 확대가 됩니다.]");
const char* const kZoomHelpLine2 = QT_TRANSLATE_NOOP(
    "Picture", "[확대된 상태에서 마우스 우측버튼 드래그 하시면 화면이 이동됩니다.]");

void ResetFrameRate(PipelineState& state) {
    state.fps = 0.0;
    state.fpsFirstTick = 0;
    state.fpsWindowTick = 0;
    state.fpsWindowFrames = 0;
}

void CountFrameRate(PipelineState& state, std::uint32_t nowTickMs) {
    if (state.fpsFirstTick == 0) {
        state.fpsFirstTick = nowTickMs;
        state.fpsWindowTick = nowTickMs;
        state.fpsWindowFrames = 0;
    }
    ++state.fpsWindowFrames;
    const std::uint32_t inWindow = nowTickMs - state.fpsWindowTick;
    // The first frame of a window has no elapsed time; the last rate stands until the next.
    if (inWindow != 0) {
        state.fps = state.fpsWindowFrames * 1000.0 / static_cast<double>(inWindow);
    }
    const std::uint32_t sinceFirst = nowTickMs - state.fpsFirstTick;
    if (sinceFirst <= 5000 && inWindow >= 4000) {
        state.fpsWindowTick = nowTickMs;
        state.fpsWindowFrames = 0;
    }
}

namespace {

void DrawZoomHelp(CxImage& image) {
    const int x = image.GetWidth() / 2 - 230;
    const int y = image.GetHeight() / 2;
    image.DrawString(x, y - 20, TrUtf8("Picture", kZoomHelpLine1), kZoomHelpColour, "Arial", 20,
                     500);
    image.DrawString(x, y, TrUtf8("Picture", kZoomHelpLine2), kZoomHelpColour, "Arial", 20, 500);
}

}  // namespace

FrameResult ProcessFrame(ViewState& view, PipelineState& state, CxImage& frameImage,
                         const FrameView& frame, VideoArea area, std::uint32_t nowTickMs,
                         double nowSec, AnnotationHook* hook) {
    FrameResult result;
    if (!frame.complete()) {
        result.skipped = true;
        result.geometry = ComputeGeometry(view, area);
        return result;
    }
    // The camera decides the size: a frame of another size is taken as the new frame size,
    // and this frame is already shown with it.
    if (frame.width != view.frameWidth || frame.height != view.frameHeight) {
        view.frameWidth = frame.width;
        view.frameHeight = frame.height;
        result.sizeAdopted = true;
    }
    CountFrameRate(state, nowTickMs);

    // Build, mirror, turn and overlay mix in one pass over the pixels.
    const CxImage* overlay = ShowsDrawing(state.drawMode) ? &state.overlayImage : nullptr;
    frameImage.CreateFromFrame(frame, state.flipRows, state.mirror, view.rotation, overlay);
    state.laser.Draw(frameImage, nowSec, OverlayTurns(view, state));
    result.geometry = ComputeGeometry(view, area);

    if (hook != nullptr) hook->DrawAnnotation(frameImage, state, result.geometry);
    return result;
}

void DrawScreenMarks(const ViewState& view, const PipelineState& state, CxImage& frameImage,
                     double nowSec) {
    DrawPointerMarker(frameImage, state.drawMode, view.markerX, view.markerY);
    if (nowSec < view.noticeUntil) DrawZoomHelp(frameImage);
}

}  // namespace vistrela
