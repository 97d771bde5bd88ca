#include <algorithm>

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
    const FrameTransform how{flipRows, mirror, turns};
    if (turns % 2 == 1) {
        Resize(frame.height, frame.width);
        // The overlay is mixed block by block as the turned picture is written, when it has
        // the picture's size; otherwise (a camera just switched) over the common part after.
        const bool fused = mixSource != nullptr && mixSource->hasTrans_ &&
                           mixSource->width_ == width_ && mixSource->height_ == height_;
        MixLayer layer;
        if (fused) layer = {mixSource->pixels_.data(), mixSource->ink_.data(), mixSource->trans_};
        ConvertFrame(frame.data, frame.width, frame.height, frame.strideBytes, how, pixels_.data(),
                     band_, fused ? &layer : nullptr);
        SetAllInk();
        if (mixSource != nullptr && !fused) MixFrom(*mixSource);
        return true;
    }
    Resize(frame.width, frame.height);
    SetAllInk();
    // A few rows at a time: converted, then mixed while they are still in the cache.
    constexpr int kBand = 8;
    for (int y = 0; y < height_; y += kBand) {
        const int end = std::min(height_, y + kBand);
        ConvertFrameRows(frame.data, frame.width, frame.height, frame.strideBytes, how,
                         pixels_.data(), y, end);
        if (mixSource != nullptr) MixRows(*mixSource, y, end);
    }
    return true;
}

}  // namespace vistrela
