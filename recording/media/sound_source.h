#pragma once
// The default sound input as 16-bit little-endian mono at 22050 samples per second, delivered
// to a callback: a GStreamer pipeline source -> audioconvert -> audioresample -> caps -> appsink.
//
// Which source: the sound server's default input, as the desktop's sound settings choose it:
// PulseAudio (pulsesrc, which on a PipeWire desktop talks to pipewire-pulse), else PipeWire
// itself (pipewiresrc), else ALSA's "default" device (alsasrc). Each is tried in that order by
// opening it; the first that opens is used. autoaudiosrc would choose the same way, but when
// none opens it falls back to a fake source that records nothing without any error, and a
// recorder must be able to say that the device could not be opened.
//
// Time: the pipeline runs on the system's monotonic clock (the steady clock), whichever
// source it takes, and each piece of sound comes with the steady-clock time its first sample
// was captured (from the buffer's time stamp), so it can be placed against the picture.
//
// Test seam (DeviceSources::testMicrophone): "sine[:HZ]" makes a live sine test source (default
// 440 Hz) the only input; "clicks" a live source that is silent except for a 10 ms 1 kHz burst
// starting at every whole second of the steady clock (with the clapper test camera it
// measures the offset of sound and picture); "none", or any other value, means there is no
// input (counted as 0, and opening fails). Without a test microphone, the machine's devices.
//
// Threads: CountSoundInputs and NewDefaultSoundSource on any thread. A SoundSource belongs to
// one thread (the recorder's), except for its callbacks, which run on GStreamer's threads
// between Start and Stop.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/device_sources.h"

namespace vistrela {

class SoundSource {
public:
    // Sound as it arrives: whole 16-bit samples, on a GStreamer streaming thread, with the
    // steady-clock time (nanoseconds since its epoch) of the first sample's capture, or
    // INT64_MIN when the buffer carries no time.
    using SamplesFn =
        std::function<void(const std::uint8_t* data, std::size_t bytes, std::int64_t captureNs)>;
    // The device failed after it started (removed, server gone): GStreamer's error text, once,
    // on a GStreamer thread.
    using FailureFn = std::function<void(const std::string& deviceText)>;

    virtual ~SoundSource() = default;  // stops first

    // Opens the device. Returns "" or the device's error text (GStreamer's error message).
    virtual std::string Open() = 0;
    // Starts the sound. Returns "" or the error text; the callbacks run until Stop.
    virtual std::string Start(SamplesFn onSamples, FailureFn onFailure) = 0;
    // Stops and closes the device. After it returns no callback runs or is running.
    virtual void Stop() = 0;
};

// Sound inputs of the machine (GstDeviceMonitor "Audio/Source", without the monitors of
// outputs), or of the test seam.
int CountSoundInputs(const DeviceSources& sources);

// A source for the default input of `sources` (see above); nothing is opened yet.
std::unique_ptr<SoundSource> NewDefaultSoundSource(const DeviceSources& sources);

}  // namespace vistrela
