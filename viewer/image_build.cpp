#include "viewer/image.h"
#include "viewer/pixel_loops.h"

namespace vistrela {

void CxImage::CreateFromArray(const std::uint8_t* bgr, int width, int height, int strideBytes,
                              bool flipRows) {
    if (bgr == nullptr || width <= 0 || height <= 0 || strideBytes < width * 3) return;
    Resize(width, height);
    ConvertFrame(bgr, width, height, strideBytes, FrameTransform{flipRows, false, 0},
                 pixels_.data());
    SetAllInk();
}

bool CxImage::CreateFromFrame(const FrameView& frame, bool flipRows, bool mirror,
                              int rotationDegrees) {
    if (!frame.complete() || rotationDegrees % 90 != 0) return false;
    const int turns = ((rotationDegrees / 90) % 4 + 4) % 4;
    if (turns % 2 == 0) {
        Resize(frame.width, frame.height);
    } else {
        Resize(frame.height, frame.width);
    }
    ConvertFrame(frame.data, frame.width, frame.height, frame.strideBytes,
                 FrameTransform{flipRows, mirror, turns}, pixels_.data());
    SetAllInk();
    return true;
}

}  // namespace vistrela
