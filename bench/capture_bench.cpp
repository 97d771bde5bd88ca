// The capture side with the test cameras: how long a camera takes from Open to its first
// frame, and what a 1920x1080 picture at 30 frames a second costs, through the whole capture
// pipeline and from the test camera's source alone.
//
//   build/vistrela-bench --benchmark_filter='Capture'
//
// CaptureOpenToFirstFrame: real time per open (mean of the iterations); "open_call_ms" is the
// Open call itself (the pipeline starts after it returns, while the window is free).
// CapturePipelineFullHd / CaptureSourceFullHd: "cpu_percent" of one core for the whole process
// over VISTRELA_MEASURE_SECONDS (default 3) and the frames a second that arrived.

#include <benchmark/benchmark.h>
#include <gst/gst.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "capture/device_table.h"
#include "capture/media/capture_device.h"
#include "capture/media/capture_graph.h"
#include "capture/media/frame_receiver.h"

namespace {

using namespace vistrela;

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

int MeasureSeconds() {
    const char* text = std::getenv("VISTRELA_MEASURE_SECONDS");
    return text != nullptr ? std::max(1, std::atoi(text)) : 3;
}

// Runs the Qt event loop (where the frames arrive) until `done` or `limitMs`.
bool RunUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

struct FrameCounter : FrameReceiver {
    int frames = 0;
    void frameReady(const FrameView&) override { ++frames; }
    void captureFailed(const std::string&) override {}
};

// A graph over the one test camera of `list`, its moniker in `moniker`.
struct TestGraph {
    explicit TestGraph(const char* list)
        : sources{std::string(list), std::nullopt}, graph(sources) {
        graph.SetWindow(&receiver);
        int count = 0;
        graph.EnumerateDevices(devices, count);
        if (count > 0) moniker = devices[0].moniker;
    }
    ~TestGraph() {
        graph.Close();
        graph.SetWindow(nullptr);
    }
    DeviceSources sources;
    CaptureGraph graph;
    FrameCounter receiver;
    DeviceTable devices;
    std::shared_ptr<void> moniker;
};

void CaptureOpenToFirstFrame(benchmark::State& state) {
    TestGraph g("HD Cam@1280x720@30");
    double openCallMs = 0;
    for (auto _ : state) {
        const int seen = g.receiver.frames;
        const auto start = std::chrono::steady_clock::now();
        int w = 1280, h = 720;
        if (g.graph.Open(g.moniker, w, h) != kCaptureOk) {
            state.SkipWithError("the test camera did not open");
            break;
        }
        openCallMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        if (!RunUntil([&] { return g.receiver.frames > seen; }, 10000)) {
            state.SkipWithError("no frame");
            break;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        g.graph.Close();
    }
    state.counters["open_call_ms"] =
        benchmark::Counter(openCallMs / std::max<benchmark::IterationCount>(1, state.iterations()));
}

void Report(benchmark::State& state, double cpuSeconds, double wallSeconds, int frames) {
    state.counters["cpu_percent"] = 100.0 * cpuSeconds / wallSeconds;
    state.counters["frames_per_s"] = frames / wallSeconds;
}

void CapturePipelineFullHd(benchmark::State& state) {
    TestGraph g("FHD Cam@1920x1080@30");
    int w = 1920, h = 1080;
    if (g.graph.Open(g.moniker, w, h) != kCaptureOk ||
        !RunUntil([&] { return g.receiver.frames >= 1; }, 10000)) {
        state.SkipWithError("the test camera did not deliver");
        return;
    }
    for (auto _ : state) {
        const int before = g.receiver.frames;
        const double cpuBefore = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        RunUntil([] { return false; }, MeasureSeconds() * 1000);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        Report(state, ProcessCpuSeconds() - cpuBefore, wall, g.receiver.frames - before);
    }
}

void CaptureSourceFullHd(benchmark::State& state) {
    DeviceSources sources{std::string("FHD Cam@1920x1080@30"), std::nullopt};
    const auto devices = ListCaptureDevices(sources);
    if (devices.empty()) {
        state.SkipWithError("no test camera");
        return;
    }
    // The whole source of the camera (with its picture controls), frames counted and dropped.
    GstElement* pipeline = gst_pipeline_new(nullptr);
    GstElement* source = devices[0]->createSource();
    GstElement* filter = gst_element_factory_make("capsfilter", nullptr);
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    GstCaps* caps = gst_caps_from_string("video/x-raw,width=1920,height=1080");
    g_object_set(filter, "caps", caps, nullptr);
    gst_caps_unref(caps);
    g_object_set(sink, "sync", FALSE, "max-buffers", 1u, "drop", TRUE, nullptr);
    gst_bin_add_many(GST_BIN(pipeline), source, filter, sink, nullptr);
    gst_element_link_many(source, filter, sink, nullptr);
    int frames = 0;
    GstPad* pad = gst_element_get_static_pad(sink, "sink");
    gst_pad_add_probe(
        pad, GST_PAD_PROBE_TYPE_BUFFER,
        [](GstPad*, GstPadProbeInfo*, gpointer counter) {
            g_atomic_int_inc(static_cast<int*>(counter));
            return GST_PAD_PROBE_OK;
        },
        &frames, nullptr);
    gst_object_unref(pad);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    for (auto _ : state) {
        const int before = g_atomic_int_get(&frames);
        const double cpuBefore = ProcessCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        // A plain sleep: polling an event loop would cost more than the source.
        std::this_thread::sleep_for(std::chrono::seconds(MeasureSeconds()));
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        Report(state, ProcessCpuSeconds() - cpuBefore, wall, g_atomic_int_get(&frames) - before);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);  // no probe call after `frames` ends
    gst_object_unref(pipeline);
}

}  // namespace

BENCHMARK(CaptureOpenToFirstFrame)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(CapturePipelineFullHd)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(CaptureSourceFullHd)->Iterations(1)->Unit(benchmark::kSecond);
