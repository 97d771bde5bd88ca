// The test camera's source element on its own: caps, timestamps, picture integrity while the
// frames it sends are held or written downstream, and the CPU it costs.
#include <gst/app/gstappsink.h>
#include <gst/base/gstbasesrc.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "capture/media/capture_device.h"
#include "capture/media/test_camera.h"
#include "test_support.h"

using namespace vistrela;
using namespace vistrela::testing;

namespace {

std::shared_ptr<CaptureDevice> OnlyCamera(const char* list) {
    UseTestCameras(list);
    auto all = ListCaptureDevices();
    return all.empty() ? nullptr : all[0];
}

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The camera's source -> capsfilter(`wanted`) -> `sink`; the pipeline owns everything.
struct SourcePipeline {
    GstElement* pipeline = nullptr;
    GstElement* sink = nullptr;

    SourcePipeline(CaptureDevice& device, const char* wanted, GstElement* sinkElement) {
        pipeline = gst_pipeline_new(nullptr);
        GstElement* source = device.createSource();
        GstElement* filter = gst_element_factory_make("capsfilter", nullptr);
        GstCaps* caps = gst_caps_from_string(wanted);
        g_object_set(filter, "caps", caps, nullptr);
        gst_caps_unref(caps);
        sink = sinkElement;
        gst_bin_add_many(GST_BIN(pipeline), source, filter, sink, nullptr);
        EXPECT_TRUE(gst_element_link_many(source, filter, sink, nullptr));
    }
    ~SourcePipeline() {
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
    }
};

}  // namespace

TEST(TestCameraSource, MeasureCpuOfFullHdSourceAlone) {
    auto device = OnlyCamera("FHD Cam@1920x1080@30");
    ASSERT_TRUE(device);
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", FALSE, "signal-handoffs", TRUE, nullptr);
    int frames = 0;
    g_signal_connect(sink, "handoff",
                     G_CALLBACK(+[](GstElement*, GstBuffer*, GstPad*, gpointer counter) {
                         g_atomic_int_inc(static_cast<int*>(counter));
                     }),
                     &frames);
    SourcePipeline p(*device, "video/x-raw,width=1920,height=1080", sink);
    ASSERT_NE(gst_element_set_state(p.pipeline, GST_STATE_PLAYING), GST_STATE_CHANGE_FAILURE);
    const char* secondsText = std::getenv("VISTRELA_MEASURE_SECONDS");
    const int seconds = secondsText != nullptr ? std::max(1, std::atoi(secondsText)) : 3;
    const int framesBefore = g_atomic_int_get(&frames);
    const double cpuBefore = ProcessCpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    // A plain sleep: the Qt event loop helper polls and would cost more than the source.
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = ProcessCpuSeconds() - cpuBefore;
    const int sent = g_atomic_int_get(&frames) - framesBefore;
    g_signal_handlers_disconnect_by_data(sink, &frames);
    EXPECT_GT(sent, 0);
    std::printf(
        "[measure] 1920x1080@30 test camera source -> fakesink: %.1f%% of one core, "
        "%.1f frames/s\n",
        100.0 * cpu / wall, sent / wall);
}
