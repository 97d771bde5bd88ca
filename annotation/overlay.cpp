#include "annotation/overlay.h"

#include "annotation/ink_draw.h"

namespace vistrela {

void CreateOverlay(CxImage& overlay, const ViewState& view) {
    overlay.Create(ShownWidth(view), ShownHeight(view));
    overlay.SetTransColor(TRANSPARENT_COLOUR);
}

void CopyInkScaled(const CxImage& from, CxImage& to) {
    if (!from.IsValid() || !to.IsValid()) return;
    const int fw = from.GetWidth(), fh = from.GetHeight();
    const int tw = to.GetWidth(), th = to.GetHeight();
    for (int y = 0; y < th; ++y) {
        const int sy = static_cast<int>(static_cast<long long>(y) * fh / th);
        const CxImage::Span ink = from.InkSpan(sy);
        if (ink.begin >= ink.end) continue;
        const std::uint32_t* src = from.ScanLine(sy);
        std::uint32_t* dst = to.MutableScanLine(y);
        for (int x = 0; x < tw; ++x) dst[x] = src[static_cast<long long>(x) * fw / tw];
    }
}

void MixOverlay(CxImage& frame, const CxImage& overlay, DrawMode drawMode) {
    if (ShowsDrawing(drawMode)) frame.MixFrom(overlay);
}

void DrawPointerMarker(CxImage& frame, DrawMode drawMode, int markerX, int markerY) {
    if (!ToolActive(drawMode)) return;
    const bool pen = IsInkTool(drawMode);
    const int thickness = pen ? 5 : 3;
    const Rgb colour = pen ? PEN_MARKER_COLOUR : ERASER_MARKER_COLOUR;
    const int m = markerX, n = markerY;
    for (int k = 0; k < thickness; ++k) {
        frame.DrawLine(m - 20, m + 20, n + 20 + k, n + 20 + k, colour);
        frame.DrawLine(m - 20, m + 20, n - 20 - k, n - 20 - k, colour);
        frame.DrawLine(m - 20 + k, m - 20 + k, n + 20, n - 20, colour);
        frame.DrawLine(m + 20 - k, m + 20 - k, n + 20, n - 20, colour);
    }
}

void ClearOverlay(CxImage& overlay, DrawMode& drawMode) {
    overlay.Clear(0);
    if (ToolActive(drawMode)) drawMode = DrawMode::Show;
}

void RotateOverlay(CxImage& overlay) {
    overlay.Rotate(90);
}

void DrawPenSegment(CxImage& overlay, int a, int b, int c, int d) {
    DrawInkSegment(overlay, {{a, b}, {c, d}}, 6, PEN_COLOUR.pixel());
}

void EraseBlock(CxImage& overlay, int c, int d) {
    for (int r = d - 20; r <= d + 19; ++r)
        overlay.DrawLine(c - 20, c + 20, r, r, TRANSPARENT_COLOUR);
}

PicturePoint PointerToFrame(const ViewState& view, VideoArea area, int x, int y) {
    return MapAreaToPicture(ComputeGeometry(view, area), x, y);
}

}  // namespace vistrela
