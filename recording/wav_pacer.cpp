#include "recording/wav_pacer.h"

#include <algorithm>
#include <cmath>

namespace vistrela {

std::chrono::nanoseconds WavPacer::SteadyNow() {
    return std::chrono::steady_clock::now().time_since_epoch();
}

WavPacer::WavPacer(WavFileWriter& file, std::uint32_t bytesPerSecond, Clock clock,
                   std::size_t bufferBytes)
    : file_(file),
      bytesPerSecond_(bytesPerSecond),
      clock_(std::move(clock)),
      buffer_(std::max<std::size_t>(bufferBytes, 1)) {}

void WavPacer::Start() {
    std::fill(buffer_.begin(), buffer_.end(), std::uint8_t{0});
    filled_ = 0;
    buffersWritten_ = 0;
    padBytes_ = 0;
    writeFailed_ = false;
    start_ = clock_();
}

void WavPacer::Append(const std::uint8_t* data, std::size_t bytes) {
    while (bytes > 0) {
        const std::size_t n = std::min(bytes, buffer_.size() - filled_);
        std::copy_n(data, n, buffer_.data() + filled_);
        filled_ += n;
        data += n;
        bytes -= n;
        if (filled_ == buffer_.size()) {
            BufferDone(filled_, FinalPad::RepeatBuffer);
            filled_ = 0;
        }
    }
}

void WavPacer::Finish(FinalPad pad) {
    BufferDone(filled_, pad);
    filled_ = 0;
}

void WavPacer::BufferDone(std::size_t bytesRecorded, FinalPad pad) {
    if (!file_.Append(buffer_.data(), bytesRecorded)) writeFailed_ = true;
    ++buffersWritten_;
    const double seconds = std::chrono::duration<double>(clock_() - start_).count();
    const auto expected = static_cast<std::int64_t>(std::trunc(seconds * bytesPerSecond_));
    std::int64_t deficit = expected - static_cast<std::int64_t>(file_.dataBytes());
    static const std::uint8_t kSilence[kWavPadChunkBytes] = {};
    const std::uint8_t* source = pad == FinalPad::Silence ? kSilence : buffer_.data();
    // A failed write stops the padding: retrying a whole gap of small writes would only burn
    // time on a full disk.
    while (deficit > static_cast<std::int64_t>(kWavPadChunkBytes) && !writeFailed_) {
        const auto n = static_cast<std::size_t>(
            std::min<std::int64_t>({static_cast<std::int64_t>(buffer_.size()), deficit,
                                    static_cast<std::int64_t>(kWavPadChunkBytes)}));
        if (!file_.Append(source, n)) {
            writeFailed_ = true;
            break;
        }
        padBytes_ += n;
        deficit -= static_cast<std::int64_t>(n);
    }
}

}  // namespace vistrela
