#pragma once
// What a camera offers (one row per format, size and best frame rate) and the choice of the
// format to capture a requested size in. Pure logic: the media layer reads the modes from the
// device's caps and builds its pipeline from the chosen row.

#include <array>
#include <string>
#include <vector>

namespace vistrela {

enum class PixelFormat {
    Yuy2,      // packed 4:2:2, the format the resolution list is made of
    OtherRaw,  // any other uncompressed format (NV12, I420, ...)
    Mjpeg,     // motion JPEG, decoded in the pipeline
    Other,     // compressed formats the pipeline does not decode (H.264, ...)
};

struct CameraMode {
    PixelFormat format = PixelFormat::Other;
    std::string formatName;  // the caps' format string ("YUY2", "NV12"; empty for MJPEG)
    int width = 0;
    int height = 0;
    int fpsNumerator = 0;  // best frame rate of this row; 0/1 when the device gives none
    int fpsDenominator = 1;

    double fps() const {
        return fpsDenominator > 0 ? static_cast<double>(fpsNumerator) / fpsDenominator : 0.0;
    }
};

// Above this many pixels a size offered at a higher rate only as MJPEG is captured as MJPEG.
inline constexpr int kMjpegPreferredAbovePixels = 640 * 480;

// Index of the mode to capture `width` x `height` with, or -1 when the camera lacks that size
// in any format the pipeline handles. Uncompressed wins (the fastest uncompressed row of that
// size, first on ties) unless the size is above 640x480 and an MJPEG row reaches a higher rate,
// or unless the size exists only as MJPEG.
int ChooseCaptureMode(const std::vector<CameraMode>& modes, int width, int height);

// The mode the camera runs in when the requested size is missing: the camera's own default
// size (its first usable row), captured in the format ChooseCaptureMode picks for it. -1 when
// no row is usable.
int DefaultCaptureMode(const std::vector<CameraMode>& modes);

// The resolution list: YUY2 rows only, in the camera's order, duplicates kept.
inline constexpr int MAX_MODES = 200;
struct ModeSize {
    int width = 0;
    int height = 0;
};
int CollectYuy2Modes(const std::vector<CameraMode>& modes, std::array<ModeSize, MAX_MODES>& out);

}  // namespace vistrela
