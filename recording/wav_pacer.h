#pragma once
// The sound recorder's buffers and its pacing to the wall clock.
//
// Sound arrives in pieces of any size and fills one-second buffers (kWavBufferBytes). Each
// filled buffer is written to the data chunk and the file is then padded to the wall clock:
//
//   expected = trunc(seconds since Start x bytesPerSecond)
//   while expected - written > kWavPadChunkBytes:
//       write the first min(buffer length, deficit, kWavPadChunkBytes) bytes of this buffer again
//
// so a device that delivers late or too little never leaves the file more than
// kWavPadChunkBytes (about 7 ms) behind the clock after a buffer, and the sound stays in step
// with a movie recorded beside it. A device that delivers too much is written as it comes.
// Finish writes the partly filled buffer the same way (its pad may be silence instead).
//
// Not thread-safe: the owner serialises Start, Append and Finish (the recorder holds a lock).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "recording/wav_format.h"

namespace vistrela {

inline constexpr std::size_t kWavBufferBytes = 44100;  // one second of the recording format
inline constexpr std::size_t kWavPadChunkBytes = 300;

class WavPacer {
public:
    // Monotonic time since any fixed point; tests pass a clock of their own.
    using Clock = std::function<std::chrono::nanoseconds()>;
    static std::chrono::nanoseconds SteadyNow();

    enum class FinalPad { RepeatBuffer, Silence };

    // Writes into `file`, which must outlive the pacer.
    WavPacer(WavFileWriter& file, std::uint32_t bytesPerSecond, Clock clock = SteadyNow,
             std::size_t bufferBytes = kWavBufferBytes);

    // Starts the clock and empties the buffer (zeroed). Called when the file has been opened.
    void Start();
    // Adds sound; every buffer it fills is written and padded at once.
    void Append(const std::uint8_t* data, std::size_t bytes);
    // Writes the partly filled buffer (even when empty) and pads it. With Silence the padding
    // is zero bytes, for a device that failed: repeating a few milliseconds of its last sound
    // over a long gap would give a buzz.
    void Finish(FinalPad pad = FinalPad::RepeatBuffer);

    std::size_t buffersWritten() const { return buffersWritten_; }
    std::uint64_t padBytes() const { return padBytes_; }
    // A write failed since Start (disk full, file too large); the file holds less than counted
    // by the clock from then on.
    bool writeFailed() const { return writeFailed_; }

private:
    void BufferDone(std::size_t bytesRecorded, FinalPad pad);

    WavFileWriter& file_;
    std::uint32_t bytesPerSecond_;
    Clock clock_;
    std::vector<std::uint8_t> buffer_;
    std::size_t filled_ = 0;
    std::chrono::nanoseconds start_{0};
    std::size_t buffersWritten_ = 0;
    std::uint64_t padBytes_ = 0;
    bool writeFailed_ = false;
};

}  // namespace vistrela
