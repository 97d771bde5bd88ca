#include "recording/sound_placer.h"

#include <algorithm>
#include <cmath>

namespace vistrela {

namespace {
constexpr std::size_t kSilenceChunkBytes = 4096;
}  // namespace

SoundPlacer::SoundPlacer(WavFileWriter& file, std::uint32_t samplesPerSecond)
    : file_(file), samplesPerSecond_(samplesPerSecond) {}

void SoundPlacer::Start(std::int64_t zeroNs) {
    zeroNs_ = zeroNs;
    placedAny_ = false;
    silenceBytes_ = 0;
    droppedBytes_ = 0;
    writeFailed_ = false;
}

std::int64_t SoundPlacer::ByteAt(std::int64_t ns) const {
    const long double samples =
        static_cast<long double>(ns - zeroNs_) * samplesPerSecond_ / 1'000'000'000.0L;
    return static_cast<std::int64_t>(std::llround(samples)) * 2;
}

void SoundPlacer::Write(const std::uint8_t* data, std::size_t bytes) {
    if (bytes == 0 || writeFailed_) return;
    if (!file_.Append(data, bytes)) writeFailed_ = true;
}

void SoundPlacer::Silence(std::uint64_t bytes) {
    static const std::uint8_t kSilence[kSilenceChunkBytes] = {};
    while (bytes > 0 && !writeFailed_) {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(bytes, sizeof kSilence));
        Write(kSilence, n);
        if (writeFailed_) return;
        silenceBytes_ += n;
        bytes -= n;
    }
}

void SoundPlacer::Place(const std::uint8_t* data, std::size_t bytes, std::int64_t captureNs) {
    bytes &= ~std::size_t{1};
    if (writeFailed_ || bytes == 0) return;
    if (captureNs != kUnknownCaptureNs) {
        const std::int64_t written = file_.dataBytes();
        const std::int64_t target = ByteAt(captureNs);
        const std::int64_t tolerance =
            placedAny_ ? ByteAt(zeroNs_ + kSoundJitterNs) : std::int64_t{0};
        if (target > written + tolerance) {
            Silence(static_cast<std::uint64_t>(target - written));
        } else if (target < written - tolerance) {
            const auto drop = static_cast<std::size_t>(
                std::min<std::int64_t>(written - target, static_cast<std::int64_t>(bytes)));
            droppedBytes_ += drop;
            data += drop;
            bytes -= drop;
        }
    }
    if (bytes == 0) return;  // all of it before time 0, or already covered
    placedAny_ = true;
    Write(data, bytes);
}

bool SoundPlacer::Reached(std::int64_t ns) const {
    return static_cast<std::int64_t>(file_.dataBytes()) >= ByteAt(ns);
}

void SoundPlacer::PadTo(std::int64_t endNs) {
    const std::int64_t target = ByteAt(endNs);
    const std::int64_t written = file_.dataBytes();
    if (target > written) Silence(static_cast<std::uint64_t>(target - written));
}

}  // namespace vistrela
