// The movie writer on 1080p pictures of a printed page, 30 pictures a second.
//
//   build/vistrela-bench --benchmark_filter='Movie'
//
// MovieEncode/<codec>: AppendFrame as fast as the writer takes pictures, which is the pace of
// the encoding thread once its buffers are full; the real time per picture is what the
// encoder costs a picture (conversion to YUV, encoding and writing included), the process CPU
// time what the whole process spent on it. "MB_per_min" is the file's size per minute of
// movie. Set VISTRELA_BENCH_MOVIE_DIR to keep the movies there, to look at them.
// MovieHandOver: one AppendFrame with a free buffer and an idle encoding thread: what the
// user-interface thread pays per picture (wall time, and "thread_cpu_us" of its own).

#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "common/prompts.h"
#include "recording/media/avi_writer.h"
#include "viewer/image.h"

namespace {

using namespace vistrela;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kFrameRate = 30;
constexpr int kVariants = 8;  // pictures with different sensor noise, shown in turn

// A portrait page filmed whole on a dark desk: the page's 297 mm fill the 1080 rows, so
// 10-point print is about 13 pixels high. Each variant carries its own sensor noise.
const std::vector<CxImage>& Pages() {
    static const std::vector<CxImage> pages = [] {
        CxImage page;
        page.Create(kWidth, kHeight);
        const int left = (kWidth - 764) / 2;
        for (int y = 0; y < kHeight; ++y) {
            std::uint32_t* row = page.MutableScanLine(y);
            for (int x = 0; x < kWidth; ++x) {
                const bool paper = x >= left && x < left + 764;
                row[x] = paper ? Rgb{228, 226, 220}.pixel() : Rgb{40, 36, 34}.pixel();
            }
        }
        const char* lines[] = {
            "10-point print: The quick brown fox jumps over the lazy dog. 0123456789",
            "Il1| O0o rn m cl d vv w ,.;: \"quoted\" (brackets) [1.5 mm] 3.14159 2026-12-09",
            "A document camera shows the page as it lies on the desk; every line must stay",
            "readable in the recorded lesson, also in the small print of footnotes and tables.",
            "수업 자료의 10포인트 글자도 녹화된 동영상에서 읽을 수 있어야 합니다.",
        };
        int y = 40;
        for (int i = 0; y < kHeight - 40; ++i, y += 18) {
            const char* face = i % 5 == 4 ? "굴림" : "Arial";
            page.DrawString(left + 48, y, lines[i % 5], Rgb{20, 20, 24}, face, 13, 400);
        }
        std::vector<CxImage> variants(kVariants, page);
        std::uint64_t state = 0x2545f4914f6cdd1dULL;
        for (CxImage& variant : variants) {
            for (int y2 = 0; y2 < kHeight; ++y2) {
                std::uint32_t* row = variant.MutableScanLine(y2);
                for (int x = 0; x < kWidth; ++x) {
                    state ^= state << 13;
                    state ^= state >> 7;
                    state ^= state << 17;
                    const int n = static_cast<int>(state & 7) - 3;  // -3..4 levels
                    std::uint32_t p = row[x];
                    std::uint32_t out = 0xff000000u;
                    for (int shift = 0; shift < 24; shift += 8) {
                        const int c = static_cast<int>((p >> shift) & 0xff) + n;
                        out |= static_cast<std::uint32_t>(c < 0 ? 0 : c > 255 ? 255 : c) << shift;
                    }
                    row[x] = out;
                }
            }
        }
        return variants;
    }();
    return pages;
}

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::string MoviePath(const char* name) {
    const char* keep = std::getenv("VISTRELA_BENCH_MOVIE_DIR");
    const std::filesystem::path dir =
        keep != nullptr ? std::filesystem::path(keep) : std::filesystem::temp_directory_path();
    return (dir / name).string();
}

void MovieEncode(benchmark::State& state, std::uint32_t codec, const char* name) {
    const std::vector<CxImage>& pages = Pages();
    const std::string path = MoviePath(name);
    std::int64_t pictures = 0;
    {
        CAviWriter writer(path, StderrPrompts());
        writer.codec = codec;
        writer.frameRate = kFrameRate;
        for (auto _ : state) {
            writer.AppendBitmap(pages[pictures % kVariants]);
            // The last picture waits for the encoder to finish them all.
            if (++pictures == state.max_iterations) writer.ReleaseMemory();
        }
    }
    const double minutes = static_cast<double>(pictures) / kFrameRate / 60.0;
    state.counters["MB_per_min"] =
        static_cast<double>(std::filesystem::file_size(path)) / 1e6 / minutes;
    if (std::getenv("VISTRELA_BENCH_MOVIE_DIR") == nullptr) std::filesystem::remove(path);
}

void MovieHandOver(benchmark::State& state) {
    const std::vector<CxImage>& pages = Pages();
    const std::string path = MoviePath("handover.avi");
    {
        CAviWriter writer(path, StderrPrompts());
        writer.codec = FourCC("XVID");
        writer.frameRate = kFrameRate;
        writer.AppendBitmap(pages[0]);
        std::int64_t pictures = 1;
        double threadSeconds = 0;
        for (auto _ : state) {
            while (writer.picturesInFlight() > 0) std::this_thread::yield();
            const double cpuStart = ThreadCpuSeconds();
            const auto start = std::chrono::steady_clock::now();
            writer.AppendBitmap(pages[pictures++ % kVariants]);
            state.SetIterationTime(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            threadSeconds += ThreadCpuSeconds() - cpuStart;
        }
        // The calling thread's own processor time, which a busy machine does not inflate.
        state.counters["thread_cpu_us"] =
            threadSeconds * 1e6 / static_cast<double>(state.iterations());
    }
    std::filesystem::remove(path);
}

BENCHMARK_CAPTURE(MovieEncode, XVID_1080p30, FourCC("XVID"), "xvid_1080p30.avi")
    ->Iterations(300)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MovieEncode, H264_1080p30, FourCC("H264"), "h264_1080p30.avi")
    ->Iterations(300)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(MovieHandOver)->Iterations(100)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
