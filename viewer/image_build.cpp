#include "viewer/image.h"
#include "viewer/pixel_loops.h"

namespace vistrela {

void CxImage::CreateFromArray(const std::uint8_t* bgr, int width, int height, int strideBytes,
                              bool flipRows) {
    if (bgr == nullptr || width <= 0 || height <= 0 || strideBytes < width * 3) return;
    Resize(width, height);
    ConvertFrame(bgr, width, height, strideBytes, FrameTransform{flipRows, false, 0},
                 pixels_.data(), band_);
    SetAllInk();
}

bool CxImage::CreateFromFrame(const FrameView& frame, bool flipRows, bool mirror,
                              int rotationDegrees, const CxImage* mixSource) {
    if (!frame.complete() || rotationDegrees % 90 != 0) return false;
    const int turns = ((rotationDegrees / 90) % 4 + 4) % 4;
    const bool turned = turns % 2 == 1;
    Resize(turned ? frame.height : frame.width, turned ? frame.width : frame.height);
    // The overlay is mixed as each row or block of the picture is written, while it is still
    // in the cache, when it has the picture's size; otherwise (a camera just switched, or a
    // source without a transparent colour) over the common part after.
    const bool fused = mixSource != nullptr && mixSource->hasTrans_ &&
                       mixSource->width_ == width_ && mixSource->height_ == height_;
    MixLayer layer;
    if (fused) layer = {mixSource->pixels_.data(), mixSource->ink_.data(), mixSource->trans_};
    ConvertFrame(frame.data, frame.width, frame.height, frame.strideBytes,
                 FrameTransform{flipRows, mirror, turns}, pixels_.data(), band_,
                 fused ? &layer : nullptr);
    SetAllInk();
    if (mixSource != nullptr && !fused) MixFrom(*mixSource);
    return true;
}

}  // namespace vistrela
