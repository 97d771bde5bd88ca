#pragma once
// Places recorded sound in the WAV file's data chunk by the time it was captured, so that the
// sound of a movie stays where it happened relative to the picture.
//
// Movie time 0 is a moment on the steady clock (Start). A piece of sound whose first sample was
// captured at time t belongs at sample (t - zero) x samplesPerSecond of the file:
//   - a piece that starts later than the file's end leaves a gap, filled with silence (never
//     with repeated sound: a repeat is heard as a click or a wrong pitch);
//   - a piece that starts earlier than the file's end overlaps what was written: the overlap is
//     dropped (sound captured before time 0 is dropped the same way);
//   - differences below kSoundJitterNs are timestamp jitter: the piece follows on directly.
// The first piece is placed exactly. A piece without a capture time follows on directly.
// PadTo fills the end with silence up to the end of the movie.
//
// Not thread-safe: the owner serialises the calls (the recorder holds a lock).

#include <cstddef>
#include <cstdint>

#include "recording/wav_format.h"

namespace vistrela {

// Capture times closer than this to where the sound would go are taken as jitter.
inline constexpr std::int64_t kSoundJitterNs = 30'000'000;
// A piece's capture time is unknown.
inline constexpr std::int64_t kUnknownCaptureNs = INT64_MIN;

class SoundPlacer {
public:
    // Writes into `file`, which must outlive the placer; 16-bit mono samples.
    SoundPlacer(WavFileWriter& file, std::uint32_t samplesPerSecond);

    // Movie time 0, in steady-clock nanoseconds since the clock's epoch. Clears the counts.
    void Start(std::int64_t zeroNs);
    // Sound of whole 16-bit samples whose first sample was captured at `captureNs`
    // (steady-clock nanoseconds, or kUnknownCaptureNs).
    void Place(const std::uint8_t* data, std::size_t bytes, std::int64_t captureNs);
    // Silence up to `endNs` (steady clock): the sound lasts as long as the movie.
    void PadTo(std::int64_t endNs);

    // The file holds sound up to `ns` (steady clock).
    bool Reached(std::int64_t ns) const;
    std::int64_t zeroNs() const { return zeroNs_; }
    std::uint64_t silenceBytes() const { return silenceBytes_; }
    std::uint64_t droppedBytes() const { return droppedBytes_; }
    // A write failed (disk full, file too large); nothing is written after it.
    bool writeFailed() const { return writeFailed_; }

private:
    // The data-chunk byte where sound captured at `ns` belongs (may be negative).
    std::int64_t ByteAt(std::int64_t ns) const;
    void Silence(std::uint64_t bytes);
    void Write(const std::uint8_t* data, std::size_t bytes);

    WavFileWriter& file_;
    std::uint32_t samplesPerSecond_;
    std::int64_t zeroNs_ = 0;
    bool placedAny_ = false;
    std::uint64_t silenceBytes_ = 0;
    std::uint64_t droppedBytes_ = 0;
    bool writeFailed_ = false;
};

}  // namespace vistrela
