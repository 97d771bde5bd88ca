#pragma once
// Time-lapse recording: one picture every `intervalSeconds` of the recording clock (steady
// clock), played back at kTimeLapseMovieFps without sound. Picture k is the first camera frame
// captured at or after k * interval (less a little slack, so the frame nearest that time is
// taken); nothing depends on how many frames the camera delivered. Pure functions, any thread.

#include <cstdint>
#include <string>

namespace vistrela {

inline constexpr int kMinTimeLapseSeconds = 1;
inline constexpr int kMaxTimeLapseSeconds = 60;
inline constexpr std::uint32_t kTimeLapseMovieFps = 30;

// Whether `seconds` is an interval a time-lapse recording takes (0 is normal recording).
inline bool ValidTimeLapseSeconds(int seconds) {
    return seconds >= kMinTimeLapseSeconds && seconds <= kMaxTimeLapseSeconds;
}

// Pictures due for a frame captured `elapsedNs` after the start, with `framesWritten` already
// in the movie: 0 before the next picture's time (less `earlyNs`), else one more than the
// pictures whose time passed without a frame (they repeat the picture before).
int TimeLapsePicturesDue(std::int64_t elapsedNs, int intervalSeconds, std::int64_t framesWritten,
                         std::int64_t earlyNs);

// The pictures of a time-lapse recording of `recordSeconds`: one at each interval that begins
// before its end (20 s at one picture every 3 s: 0, 3, ..., 18, seven pictures).
std::int64_t TimeLapseFrameLimit(int recordSeconds, int intervalSeconds);

// The length of a movie of `frames` at `frameRate`, in whole seconds.
std::uint32_t MovieSeconds(std::int64_t frames, std::uint32_t frameRate);

}  // namespace vistrela
