#include "annotation/annotation_text.h"

#include <algorithm>

#include "annotation/overlay.h"

namespace vistrela {

PicturePoint MapAreaToPictureFromTop(const FrameGeometry& g, int x, int y) {
    const QRect& d = g.destRect;
    if (d.width() <= 0 || d.height() <= 0) return {};
    // The shown part's top row, counted from the top (srcY is its bottom row from the bottom).
    const int topRow = g.pictureHeight - g.srcY - g.srcHeight;
    const double px = g.srcX + static_cast<double>(x - d.left()) * g.srcWidth / d.width();
    const double py = topRow + static_cast<double>(y - d.top()) * g.srcHeight / d.height();
    return {static_cast<int>(px), static_cast<int>(py)};
}

QRect TextWindowRange(QSize area) {
    const QRect range(QPoint(21, 1), QPoint(area.width() - 101, area.height() - 11));
    return range.isValid() ? range : QRect();
}

QPoint KeepTextWindowInside(QPoint at, QSize area) {
    const QRect range = TextWindowRange(area);
    if (range.isValid() && range.contains(at)) return at;
    // A window placed where the area ends would be out of reach: pull it in.
    return QPoint(
        std::min(kTextWindowHome.x(), std::max(0, area.width() - kTextWindowSize.width())),
        std::min(kTextWindowHome.y(), std::max(0, area.height() - kTextWindowSize.height())));
}

void RequestTextStamp(PipelineState& state) {
    state.drawMode = DRAW_STAMP;
}

namespace {

void DrawWithShadow(CxImage& image, PicturePoint at, const std::string& text) {
    image.DrawString(at.x + 1, at.y + 1, text, kAnnotationShadowColour, kAnnotationTextFace,
                     kAnnotationTextSizePx, kAnnotationTextWeight);
    image.DrawString(at.x, at.y, text, kAnnotationTextColour, kAnnotationTextFace,
                     kAnnotationTextSizePx, kAnnotationTextWeight);
}

PicturePoint TextPlace(const FrameGeometry& geometry, const TextAnnotation& text) {
    return MapAreaToPictureFromTop(geometry, text.areaPos.x(), text.areaPos.y());
}

}  // namespace

bool BurnAnnotationText(PipelineState& state, const FrameGeometry& geometry,
                        const TextAnnotation& text, const std::function<void()>& beforeBurn) {
    if (state.drawMode != DRAW_STAMP) return false;
    // An empty line burns nothing, but the stamp request is used up all the same.
    if (!text.text.empty() && state.overlayImage.IsValid()) {
        if (beforeBurn) beforeBurn();
        DrawWithShadow(state.overlayImage, TextPlace(geometry, text), text.text);
    }
    state.drawMode = DRAW_SHOW;
    return true;
}

bool DrawAnnotationText(CxImage& frame, PipelineState& state, const FrameGeometry& geometry,
                        const TextAnnotation& text, const std::function<void()>& beforeBurn) {
    DrawWithShadow(frame, TextPlace(geometry, text), text.text);
    return BurnAnnotationText(state, geometry, text, beforeBurn);
}

void TextAnnotationStep::DrawAnnotation(CxImage& frameImage, PipelineState& state,
                                        const FrameGeometry& geometry) {
    DrawAnnotationText(frameImage, state, geometry, annotation, beforeBurn);
}

}  // namespace vistrela
