#include "recording/media/sound_source.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "common/media/gstreamer_init.h"
#include "common/strings.h"

namespace vistrela {
namespace {

constexpr const char* kConvertToRecordingFormat =
    " ! audioconvert ! audioresample"
    " ! capsfilter caps=audio/x-raw,format=S16LE,channels=1,rate=22050"
    " ! appsink name=sink";

// An ALSA device name that no machine has: the seam's "no input" fails where a missing device
// fails, in the source's own open.
constexpr const char* kMissingDevice = "alsasrc device=vistrela-no-sound-input";

// The clicks of VISTRELA_TEST_MICROPHONE=clicks: a 1 kHz tone let through for this long from
// every whole second of the steady clock.
constexpr double kClickHz = 1000;
constexpr std::int64_t kClickNs = 10'000'000;

struct TestMicrophone {
    bool set = false;     // the variable is present
    bool sine = false;    // else: no input
    bool clicks = false;  // the sine, gated to the clicks
    double frequencyHz = 440;
};

TestMicrophone ReadTestMicrophone(const DeviceSources& sources) {
    TestMicrophone result;
    if (!sources.testMicrophone) return result;
    result.set = true;
    const std::string& text = *sources.testMicrophone;
    if (text == "sine") {
        result.sine = true;
    } else if (text == "clicks") {
        result.sine = true;
        result.clicks = true;
        result.frequencyHz = kClickHz;
    } else if (text.rfind("sine:", 0) == 0) {
        char* end = nullptr;
        const double hz = std::strtod(text.c_str() + 5, &end);
        result.sine = end != text.c_str() + 5 && *end == '\0' && std::isfinite(hz) && hz > 0;
        if (result.sine) result.frequencyHz = hz;
    }
    return result;
}

// The source part of the pipeline for each device to try, in order of preference.
std::vector<std::string> SourceCandidates(const TestMicrophone& test) {
    if (test.set) {
        if (!test.sine) return {kMissingDevice};
        if (test.clicks)
            return {FormatString("audiotestsrc is-live=true wave=sine volume=0.8 freq=%g",
                                 test.frequencyHz)};
        return {FormatString("audiotestsrc is-live=true wave=sine freq=%g", test.frequencyHz)};
    }
    // A sound server's source may hold seconds of latency of its own: a ring buffer shorter
    // than that starves it. Its buffers are time-stamped from the pipeline's (steady) clock as
    // they are read, less their length (re-timestamp): the default slaving to a clock that is
    // not the device's own gave stamps seconds in the future.
    return {"pulsesrc buffer-time=2000000 latency-time=50000 slave-method=re-timestamp",
            "pipewiresrc", "alsasrc slave-method=re-timestamp"};
}

// Silences every sample of `samples` (captured from `firstNs` on, 22050 a second) outside the
// first kClickNs of a whole second.
void GateToClicks(std::int16_t* samples, std::size_t count, std::int64_t firstNs) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t t = firstNs + static_cast<std::int64_t>(i) * 1'000'000'000 / 22050;
        if (t % 1'000'000'000 >= kClickNs) samples[i] = 0;
    }
}

std::string ErrorText(GstMessage* message) {
    GError* error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    std::string text = error != nullptr && error->message != nullptr ? error->message : "";
    if (error != nullptr) g_error_free(error);
    return text;
}

// The first error message waiting on the pipeline's bus, or `fallback`.
std::string PopErrorText(GstElement* pipeline, const std::string& fallback) {
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
    gst_object_unref(bus);
    if (message == nullptr) return fallback;
    std::string text = ErrorText(message);
    gst_message_unref(message);
    return text.empty() ? fallback : text;
}

class GstSoundSource final : public SoundSource {
public:
    explicit GstSoundSource(const DeviceSources& sources) : test_(ReadTestMicrophone(sources)) {}
    ~GstSoundSource() override {
        Stop();
        if (pipeline_ != nullptr) gst_object_unref(pipeline_);
    }

    std::string Open() override {
        EnsureGStreamer();
        std::string error = "Could not open audio device for recording.";
        for (const std::string& source : SourceCandidates(test_)) {
            GError* parseError = nullptr;
            GstElement* pipeline =
                gst_parse_launch((source + kConvertToRecordingFormat).c_str(), &parseError);
            if (pipeline != nullptr) gst_object_ref_sink(pipeline);
            if (pipeline != nullptr && GST_IS_PIPELINE(pipeline)) {
                // One clock with the picture: the system's monotonic clock, which is the
                // steady clock, instead of the sound device's own.
                GstClock* clock = gst_system_clock_obtain();
                gst_pipeline_use_clock(GST_PIPELINE(pipeline), clock);
                gst_object_unref(clock);
            }
            if (parseError != nullptr) {
                // Missing elements: the plug-in of this kind of device is not installed.
                error = parseError->message;
                g_error_free(parseError);
                if (pipeline != nullptr) gst_object_unref(pipeline);
                continue;
            }
            // Sound sources open their device on the way to READY.
            if (gst_element_set_state(pipeline, GST_STATE_READY) == GST_STATE_CHANGE_FAILURE) {
                error = PopErrorText(pipeline, error);
                gst_element_set_state(pipeline, GST_STATE_NULL);
                gst_object_unref(pipeline);
                continue;
            }
            pipeline_ = pipeline;
            return {};
        }
        return error;
    }

    std::string Start(SamplesFn onSamples, FailureFn onFailure) override {
        if (pipeline_ == nullptr) return "Could not open audio device for recording.";
        clicks_ = test_.clicks;
        onSamples_ = std::move(onSamples);
        onFailure_ = std::move(onFailure);
        GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline_), "sink");
        // Every sample is taken as it comes, not held back to the clock.
        g_object_set(sink, "sync", FALSE, "enable-last-sample", FALSE, nullptr);
        GstAppSinkCallbacks callbacks{};
        callbacks.new_sample = OnNewSample;
        gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
        gst_object_unref(sink);
        GstBus* bus = gst_element_get_bus(pipeline_);
        gst_bus_set_sync_handler(bus, OnBusMessage, this, nullptr);
        gst_object_unref(bus);
        callbacksSet_ = true;

        const bool failed =
            gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE;
        std::lock_guard lock(errorMutex_);
        if (failed || !startError_.empty())
            return startError_.empty() ? "Could not start audio device." : startError_;
        started_ = true;
        return {};
    }

    void Stop() override {
        if (pipeline_ == nullptr) return;
        // Joins the streaming threads: no sample callback runs after this.
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        if (callbacksSet_) {
            GstBus* bus = gst_element_get_bus(pipeline_);
            gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
            gst_object_unref(bus);
            GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline_), "sink");
            GstAppSinkCallbacks none{};
            gst_app_sink_set_callbacks(GST_APP_SINK(sink), &none, nullptr, nullptr);
            gst_object_unref(sink);
            callbacksSet_ = false;
        }
        gst_object_unref(pipeline_);
        pipeline_ = nullptr;
    }

private:
    static GstFlowReturn OnNewSample(GstAppSink* sink, gpointer data) {
        auto* self = static_cast<GstSoundSource*>(data);
        GstSample* sample = gst_app_sink_pull_sample(sink);
        if (sample == nullptr) return GST_FLOW_EOS;
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        const std::int64_t captureNs = self->CaptureTimeNs(sample, buffer);
        GstMapInfo map;
        if (buffer != nullptr && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            // The caps hold whole 16-bit samples; an odd byte would shift every later sample.
            const std::size_t bytes = map.size & ~std::size_t{1};
            if (self->clicks_ && captureNs != INT64_MIN) {
                self->gated_.resize(bytes / 2);
                std::memcpy(self->gated_.data(), map.data, bytes);
                GateToClicks(self->gated_.data(), bytes / 2, captureNs);
                self->onSamples_(reinterpret_cast<const std::uint8_t*>(self->gated_.data()), bytes,
                                 captureNs);
            } else {
                self->onSamples_(map.data, bytes, captureNs);
            }
            gst_buffer_unmap(buffer, &map);
        }
        gst_sample_unref(sample);
        return GST_FLOW_OK;
    }

    // The steady-clock time of the buffer's first sample: its time stamp as running time, plus
    // the pipeline's base time on the system clock the pipeline runs on.
    std::int64_t CaptureTimeNs(GstSample* sample, GstBuffer* buffer) const {
        if (buffer == nullptr || !GST_BUFFER_PTS_IS_VALID(buffer)) return INT64_MIN;
        const GstSegment* segment = gst_sample_get_segment(sample);
        GstClockTime running = GST_BUFFER_PTS(buffer);
        if (segment != nullptr && segment->format == GST_FORMAT_TIME)
            running = gst_segment_to_running_time(segment, GST_FORMAT_TIME, running);
        const GstClockTime base = gst_element_get_base_time(pipeline_);
        if (!GST_CLOCK_TIME_IS_VALID(running) || !GST_CLOCK_TIME_IS_VALID(base)) return INT64_MIN;
        return static_cast<std::int64_t>(base + running);
    }

    // Every message is handled here and dropped (a dropping sync handler owns the message).
    static GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer data) {
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
            auto* self = static_cast<GstSoundSource*>(data);
            std::string text = ErrorText(message);
            if (text.empty()) text = "Audio device failed.";
            bool report = false;
            {
                std::lock_guard lock(self->errorMutex_);
                if (!self->started_) {
                    if (self->startError_.empty()) self->startError_ = text;
                } else if (!self->failureReported_) {
                    self->failureReported_ = true;
                    report = true;
                }
            }
            if (report && self->onFailure_) self->onFailure_(text);
        }
        gst_message_unref(message);
        return GST_BUS_DROP;
    }

    GstElement* pipeline_ = nullptr;  // one reference, from Open until Stop
    const TestMicrophone test_;
    bool callbacksSet_ = false;        // the owning thread only
    bool clicks_ = false;              // fixed before the pipeline plays
    std::vector<std::int16_t> gated_;  // the streaming thread's copy of gated clicks
    // Fixed before the pipeline plays; called on streaming threads.
    SamplesFn onSamples_;
    FailureFn onFailure_;
    // Errors: set on GStreamer threads, read by Start.
    std::mutex errorMutex_;
    bool started_ = false;
    bool failureReported_ = false;
    std::string startError_;
};

}  // namespace

int CountSoundInputs(const DeviceSources& sources) {
    const TestMicrophone test = ReadTestMicrophone(sources);
    if (test.set) return test.sine ? 1 : 0;
    EnsureGStreamer();
    GstDeviceMonitor* monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, "Audio/Source", nullptr);
    GList* devices = gst_device_monitor_get_devices(monitor);
    int count = 0;
    for (GList* l = devices; l != nullptr; l = l->next) {
        // PulseAudio lists the monitor of every output as a source too; it records what the
        // machine plays, not a microphone.
        GstStructure* props = gst_device_get_properties(GST_DEVICE(l->data));
        const gchar* cls =
            props != nullptr ? gst_structure_get_string(props, "device.class") : nullptr;
        if (cls == nullptr || !g_str_equal(cls, "monitor")) ++count;
        if (props != nullptr) gst_structure_free(props);
    }
    g_list_free_full(devices, gst_object_unref);
    gst_object_unref(monitor);
    return count;
}

std::unique_ptr<SoundSource> NewDefaultSoundSource(const DeviceSources& sources) {
    return std::make_unique<GstSoundSource>(sources);
}

}  // namespace vistrela
