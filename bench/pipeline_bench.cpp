// The per-frame cost of the picture core against a plain copy of one camera frame.
//
//   build/vistrela-bench --benchmark_filter='Pipeline|Memcpy'
//
// Every benchmark takes its source frames in turn from a pool larger than the last-level
// cache, as fresh camera frames arrive, so no run is flattered by a frame that is still
// cached. After the runs, the ratios of each pipeline to the copy of the same size are printed.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "annotation/ink_draw.h"
#include "annotation/ink_style.h"
#include "annotation/overlay.h"
#include "viewer/pipeline.h"
#include "viewer/view_controls.h"

namespace {

using namespace vistrela;

constexpr std::size_t kPoolBytes = std::size_t{160} << 20;

// One pool shared by every benchmark; frames of any size are cut from it back to back.
const std::vector<std::uint8_t>& Pool() {
    static const std::vector<std::uint8_t> pool = [] {
        std::vector<std::uint8_t> bytes(kPoolBytes);
        std::uint64_t x = 0x9e3779b97f4a7c15u;  // xorshift: fast, and never repeats a frame
        auto* words = reinterpret_cast<std::uint64_t*>(bytes.data());
        for (std::size_t i = 0; i < bytes.size() / 8; ++i) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            words[i] = x;
        }
        return bytes;
    }();
    return pool;
}

struct FramePool {
    int width;
    int height;
    std::size_t frameBytes;
    int count;
    FrameView at(int k) const {
        const std::size_t stride = static_cast<std::size_t>(width) * 3;
        return FrameView{Pool().data() + static_cast<std::size_t>(k) * frameBytes, frameBytes,
                         width, height, static_cast<int>(stride)};
    }
};

FramePool MakePool(int width, int height) {
    const std::size_t frameBytes = static_cast<std::size_t>(width) * height * 3;
    const int count = static_cast<int>(kPoolBytes / frameBytes);
    if (static_cast<std::size_t>(count) * frameBytes < (std::size_t{128} << 20)) std::abort();
    return {width, height, frameBytes, count};
}

// Pen strokes zigzagging over the whole overlay: every row holds drawing, and the drawing of
// most rows lies far apart, so no row can be skipped or read only in a narrow part.
void DrawStrokes(CxImage& overlay) {
    const int w = overlay.GetWidth(), h = overlay.GetHeight();
    const int legs = 6;
    for (int k = 0; k < legs; ++k) {
        const int x0 = k * (w - 1) / legs, x1 = (k + 1) * (w - 1) / legs;
        const bool down = k % 2 == 0;
        DrawPenSegment(overlay, x0, down ? h - 1 : 0, x1, down ? 0 : h - 1);
    }
    DrawPenSegment(overlay, 0, h / 2, w - 1, h / 2);
}

// A lesson's worth of every kind of ink over the pen strokes: wide highlighter bands across the
// page, a rectangle, an ellipse and an arrow in several colours, black included.
void DrawMixedInk(CxImage& overlay) {
    DrawStrokes(overlay);
    const int w = overlay.GetWidth(), h = overlay.GetHeight();
    for (int k = 1; k <= 8; ++k) {
        const int y = k * h / 9;
        DrawInkSegment(overlay, {{w / 10, y}, {w * 9 / 10, y}}, 24,
                       HighlightPixel(kInkColours[static_cast<std::size_t>(k % 6)]), false);
    }
    const PicturePoint a{w / 5, h / 5}, b{w * 4 / 5, h * 4 / 5};
    const DrawMode shapes[] = {DrawMode::Rectangle, DrawMode::Ellipse, DrawMode::Arrow};
    for (int k = 0; k < 3; ++k) {
        for (const InkSegment& s : ShapeSegments(shapes[k], a, b, 6))
            DrawInkSegment(overlay, s, 6,
                           OpaqueInkPixel(kInkColours[static_cast<std::size_t>(k + 1)]));
    }
}

enum class Ink { None, Pen, Mixed };

void RunPipeline(benchmark::State& st, int width, int height, int rotation, Ink ink) {
    const FramePool pool = MakePool(width, height);
    ViewState view;
    view.frameWidth = width;
    view.frameHeight = height;
    view.zoomMinSize = view.zoomSize = width;
    view.zoomMinSizeY = view.zoomSizeY = height;
    view.zoom = 1.0;
    view.zoomLimit = 8;
    view.rotation = rotation;
    view.markerX = ShownWidth(view) / 2;
    view.markerY = ShownHeight(view) / 2;
    view.noticeUntil = 1e12;  // the zoom help shows on every frame

    PipelineState state;
    state.flipRows = 1;
    state.mirror = 1;
    CreateOverlay(state.overlayImage, view);
    if (ink != Ink::None) {
        if (ink == Ink::Mixed) {
            DrawMixedInk(state.overlayImage);
        } else {
            DrawStrokes(state.overlayImage);
        }
        state.drawMode = DRAW_PEN;
    }
    CxImage frameImage;
    const VideoArea area{ShownWidth(view), ShownHeight(view)};
    int k = 0;
    std::uint32_t tick = 1;
    for (auto _ : st) {
        const FrameResult r =
            ProcessFrame(view, state, frameImage, pool.at(k), area, tick, 1.0, nullptr);
        benchmark::DoNotOptimize(r);
        benchmark::DoNotOptimize(frameImage.ScanLine(0));
        benchmark::ClobberMemory();
        k = (k + 1) % pool.count;
        tick += 33;
    }
    st.counters["pool_frames"] = pool.count;
}

void RunMemcpy(benchmark::State& st, int width, int height) {
    const FramePool pool = MakePool(width, height);
    std::vector<std::uint8_t> dst(pool.frameBytes);
    int k = 0;
    for (auto _ : st) {
        std::memcpy(dst.data(), pool.at(k).data, pool.frameBytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
        k = (k + 1) % pool.count;
    }
    st.counters["pool_frames"] = pool.count;
}

// Prints the console table and then each pipeline's time as a multiple of the copy.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nCPU time per frame as a multiple of Memcpy of the same size:\n");
        for (const auto& [name, time] : times_) {
            const std::size_t slash = name.find('/');
            if (name.rfind("Memcpy", 0) == 0 || slash == std::string::npos) continue;
            const std::string size = name.substr(slash + 1, name.find('/', slash + 1) - slash - 1);
            const auto copy = times_.find("Memcpy/" + size);
            if (copy == times_.end() || copy->second <= 0) continue;
            std::printf("  %-34s %6.2f\n", name.c_str(), time / copy->second);
        }
    }

private:
    std::map<std::string, double> times_;
};

void RegisterAll() {
    const int sizes[][2] = {{640, 480}, {1920, 1080}, {3840, 2160}};
    for (const auto& s : sizes) {
        const int w = s[0], h = s[1];
        const std::string size = std::to_string(w) + "x" + std::to_string(h);
        benchmark::RegisterBenchmark(("Memcpy/" + size).c_str(), RunMemcpy, w, h)
            ->Unit(benchmark::kMicrosecond);
        for (const int rotation : {0, 90}) {
            benchmark::RegisterBenchmark(
                ("Pipeline/" + size + "/rot" + std::to_string(rotation)).c_str(), RunPipeline, w, h,
                rotation, Ink::Pen)
                ->Unit(benchmark::kMicrosecond);
        }
        benchmark::RegisterBenchmark(("PipelineMixedInk/" + size + "/rot0").c_str(), RunPipeline, w,
                                     h, 0, Ink::Mixed)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("PipelineNoOverlay/" + size + "/rot0").c_str(), RunPipeline,
                                     w, h, 0, Ink::None)
            ->Unit(benchmark::kMicrosecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Text needs a font database, hence a GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char qtName[] = "vistrela-bench";
    char* qtArgv[] = {qtName, nullptr};
    QGuiApplication app(qtArgc, qtArgv);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Pool();
    RegisterAll();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
