// The WAV file layout and the recorder's pacing to the wall clock, with a clock of the test's
// own and a simulated device.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "recording/wav_format.h"
#include "recording/wav_pacer.h"

using namespace vistrela;

namespace {

std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b.at(at + i);
    return v;
}

std::string Id(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::string(b.begin() + at, b.begin() + at + 4);
}

// The data of a WAV file after checking every header field and both sizes.
std::vector<std::uint8_t> CheckedWavData(const std::string& path) {
    const std::vector<std::uint8_t> b = ReadAll(path);
    EXPECT_GE(b.size(), 46u);
    if (b.size() < 46) return {};
    EXPECT_EQ(Id(b, 0), "RIFF");
    EXPECT_EQ(Le(b, 4, 4), b.size() - 8);
    EXPECT_EQ(Id(b, 8), "WAVE");
    EXPECT_EQ(Id(b, 12), "fmt ");
    EXPECT_EQ(Le(b, 16, 4), 18u);
    EXPECT_EQ(Le(b, 20, 2), 1u);      // PCM
    EXPECT_EQ(Le(b, 22, 2), 1u);      // mono
    EXPECT_EQ(Le(b, 24, 4), 22050u);  // samples per second
    EXPECT_EQ(Le(b, 28, 4), 44100u);  // bytes per second
    EXPECT_EQ(Le(b, 32, 2), 2u);      // block align
    EXPECT_EQ(Le(b, 34, 2), 16u);     // bits per sample
    EXPECT_EQ(Le(b, 36, 2), 0u);      // extra size
    EXPECT_EQ(Id(b, 38), "data");
    const std::uint32_t size = Le(b, 42, 4);
    const std::size_t pad = size % 2;
    EXPECT_EQ(b.size(), 46 + size + pad) << "the data chunk and its pad byte end the file";
    if (b.size() != 46 + size + pad) return {};
    if (pad != 0) {
        EXPECT_EQ(b.back(), 0) << "pad byte";
    }
    return {b.begin() + 46, b.begin() + 46 + size};
}

// Sound whose every 16-bit sample is its own number, so that any byte tells where it came from.
std::vector<std::uint8_t> CountingSound(std::size_t firstSample, std::size_t bytes) {
    std::vector<std::uint8_t> out(bytes);
    for (std::size_t i = 0; i < bytes; ++i) {
        const auto sample = static_cast<std::uint16_t>(firstSample + i / 2);
        out[i] = static_cast<std::uint8_t>(i % 2 == 0 ? sample : sample >> 8);
    }
    return out;
}

struct FakeClock {
    std::chrono::nanoseconds now{0};
    WavPacer::Clock clock() {
        return [this] { return now; };
    }
    void advance(double seconds) {
        now += std::chrono::nanoseconds(static_cast<std::int64_t>(std::llround(seconds * 1e9)));
    }
    std::int64_t expectedBytes() const {
        return static_cast<std::int64_t>(
            std::trunc(std::chrono::duration<double>(now).count() * 44100));
    }
};

class WavRecorderCore : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
};

}  // namespace

TEST_F(WavRecorderCore, FileLayoutHoldsFormatAndFinalSizesWithRiffPadByte) {
    for (const std::size_t bytes : {std::size_t{0}, std::size_t{1003}, std::size_t{44100}}) {
        SCOPED_TRACE(bytes);
        const std::string file = path("layout.wav");
        WavFileWriter writer;
        ASSERT_EQ(writer.Open(file, WavFormat{}), WavStep::None);
        const std::vector<std::uint8_t> sound = CountingSound(7, bytes);
        // In two pieces: appends continue the data chunk.
        ASSERT_TRUE(writer.Append(sound.data(), bytes / 3));
        ASSERT_TRUE(writer.Append(sound.data() + bytes / 3, bytes - bytes / 3));
        EXPECT_EQ(writer.dataBytes(), bytes);
        ASSERT_EQ(writer.Close(), WavStep::None);
        EXPECT_FALSE(writer.Append(sound.data(), 2)) << "no write after the close";
        EXPECT_EQ(CheckedWavData(file), sound);
    }
}

TEST_F(WavRecorderCore, OpenReplacesAnExistingFileAndFailsOnAFolder) {
    const std::string file = path("old.wav");
    {
        std::ofstream old(file, std::ios::binary);
        old << std::string(100000, 'x');
    }
    WavFileWriter writer;
    ASSERT_EQ(writer.Open(file, WavFormat{}), WavStep::None);
    const std::vector<std::uint8_t> sound = CountingSound(0, 10);
    ASSERT_TRUE(writer.Append(sound.data(), sound.size()));
    ASSERT_EQ(writer.Close(), WavStep::None);
    EXPECT_EQ(CheckedWavData(file), sound) << "nothing of the old file is left";

    const std::string folder = path("folder.wav");
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(folder)));
    EXPECT_EQ(writer.Open(folder, WavFormat{}), WavStep::CreateFile);
    EXPECT_FALSE(writer.errorText().empty());
    EXPECT_FALSE(writer.isOpen());
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folder)).isDir()) << "a folder is not removed";
}

// A device that starts half a second late and then delivers 80% of the bytes: after every
// buffer the file is within 300 bytes of the clock, and the padding repeats the start of the
// newest buffer; the final partly filled buffer brings a 10 s recording to about 441000 bytes.
TEST_F(WavRecorderCore, PacerPadsALateSlowDeviceToTheWallClock) {
    const std::string file = path("slow.wav");
    FakeClock clock;
    WavFileWriter writer;
    ASSERT_EQ(writer.Open(file, WavFormat{}), WavStep::None);
    WavPacer pacer(writer, 44100, clock.clock());
    pacer.Start();
    clock.advance(0.5);
    std::size_t delivered = 0;
    std::size_t buffers = 0;
    while (clock.now < std::chrono::seconds(10)) {
        clock.advance(0.1);
        const std::vector<std::uint8_t> piece = CountingSound(delivered / 2, 3528);
        pacer.Append(piece.data(), piece.size());
        delivered += piece.size();
        if (pacer.buffersWritten() != buffers) {
            buffers = pacer.buffersWritten();
            const std::int64_t lag = clock.expectedBytes() - writer.dataBytes();
            EXPECT_LE(lag, 300) << "after buffer " << buffers;
            EXPECT_GE(lag, 0) << "padding never runs ahead of the clock";
        }
    }
    EXPECT_EQ(buffers, delivered / kWavBufferBytes);
    pacer.Finish();
    ASSERT_EQ(writer.Close(), WavStep::None);
    EXPECT_FALSE(pacer.writeFailed());

    const std::vector<std::uint8_t> data = CheckedWavData(file);
    EXPECT_LE(data.size(), 441000u);
    EXPECT_GE(data.size(), 441000u - 300);
    // The file is the device's sound in order, each buffer followed by 300-byte repeats of its
    // own start.
    const std::vector<std::uint8_t> sound = CountingSound(0, delivered);
    std::size_t at = 0;
    std::size_t taken = 0;
    while (taken < delivered) {
        const std::size_t length = std::min(kWavBufferBytes, delivered - taken);
        ASSERT_LE(at + length, data.size());
        ASSERT_TRUE(
            std::equal(sound.begin() + taken, sound.begin() + taken + length, data.begin() + at))
            << "device sound at " << taken;
        at += length;
        while (at + 300 <= data.size() &&
               std::equal(sound.begin() + taken, sound.begin() + taken + 300, data.begin() + at))
            at += 300;
        taken += length;
    }
    EXPECT_EQ(at, data.size()) << "nothing but sound and repeats";
    EXPECT_EQ(pacer.padBytes(), data.size() - delivered);
}

TEST_F(WavRecorderCore, PacerWritesAFastDeviceAsItComesAndPadsAFailedOneWithSilence) {
    FakeClock clock;
    {
        WavFileWriter writer;
        ASSERT_EQ(writer.Open(path("fast.wav"), WavFormat{}), WavStep::None);
        WavPacer pacer(writer, 44100, clock.clock());
        pacer.Start();
        const std::vector<std::uint8_t> sound = CountingSound(0, 44100 * 3 + 1000);
        for (std::size_t at = 0; at < sound.size(); at += 5292) {
            clock.advance(0.1);  // 120% of the rate
            pacer.Append(sound.data() + at, std::min<std::size_t>(5292, sound.size() - at));
        }
        pacer.Finish();
        ASSERT_EQ(writer.Close(), WavStep::None);
        EXPECT_EQ(pacer.buffersWritten(), 4u);
        EXPECT_EQ(CheckedWavData(path("fast.wav")), sound);
    }
    {
        // One second of sound, then the device fails; the stop comes at 5 s.
        clock.now = {};
        WavFileWriter writer;
        ASSERT_EQ(writer.Open(path("failed.wav"), WavFormat{}), WavStep::None);
        WavPacer pacer(writer, 44100, clock.clock());
        pacer.Start();
        const std::vector<std::uint8_t> sound = CountingSound(1, 44100 + 4410);
        clock.advance(1.1);
        pacer.Append(sound.data(), sound.size());
        clock.advance(3.9);
        pacer.Finish(WavPacer::FinalPad::Silence);
        ASSERT_EQ(writer.Close(), WavStep::None);
        const std::vector<std::uint8_t> data = CheckedWavData(path("failed.wav"));
        ASSERT_GE(data.size(), 5 * 44100u - 300);
        ASSERT_LE(data.size(), 5 * 44100u);
        // The first buffer's own padding (to 1.1 s) repeats its start; after the last sound
        // comes silence only.
        const std::size_t lastSound = 44100 + 4410 + 4410 / 300 * 300;
        EXPECT_TRUE(std::equal(sound.begin() + 44100, sound.end(),
                               data.begin() + 44100 + 4410 / 300 * 300));
        EXPECT_TRUE(std::all_of(data.begin() + lastSound, data.end(),
                                [](std::uint8_t b) { return b == 0; }));
    }
}
