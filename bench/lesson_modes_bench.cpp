// The lesson modes on a 1080p picture, per frame.
//
//   build/vistrela-bench --benchmark_filter='Lesson'
//
// Off: Finish with every mode off (what every frame pays when nobody uses them). Spotlight and
// Curtain: the shade over the whole picture. Compare/N: the board with N kept pages and the
// live picture, in the grid; only the live pane is scaled per frame.

#include <benchmark/benchmark.h>

#include "viewer/lesson_modes.h"

namespace {

using namespace vistrela;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Live {
    CxImage image;
    FrameGeometry geometry;
    Live() {
        image.Create(kWidth, kHeight);
        for (int y = 0; y < kHeight; ++y) {
            std::uint32_t* row = image.MutableScanLine(y);
            for (int x = 0; x < kWidth; ++x) row[x] = 0xff000000u | std::uint32_t(x * 7 + y * 13);
        }
        geometry.pictureWidth = kWidth;
        geometry.pictureHeight = kHeight;
        geometry.sourceRect = geometry.destRect = QRect(0, 0, kWidth, kHeight);
        geometry.area = {kWidth, kHeight};
    }
};

void Run(benchmark::State& state, LessonModes& modes) {
    Live live;
    for (int i = 0; i < state.range(0); ++i) {
        modes.KeepPage();
        modes.Finish(live.image, live.geometry, 0.0);
    }
    for (auto _ : state) {
        const LessonModes::Output& out = modes.Finish(live.image, live.geometry, 0.0);
        benchmark::DoNotOptimize(out.image->ScanLine(0));
    }
}

void BM_LessonOff(benchmark::State& state) {
    LessonModes modes;
    Run(state, modes);
}
BENCHMARK(BM_LessonOff)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_LessonSpotlight(benchmark::State& state) {
    LessonModes modes;
    modes.ToggleSpotlight();
    Run(state, modes);
}
BENCHMARK(BM_LessonSpotlight)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_LessonCurtain(benchmark::State& state) {
    LessonModes modes;
    modes.ToggleCurtain();
    Run(state, modes);
}
BENCHMARK(BM_LessonCurtain)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_LessonCompare(benchmark::State& state) {
    LessonModes modes;
    Run(state, modes);
}
BENCHMARK(BM_LessonCompare)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace
