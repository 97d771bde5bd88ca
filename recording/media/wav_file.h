#pragma once
// CWavFile: records the default sound input into a PCM WAV file (16-bit mono, 22050 samples
// per second) while a recording runs. Each piece of sound goes where its capture time puts it
// relative to the movie's time 0 (recording/sound_placer.h), so the sound stays in step with
// the movie recorded beside it; gaps are silence.
//
// SetRecording(1) starts a recording thread that opens the device, then the file, starts the
// device and waits until SetRecording(0); it then stops the device and closes the file. Sound
// arrives on a GStreamer streaming thread, fills one-second buffers and is written from there.
// A failure while starting is notified once from the recording thread, the file (if one was
// made) is closed normally, and the thread ends; `running` stays 1 so the owner does not start
// it again. When the device cannot be opened no file is made (the device is opened first).
//
// Threads:
//   owner thread (the UI thread): construction, destruction, SetRecording, CheckDevices, the
//     accessors; std::thread `thread_` is touched by it only.
//   recording thread: opens and closes device and file (Run).
//   GStreamer streaming thread: OnSamples writes into the file under `fileMutex_`; the device
//     is stopped (its threads joined) before the file is closed, so no buffer is written after.
//   `notify` may be called on any of them; the owner forwards the text to the UI thread.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "common/device_sources.h"
#include "recording/sound_placer.h"
#include "recording/wav_format.h"

namespace vistrela {

class SoundSource;

class CWavFile {
public:
    // Messages the recorder shows (any thread may call it; the owner forwards them to the UI
    // thread).
    using Notify = std::function<void(const std::string& text)>;

    // Line numbers of the location texts, one per step that can fail (with a sound server in
    // place of the wave device: the device opens at 249, starts at 401, fails while recording
    // at 191; 56, 357 and 363 have no counterpart and are never reported).
    static constexpr int kLineCountDevices = 56;
    static constexpr int kLineDeviceFailed = 191;
    static constexpr int kLineOpenDevice = 249;
    static constexpr int kLineRiffChunk = 271;
    static constexpr int kLineFmtChunk = 280;
    static constexpr int kLineFmtWrite = 286;
    static constexpr int kLineDataChunk = 299;
    static constexpr int kLineCloseData = 331;
    static constexpr int kLineCloseRiff = 336;
    static constexpr int kLineStartDevice = 401;

    static constexpr const char* kNoDevicesText = "NO Input Devices Found..";
    // The longest wait at the stop for sound captured before the end time to arrive.
    static constexpr int kDrainMs = 2500;
    static constexpr const char* kCannotOpenFileText = "Can not open file...";

    // Nothing is opened. `hideFile` is kept for the callers' sake: Linux files have no hidden
    // attribute (a leading dot would change the name the join looks for), so it does nothing.
    // The sound comes from the input `sources` name (the machine's, or the test microphone).
    CWavFile(std::string fileName, int hideFile, Notify notify, DeviceSources sources);
    ~CWavFile();  // stops a running recorder first (SetRecording(0))
    CWavFile(const CWavFile&) = delete;
    CWavFile& operator=(const CWavFile&) = delete;

    // GstDeviceMonitor "Audio/Source" count, or the test microphone's.
    static int CountDevices(const DeviceSources& sources);
    int CheckDevices();  // notifies kNoDevicesText when CountDevices()==0; returns 1
    // The movie's time 0 and its end, in steady-clock nanoseconds since the clock's epoch. Set
    // before SetRecording(1) and SetRecording(0); without them time 0 is when the file opens
    // and the end is the stop.
    void SetTimeZero(std::int64_t zeroNs) { zeroNs_ = zeroNs; }
    void SetEndTime(std::int64_t endNs) { endNs_.store(endNs); }
    // 1: starts the recording thread (ignored while one is still there); 0: stops it and
    // returns after the file is closed: the sound captured up to the end time is waited for
    // (at most kDrainMs), the rest padded with silence.
    void SetRecording(int on);
    bool isRunning() const { return running_.load() != 0; }  // the `running` flag
    // "File: .\cwavfile ,Line Number:LINE: DEVICE TEXT" while running, else "" (nothing shown);
    // stored as lastError, notified when `showBox`.
    std::string DescribeError(int line, const std::string& deviceText, bool showBox);
    // Data-chunk bytes so far (final after the stop).
    std::uint32_t bytesWritten() const { return bytesWritten_.load(); }
    // Text of the last described error, "" when none. A copy: other threads may set it.
    std::string lastError() const;

    // The recording thread has not ended yet (its handle is still held).
    bool threadActive() const { return threadActive_.load(); }
    // Writing the file failed since the start (disk full): it holds less than was recorded.
    bool writeFailed() const { return writeFailed_.load(); }

private:
    void Run();
    // Opens device and file and starts the device. Returns "" or the text to show.
    std::string StartRecording();
    void CloseWaveFile();
    void OnSamples(const std::uint8_t* data, std::size_t bytes, std::int64_t captureNs);
    void OnDeviceFailed(const std::string& deviceText);

    // Fixed at construction.
    const std::string fileName_;
    const Notify notify_;
    const DeviceSources sources_;

    // Shared between threads.
    std::atomic<int> running_{0};
    std::atomic<bool> threadActive_{false};
    std::atomic<std::uint32_t> bytesWritten_{0};
    std::atomic<bool> deviceFailed_{false};
    std::atomic<bool> writeFailed_{false};
    // Set by the owner before the recording thread starts.
    std::int64_t zeroNs_ = kUnknownCaptureNs;
    std::atomic<std::int64_t> endNs_{kUnknownCaptureNs};
    std::mutex waitMutex_;  // with waitCv_: the recording thread's wait for running_ == 0
    std::condition_variable waitCv_;
    mutable std::mutex errorMutex_;
    std::string lastError_;  // guarded by errorMutex_

    // The file: recording thread while opening and closing, streaming thread in between.
    std::mutex fileMutex_;
    std::condition_variable fileCv_;  // sound was placed (the stop's wait for the last of it)
    WavFileWriter file_;
    SoundPlacer placer_;

    // Recording thread only.
    std::unique_ptr<SoundSource> source_;

    // Owner thread only.
    std::thread thread_;
};

}  // namespace vistrela
