#include "recording/media/wav_file.h"

#include <chrono>

#include "common/strings.h"
#include "recording/media/sound_source.h"

namespace vistrela {
namespace {

std::int64_t SteadyNowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string LocationText(int line) {
    return CutUtf8(FormatString("File: %s ,Line Number:%d", ".\\cwavfile", line), 260);
}

}  // namespace

CWavFile::CWavFile(std::string fileName, int /*hideFile*/, Notify notify, DeviceSources sources)
    : fileName_(std::move(fileName)),
      notify_(std::move(notify)),
      sources_(std::move(sources)),
      placer_(file_, WavFormat{}.samplesPerSecond) {}

CWavFile::~CWavFile() {
    SetRecording(0);
}

int CWavFile::CountDevices(const DeviceSources& sources) {
    return CountSoundInputs(sources);
}

int CWavFile::CheckDevices() {
    if (CountDevices(sources_) == 0 && notify_) notify_(kNoDevicesText);
    return 1;
}

void CWavFile::SetRecording(int on) {
    if (on != 0) {
        // One recording thread at a time: a second one would write the same file.
        if (threadActive_.load()) return;
        if (thread_.joinable()) thread_.join();  // ended after a failed start
        {
            std::lock_guard lock(waitMutex_);
            running_ = 1;
        }
        threadActive_ = true;
        thread_ = std::thread(&CWavFile::Run, this);
        return;
    }
    {
        std::lock_guard lock(waitMutex_);
        running_ = 0;
    }
    waitCv_.notify_all();
    if (thread_.joinable()) thread_.join();
}

std::string CWavFile::DescribeError(int line, const std::string& deviceText, bool showBox) {
    std::string text;
    if (running_.load() == 1) text = LocationText(line) + ": " + deviceText;
    {
        std::lock_guard lock(errorMutex_);
        lastError_ = text;
    }
    if (showBox && !text.empty() && notify_) notify_(text);
    return text;
}

std::string CWavFile::lastError() const {
    std::lock_guard lock(errorMutex_);
    return lastError_;
}

void CWavFile::Run() {
    const std::string failure = StartRecording();
    if (failure.empty()) {
        {
            std::unique_lock lock(waitMutex_);
            waitCv_.wait(lock, [this] { return running_.load() == 0; });
        }
        // The sound captured up to the end is still on its way (a sound server's latency):
        // waited for, within a bound, so the end is not silence.
        const std::int64_t endNs = endNs_.load();
        if (endNs != kUnknownCaptureNs) {
            std::unique_lock lock(fileMutex_);
            fileCv_.wait_for(lock, std::chrono::milliseconds(kDrainMs), [this, endNs] {
                return deviceFailed_.load() || placer_.writeFailed() || placer_.Reached(endNs);
            });
        }
    } else if (notify_) {
        notify_(failure);
    }
    CloseWaveFile();
    threadActive_ = false;
}

std::string CWavFile::StartRecording() {
    {
        std::lock_guard lock(errorMutex_);
        lastError_.clear();
    }
    deviceFailed_ = false;
    writeFailed_ = false;
    bytesWritten_ = 0;
    // The device first: when it cannot be opened, no file is made.
    source_ = NewDefaultSoundSource(sources_);
    std::string deviceText = source_->Open();
    if (!deviceText.empty()) return DescribeError(kLineOpenDevice, deviceText, false);

    {
        std::lock_guard lock(fileMutex_);
        placer_.Start(zeroNs_ != kUnknownCaptureNs ? zeroNs_ : SteadyNowNs());
        const WavStep step = file_.Open(fileName_, WavFormat{});
        switch (step) {
            case WavStep::None:
                break;
            case WavStep::CreateFile:
                return kCannotOpenFileText;
            case WavStep::FmtWrite: {
                std::string text = "Can not write Wave Header.." + LocationText(kLineFmtWrite);
                std::lock_guard errorLock(errorMutex_);
                lastError_ = text;
                return text;
            }
            default: {
                const int line = step == WavStep::RiffChunk  ? kLineRiffChunk
                                 : step == WavStep::FmtChunk ? kLineFmtChunk
                                                             : kLineDataChunk;
                return DescribeError(line, file_.errorText(), false);
            }
        }
    }

    deviceText =
        source_->Start([this](const std::uint8_t* data, std::size_t bytes,
                              std::int64_t captureNs) { OnSamples(data, bytes, captureNs); },
                       [this](const std::string& text) { OnDeviceFailed(text); });
    if (!deviceText.empty()) return DescribeError(kLineStartDevice, deviceText, false);
    return {};
}

void CWavFile::OnSamples(const std::uint8_t* data, std::size_t bytes, std::int64_t captureNs) {
    std::lock_guard lock(fileMutex_);
    if (!file_.isOpen()) return;
    placer_.Place(data, bytes, captureNs);
    bytesWritten_ = file_.dataBytes();
    if (placer_.writeFailed()) writeFailed_ = true;
    fileCv_.notify_all();
}

void CWavFile::OnDeviceFailed(const std::string& deviceText) {
    deviceFailed_ = true;
    DescribeError(kLineDeviceFailed, deviceText, true);
}

void CWavFile::CloseWaveFile() {
    if (source_) {
        source_->Stop();
        source_.reset();
    }
    std::lock_guard lock(fileMutex_);
    if (!file_.isOpen()) return;
    const std::int64_t endNs = endNs_.load();
    placer_.PadTo(endNs != kUnknownCaptureNs ? endNs : SteadyNowNs());
    bytesWritten_ = file_.dataBytes();
    if (placer_.writeFailed()) writeFailed_ = true;
    // Failures while closing are not shown (the recorder is no longer running).
    const WavStep step = file_.Close();
    if (step == WavStep::CloseData) DescribeError(kLineCloseData, file_.errorText(), false);
    if (step == WavStep::CloseRiff) DescribeError(kLineCloseRiff, file_.errorText(), false);
}

}  // namespace vistrela
