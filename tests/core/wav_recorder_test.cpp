// The WAV file layout, the placing of sound by its capture time, and the repairs of a pair cut
// short (leftover_files.h).
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

#include "recording/leftover_files.h"
#include "recording/sound_placer.h"
#include "recording/wav_format.h"

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

constexpr std::int64_t kSecond = 1'000'000'000;
// The time of sample `n` after time 0 (22050 a second), plus `zero`.
std::int64_t At(std::int64_t zero, double samples) {
    return zero + static_cast<std::int64_t>(std::llround(samples * kSecond / 22050.0));
}

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

// Sound goes where its capture time puts it: a late piece leaves silence before it, an early
// one loses what overlaps, jitter is ignored, sound before time 0 is dropped, and the end is
// silence up to the movie's end. No sample is ever written twice.
TEST_F(WavRecorderCore, PlacerPutsSoundByCaptureTimeWithSilenceAndNeverARepeat) {
    const std::string file = path("placed.wav");
    WavFileWriter writer;
    ASSERT_EQ(writer.Open(file, WavFormat{}), WavStep::None);
    SoundPlacer placer(writer, 22050);
    const std::int64_t zero = 5 * kSecond;
    placer.Start(zero);
    struct Piece {
        double atSample;          // capture time of its first sample, in samples after time 0
        std::size_t firstNumber;  // CountingSound numbering
        std::size_t samples;
        std::size_t expectedAt;  // where its first kept sample lands
        std::size_t kept;
    };
    const Piece pieces[] = {
        {-100, 0, 300, 0, 200},                // before time 0: its first 100 samples dropped
        {200 + 200, 300, 1000, 200, 1000},     // 9 ms after the end: jitter, follows on
        {1200 + 300, 1300, 500, 1200, 500},    // 13.6 ms: jitter too
        {1700 + 2205, 1800, 500, 3905, 500},   // 100 ms late: silence before it
        {4405 - 1102, 2300, 2000, 4405, 898},  // 50 ms early: the overlap is dropped
    };
    for (const Piece& p : pieces) {
        const std::vector<std::uint8_t> sound = CountingSound(p.firstNumber, p.samples * 2);
        placer.Place(sound.data(), sound.size(), At(zero, p.atSample));
    }
    placer.PadTo(At(zero, 6000));
    ASSERT_EQ(writer.Close(), WavStep::None);
    EXPECT_FALSE(placer.writeFailed());
    const std::vector<std::uint8_t> data = CheckedWavData(file);
    ASSERT_EQ(data.size(), 6000u * 2);
    std::vector<int> owner(6000, -1);  // which piece each sample came from
    for (std::size_t i = 0; i < std::size(pieces); ++i) {
        const Piece& p = pieces[i];
        const std::size_t skipped = p.samples - p.kept;
        const std::vector<std::uint8_t> sound = CountingSound(p.firstNumber + skipped, p.kept * 2);
        EXPECT_TRUE(std::equal(sound.begin(), sound.end(), data.begin() + p.expectedAt * 2))
            << "piece " << i;
        for (std::size_t k = 0; k < p.kept; ++k) owner[p.expectedAt + k] = static_cast<int>(i);
    }
    // Everything else is silence.
    for (std::size_t n = 0; n < owner.size(); ++n) {
        if (owner[n] >= 0) continue;
        ASSERT_EQ(data[2 * n] | data[2 * n + 1], 0) << "sample " << n;
    }
    EXPECT_EQ(placer.silenceBytes(), (2205u + 697u) * 2);
}

// A full disk: the first failed write stops the placing and says so.
TEST_F(WavRecorderCore, PlacerStopsAtTheFirstFailedWrite) {
    const std::string file = path("full.wav");
    WavFileWriter writer;
    ASSERT_EQ(writer.Open(file, WavFormat{}), WavStep::None);
    SoundPlacer placer(writer, 22050);
    placer.Start(0);
    const std::vector<std::uint8_t> sound = CountingSound(0, 2000);
    placer.Place(sound.data(), sound.size(), 0);
    ASSERT_TRUE(writer.Close() == WavStep::None);
    // The file is closed now: every later write fails, as on a full disk.
    placer.Place(sound.data(), sound.size(), At(0, 1000));
    EXPECT_TRUE(placer.writeFailed());
    placer.PadTo(At(0, 50000));
    EXPECT_EQ(placer.silenceBytes(), 0u);
}

// A pair cut short: the picture file loses the half-written chunk after its last whole frame
// and gets sizes that fit; the sound file gets sizes from its length.
TEST_F(WavRecorderCore, RepairsCutAPictureFileAtItsLastWholeFrameAndMendTheSoundSizes) {
    auto le32 = [](std::uint32_t v) {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    };
    auto chunk = [&](const std::string& id, const std::string& body) {
        return id + le32(static_cast<std::uint32_t>(body.size())) + body +
               (body.size() % 2 ? std::string(1, '\0') : "");
    };
    const std::string avih = chunk("avih", le32(40000) + std::string(52, '\0'));  // 25 fps
    const std::string hdrl =
        "LIST" + le32(static_cast<std::uint32_t>(4 + avih.size())) + "hdrl" + avih;
    std::string movi = "LIST" + le32(0xFFFFFFFF) + "movi";
    for (int i = 0; i < 3; ++i) movi += chunk("00dc", std::string(101 + i, 'x'));
    const std::string whole = "RIFF" + le32(0xFFFFFFFF) + "AVI " + hdrl + movi;
    const std::string picture = path("cut.avi");
    {
        std::ofstream out(picture, std::ios::binary);
        out << whole << "00dc" << le32(5000) << std::string(40, 'y');  // a frame cut mid-way
    }
    const AviCut cut = CutAviAtLastFrame(picture);
    EXPECT_TRUE(cut.readable);
    EXPECT_TRUE(cut.cut);
    EXPECT_EQ(cut.frames, 3);
    EXPECT_DOUBLE_EQ(cut.framesPerSecond, 25.0);
    const std::vector<std::uint8_t> bytes = ReadAll(picture);
    ASSERT_EQ(bytes.size(), whole.size());
    EXPECT_EQ(Le(bytes, 4, 4), whole.size() - 8);
    EXPECT_EQ(Le(bytes, 12 + hdrl.size() + 4, 4), movi.size() - 8);
    EXPECT_FALSE(CutAviAtLastFrame(picture).cut) << "a whole file stays as it is";
    EXPECT_FALSE(CutAviAtLastFrame(path("missing.avi")).readable);

    const std::string sound = path("cut.wav");
    {
        WavFileWriter writer;
        ASSERT_EQ(writer.Open(sound, WavFormat{}), WavStep::None);
        const std::vector<std::uint8_t> samples = CountingSound(0, 1000);
        ASSERT_TRUE(writer.Append(samples.data(), samples.size()));
        ASSERT_EQ(writer.Close(), WavStep::None);
        std::fstream f(sound, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(4);
        f.write("\0\0\0\0", 4);  // as a crash leaves them
        f.seekp(42);
        f.write("\0\0\0\0", 4);
        f.seekp(0, std::ios::end);
        f.write("z", 1);  // half a sample
    }
    EXPECT_EQ(RepairWavSizes(sound), 1000);
    EXPECT_EQ(CheckedWavData(sound), CountingSound(0, 1000));
    EXPECT_EQ(RepairWavSizes(picture), -1) << "not a sound file";
}
