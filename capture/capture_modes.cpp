#include "capture/capture_modes.h"

namespace vistrela {

int ChooseCaptureMode(const std::vector<CameraMode>& modes, int width, int height) {
    int bestRaw = -1;
    int bestMjpeg = -1;
    for (int i = 0; i < static_cast<int>(modes.size()); ++i) {
        const CameraMode& m = modes[i];
        if (m.width != width || m.height != height) continue;
        if (m.format == PixelFormat::Yuy2 || m.format == PixelFormat::OtherRaw) {
            if (bestRaw < 0 || m.fps() > modes[bestRaw].fps()) bestRaw = i;
        } else if (m.format == PixelFormat::Mjpeg) {
            if (bestMjpeg < 0 || m.fps() > modes[bestMjpeg].fps()) bestMjpeg = i;
        }
    }
    if (bestRaw < 0) return bestMjpeg;
    if (bestMjpeg >= 0 && width * height > kMjpegPreferredAbovePixels &&
        modes[bestMjpeg].fps() > modes[bestRaw].fps())
        return bestMjpeg;
    return bestRaw;
}

int DefaultCaptureMode(const std::vector<CameraMode>& modes) {
    for (const CameraMode& m : modes) {
        if (m.format != PixelFormat::Other) return ChooseCaptureMode(modes, m.width, m.height);
    }
    return -1;
}

int CollectYuy2Modes(const std::vector<CameraMode>& modes, std::array<ModeSize, MAX_MODES>& out) {
    int count = 0;
    out[0] = {};
    for (const CameraMode& m : modes) {
        if (count >= MAX_MODES) break;
        if (m.format == PixelFormat::Yuy2) out[count++] = {m.width, m.height};
    }
    return count;
}

}  // namespace vistrela
