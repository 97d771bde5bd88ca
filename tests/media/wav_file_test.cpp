// The sound recorder against real GStreamer pipelines: the live sine microphone of
// VISTRELA_TEST_MICROPHONE, and no microphone at all.
#include "recording/media/wav_file.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

#include "test_support.h"

using namespace vistrela;
using vistrela::testing::RunUntil;

namespace {

struct Notices {
    mutable std::mutex mutex;
    std::vector<std::string> texts;
    CWavFile::Notify notify() {
        return [this](const std::string& text) {
            std::lock_guard lock(mutex);
            texts.push_back(text);
        };
    }
    std::vector<std::string> all() const {
        std::lock_guard lock(mutex);
        return texts;
    }
};

double Seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// The 16-bit samples of a finished recording, after checking its sizes and format.
std::vector<std::int16_t> WavSamples(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> b{std::istreambuf_iterator<char>(in),
                                      std::istreambuf_iterator<char>()};
    EXPECT_GE(b.size(), 46u);
    if (b.size() < 46) return {};
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(Le32(b, 4), b.size() - 8);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(Le32(b, 16), 18u);
    EXPECT_EQ(Le32(b, 24), 22050u);
    EXPECT_EQ(std::string(b.begin() + 38, b.begin() + 42), "data");
    const std::uint32_t size = Le32(b, 42);
    EXPECT_EQ(size % 2, 0u) << "whole samples";
    EXPECT_EQ(b.size(), 46u + size);
    std::vector<std::int16_t> samples(std::min<std::size_t>(size, b.size() - 46) / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(b[46 + 2 * i] | b[47 + 2 * i] << 8);
    return samples;
}

class WavFileTest : public ::testing::Test {
protected:
    static DeviceSources Microphone(const char* test) {
        DeviceSources sources;
        sources.testMicrophone = test;
        return sources;
    }
    QTemporaryDir dir;
    const std::string file = dir.filePath("sound.wav").toStdString();
    Notices notices;
};

// A live source runs up to one of its buffers (1024 samples) ahead of the clock.
constexpr double kSourceLeadBytes = 4410;

}  // namespace

TEST_F(WavFileTest, SineRecordingFollowsTheClockAndHoldsTheSine) {
    EXPECT_EQ(CWavFile::CountDevices(Microphone("sine:1000")), 1);
    CWavFile recorder(file, 0, notices.notify(), Microphone("sine:1000"));
    EXPECT_EQ(recorder.CheckDevices(), 1);

    const double started = Seconds();
    recorder.SetRecording(1);
    EXPECT_TRUE(recorder.isRunning());
    ASSERT_TRUE(RunUntil([&] { return std::filesystem::exists(file); }));
    const double seen = Seconds();  // the file was opened, and the clock started, before
    ASSERT_TRUE(RunUntil([&] { return recorder.bytesWritten() >= 2 * 44100; }, 30000));
    const double stopping = Seconds();
    recorder.SetRecording(0);
    const double stopped = Seconds();
    EXPECT_FALSE(recorder.isRunning());
    EXPECT_FALSE(recorder.threadActive());
    EXPECT_TRUE(notices.all().empty());

    const std::vector<std::int16_t> samples = WavSamples(file);
    const double bytes = 2.0 * samples.size();
    EXPECT_EQ(bytes, recorder.bytesWritten());
    // Sound and silence up to the stop: at least the time from the file's opening to the stop
    // request, at most the whole time of the two calls.
    EXPECT_GE(bytes, (stopping - seen) * 44100 - 300);
    EXPECT_LE(bytes, (stopped - started) * 44100 + kSourceLeadBytes);

    // Silence stands where nothing was captured yet (the source's start), then the sine itself:
    // loud, 1000 periods a second.
    std::size_t first = 0;
    while (first < samples.size() && std::abs(samples[first]) < 1000) ++first;
    EXPECT_LT(first, 22050u / 2) << "the sound starts within half a second";
    ASSERT_GE(samples.size(), first + 11025u);
    double power = 0;
    int crossings = 0;
    for (std::size_t i = first; i < first + 11025; ++i) {
        power += static_cast<double>(samples[i]) * samples[i];
        if (i > first && (samples[i - 1] < 0) != (samples[i] < 0)) ++crossings;
    }
    EXPECT_GT(std::sqrt(power / 11025), 10000);
    EXPECT_NEAR(crossings, 1000, 20);
}

TEST_F(WavFileTest, NoMicrophoneFailsAtTheDeviceAndMakesNoFile) {
    EXPECT_EQ(CWavFile::CountDevices(Microphone("none")), 0);
    CWavFile recorder(file, 0, notices.notify(), Microphone("none"));
    EXPECT_EQ(recorder.CheckDevices(), 1);
    EXPECT_EQ(notices.all(), std::vector<std::string>{"NO Input Devices Found.."});

    recorder.SetRecording(1);
    ASSERT_TRUE(RunUntil([&] { return !recorder.threadActive(); }));
    const std::vector<std::string> shown = notices.all();
    ASSERT_EQ(shown.size(), 2u);
    const std::string location = "File: .\\cwavfile ,Line Number:249: ";
    EXPECT_EQ(shown[1].rfind(location, 0), 0u) << shown[1];
    EXPECT_GT(shown[1].size(), location.size()) << "with the device's own text";
    EXPECT_EQ(recorder.lastError(), shown[1]);
    EXPECT_TRUE(recorder.isRunning()) << "a failed start is not started again";
    EXPECT_FALSE(std::filesystem::exists(file));

    recorder.SetRecording(0);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(notices.all().size(), 2u);
    EXPECT_EQ(recorder.DescribeError(401, "x", true), "") << "nothing is described when stopped";
    EXPECT_EQ(notices.all().size(), 2u);
}

// A stop at once gives a complete file whose data is short; the same recorder then records
// again into a new file of the same name.
TEST_F(WavFileTest, StopBeforeAnyBufferGivesAShortValidFileAndTheRecorderStartsAgain) {
    CWavFile recorder(file, 0, notices.notify(), Microphone("sine"));
    const double started = Seconds();
    recorder.SetRecording(1);
    recorder.SetRecording(0);
    const double stopped = Seconds();
    const std::vector<std::int16_t> first = WavSamples(file);
    EXPECT_LE(2.0 * first.size(), (stopped - started) * 44100 + kSourceLeadBytes);
    EXPECT_EQ(2 * first.size(), recorder.bytesWritten());

    recorder.SetRecording(1);
    ASSERT_TRUE(RunUntil([&] { return recorder.bytesWritten() >= 44100; }, 30000));
    recorder.SetRecording(0);
    const std::vector<std::int16_t> second = WavSamples(file);
    EXPECT_GE(second.size(), 44100u / 2);
    EXPECT_EQ(2 * second.size(), recorder.bytesWritten());
    EXPECT_TRUE(notices.all().empty());
}
