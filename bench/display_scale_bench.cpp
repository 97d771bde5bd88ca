// The cost of scaling the shown part of the picture for the video window: our resampler
// against the painter's smooth scaling into an image of the same size.
//
//   build/vistrela-bench --benchmark_filter='DisplayScale|QtSmooth|QtBlit'
//
// Qt may spread its smooth scaling over its thread pool, so every benchmark here reports the
// CPU time of the whole process (and wall time), not of the calling thread alone. Source
// pictures rotate through a pool larger than the last-level cache, as fresh frames do.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <memory>
#include <string>
#include <vector>

#include "viewer/display_scale.h"
#include "viewer/image.h"

namespace {

using namespace vistrela;

constexpr std::size_t kPoolBytes = std::size_t{128} << 20;

// Noise pictures of one size, as many as fill the pool (at least two).
const std::vector<std::unique_ptr<CxImage>>& Pictures(int width, int height) {
    static std::vector<std::unique_ptr<CxImage>> pictures;
    if (!pictures.empty() && pictures[0]->GetWidth() == width && pictures[0]->GetHeight() == height)
        return pictures;
    pictures.clear();
    const std::size_t bytes = static_cast<std::size_t>(width) * height * 4;
    const std::size_t count = std::max<std::size_t>(2, kPoolBytes / bytes + 1);
    std::uint32_t x = 0x9e3779b9u;
    for (std::size_t k = 0; k < count; ++k) {
        auto img = std::make_unique<CxImage>();
        img->Create(width, height);
        for (int y = 0; y < height; ++y) {
            std::uint32_t* row = img->MutableScanLine(y);
            for (int i = 0; i < width; ++i) {
                x ^= x << 13;
                x ^= x >> 17;
                x ^= x << 5;
                row[i] = 0xff000000u | x;
            }
        }
        pictures.push_back(std::move(img));
    }
    return pictures;
}

struct Case {
    const char* name;
    int frameWidth, frameHeight;
    QRect part;  // the shown part of the frame
    QSize dest;
};

void RunOurs(benchmark::State& st, Case c) {
    const auto& pictures = Pictures(c.frameWidth, c.frameHeight);
    DisplayScaler scaler;
    std::size_t k = 0;
    for (auto _ : st) {
        const QImage out = scaler.Prepare(*pictures[k], c.part, c.dest);
        benchmark::DoNotOptimize(out.constBits());
        benchmark::ClobberMemory();
        k = (k + 1) % pictures.size();
    }
}

void RunQtSmooth(benchmark::State& st, Case c) {
    const auto& pictures = Pictures(c.frameWidth, c.frameHeight);
    QImage target(c.dest, QImage::Format_RGB32);
    std::size_t k = 0;
    for (auto _ : st) {
        QPainter painter(&target);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(QRect(QPoint(0, 0), c.dest), pictures[k]->View(), c.part);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
        benchmark::ClobberMemory();
        k = (k + 1) % pictures.size();
    }
}

// What the window still does with our result: a 1:1 copy of the prepared image.
void RunQtBlit(benchmark::State& st, Case c) {
    const auto& pictures = Pictures(c.frameWidth, c.frameHeight);
    DisplayScaler scaler;
    const QImage shown = scaler.Prepare(*pictures[0], c.part, c.dest);
    QImage target(c.dest, QImage::Format_RGB32);
    for (auto _ : st) {
        QPainter painter(&target);
        painter.drawImage(QPoint(0, 0), shown);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
        benchmark::ClobberMemory();
    }
}

const Case kCases[] = {
    {"1920x1080to1755x987", 1920, 1080, QRect(0, 0, 1920, 1080), QSize(1755, 987)},
    {"3840x2160to1280x720", 3840, 2160, QRect(0, 0, 3840, 2160), QSize(1280, 720)},
    {"3840x2160to1755x987", 3840, 2160, QRect(0, 0, 3840, 2160), QSize(1755, 987)},
    {"1280x720to1755x987", 1280, 720, QRect(0, 0, 1280, 720), QSize(1755, 987)},
    // Zoomed in on a 1080p frame: x2 and x8 of the window's scale.
    {"zoom2/960x540to1755x987", 1920, 1080, QRect(480, 270, 960, 540), QSize(1755, 987)},
    {"zoom8/240x135to1755x987", 1920, 1080, QRect(840, 472, 240, 135), QSize(1755, 987)},
};

int Register() {
    for (const Case& c : kCases) {
        const std::string name = c.name;
        benchmark::RegisterBenchmark(("DisplayScale/" + name).c_str(), RunOurs, c)
            ->Unit(benchmark::kMicrosecond)
            ->MeasureProcessCPUTime()
            ->UseRealTime();
        benchmark::RegisterBenchmark(("QtSmooth/" + name).c_str(), RunQtSmooth, c)
            ->Unit(benchmark::kMicrosecond)
            ->MeasureProcessCPUTime()
            ->UseRealTime();
    }
    benchmark::RegisterBenchmark("QtBlit/1755x987", RunQtBlit, kCases[0])
        ->Unit(benchmark::kMicrosecond)
        ->MeasureProcessCPUTime()
        ->UseRealTime();
    return 0;
}

const int kRegistered = Register();

}  // namespace
