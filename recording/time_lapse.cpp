#include "recording/time_lapse.h"

#include <algorithm>

namespace vistrela {

int TimeLapsePicturesDue(std::int64_t elapsedNs, int intervalSeconds, std::int64_t framesWritten,
                         std::int64_t earlyNs) {
    if (intervalSeconds <= 0) return 0;
    const std::int64_t intervalNs = std::int64_t{intervalSeconds} * 1'000'000'000;
    const std::int64_t at = elapsedNs + earlyNs;
    if (at < 0) return 0;
    const std::int64_t passed = at / intervalNs + 1;  // pictures whose time has come
    return static_cast<int>(std::clamp<std::int64_t>(passed - framesWritten, 0, 1'000'000));
}

std::int64_t TimeLapseFrameLimit(int recordSeconds, int intervalSeconds) {
    if (recordSeconds <= 0 || intervalSeconds <= 0) return 0;
    return (std::int64_t{recordSeconds} + intervalSeconds - 1) / intervalSeconds;
}

std::uint32_t MovieSeconds(std::int64_t frames, std::uint32_t frameRate) {
    if (frames <= 0 || frameRate == 0) return 0;
    return static_cast<std::uint32_t>(frames / frameRate);
}

}  // namespace vistrela
