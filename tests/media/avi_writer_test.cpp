// The movie writer against real files, read back through libavformat and libavcodec.

#include "recording/media/avi_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <QTemporaryDir>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "viewer/image.h"

using namespace vistrela;

namespace {

struct Notices : Prompts {
    std::vector<std::pair<std::string, std::string>> shown;  // caption, text
    void notice(const std::string& caption, const std::string& text) override {
        shown.emplace_back(caption, text);
    }
    std::string saveFileName(const std::string&, const std::string&, const std::string&,
                             const std::string&) override {
        return {};
    }
    std::string folder(const std::string&, const std::string&) override { return {}; }
};

using Shown = std::vector<std::pair<std::string, std::string>>;

// What libavformat finds in a movie file: its one video stream and every packet of it.
struct Movie {
    bool opened = false;
    int videoStreams = 0;
    std::string codec;
    std::string tag;
    int width = 0;
    int height = 0;
    AVRational timeBase{0, 1};
    int reorderDelay = -1;          // pictures decoded ahead of their time (B-pictures)
    std::vector<std::int64_t> pts;  // packets with data, in file order (AVI: their time)
    std::vector<bool> key;
};

Movie ReadMovie(const std::string& path) {
    Movie movie;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return movie;
    movie.opened = avformat_find_stream_info(format, nullptr) >= 0;
    int video = -1;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVCodecParameters* p = format->streams[i]->codecpar;
        if (p->codec_type != AVMEDIA_TYPE_VIDEO) continue;
        ++movie.videoStreams;
        video = static_cast<int>(i);
        movie.codec = avcodec_get_name(p->codec_id);
        movie.tag = FourCCText(p->codec_tag);
        movie.width = p->width;
        movie.height = p->height;
        movie.timeBase = format->streams[i]->time_base;
        movie.reorderDelay = p->video_delay;
    }
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == video && packet->size > 0) {
            movie.pts.push_back(packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts);
            movie.key.push_back((packet->flags & AV_PKT_FLAG_KEY) != 0);
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&format);
    return movie;
}

// The first picture of the movie's video stream as packed B,G,R rows, top first.
std::vector<std::uint8_t> FirstPicture(const std::string& path, int& width, int& height) {
    std::vector<std::uint8_t> bgr;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return bgr;
    const AVCodecParameters* p = format->streams[0]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(p->codec_id);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, p);
    avcodec_open2(decoder, codec, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    bool got = false;
    while (!got && av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == 0 && avcodec_send_packet(decoder, packet) >= 0)
            got = avcodec_receive_frame(decoder, frame) >= 0;
        av_packet_unref(packet);
    }
    if (!got && avcodec_send_packet(decoder, nullptr) >= 0)
        got = avcodec_receive_frame(decoder, frame) >= 0;
    if (got) {
        width = frame->width;
        height = frame->height;
        bgr.resize(static_cast<std::size_t>(width) * height * 3);
        SwsContext* sws =
            sws_getContext(width, height, static_cast<AVPixelFormat>(frame->format), width, height,
                           AV_PIX_FMT_BGR24, SWS_POINT, nullptr, nullptr, nullptr);
        const int hd = width >= 1280 || height >= 720;
        const int* coefficients = sws_getCoefficients(hd ? SWS_CS_ITU709 : SWS_CS_ITU601);
        sws_setColorspaceDetails(sws, coefficients, 0, coefficients, 1, 0, 1 << 16, 1 << 16);
        std::uint8_t* planes[1] = {bgr.data()};
        const int strides[1] = {width * 3};
        sws_scale(sws, frame->data, frame->linesize, 0, height, planes, strides);
        sws_freeContext(sws);
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
    return bgr;
}

// Quarters red, green (top), blue, white (bottom), as CxImage stores them.
CxImage Quarters(int width, int height) {
    CxImage picture;
    picture.Create(width, height);
    const Rgb colours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    for (int y = 0; y < height; ++y) {
        std::uint32_t* row = picture.MutableScanLine(y);
        for (int x = 0; x < width; ++x)
            row[x] = colours[(y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1)].pixel();
    }
    return picture;
}

const std::uint8_t* Bits(const CxImage& picture) {
    return reinterpret_cast<const std::uint8_t*>(picture.ScanLine(0));
}

// Within the loss of a lossy codec on flat colour.
::testing::AssertionResult Near(const std::vector<std::uint8_t>& bgr, int width, int x, int y,
                                int b, int g, int r) {
    const std::uint8_t* p = bgr.data() + (static_cast<std::size_t>(y) * width + x) * 3;
    if (std::abs(p[0] - b) <= 24 && std::abs(p[1] - g) <= 24 && std::abs(p[2] - r) <= 24)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "pixel (" << x << ", " << y << ") is B,G,R " << int(p[0]) << "," << int(p[1]) << ","
           << int(p[2]) << ", expected " << b << "," << g << "," << r;
}

class AviWriterTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const {
        return dir_.path().toStdString() + "/" + name;
    }
    QTemporaryDir dir_;
    Notices prompts_;
};

}  // namespace

// The notice of a writer that could not start: a plain sentence, the writer's texts below.
static std::string Failed(const std::string& detail) {
    return "동영상 파일을 만들지 못했습니다.\n" + detail +
           "\nError Occured While Rendering the Movie";
}

TEST_F(AviWriterTest, CodeWithoutEncoderFailsAtTheFirstPictureWithErrorThirteen) {
    const std::string path = Path("lags.avi");
    const CxImage picture = Quarters(64, 48);
    {
        CAviWriter writer(path, prompts_);
        writer.codec = FourCC("LAGS");
        writer.frameRate = 10;
        EXPECT_EQ(writer.AppendFrame(64, 48, Bits(picture), 32), kAviFail);
        EXPECT_EQ(prompts_.shown,
                  (Shown{{"Vistrela", Failed("Unable to Create Compressed Stream: err 13 ")}}));
        EXPECT_EQ(writer.writerState(), kWriterFailed);
        EXPECT_EQ(writer.AppendFrame(64, 48, Bits(picture), 32), kAviFail);
        EXPECT_EQ(writer.AppendBitmap(picture), kAviFail);
        EXPECT_EQ(prompts_.shown.size(), 1u);
    }
    // The movie as far as it got: the declared stream, without samples.
    const Movie movie = ReadMovie(path);
    ASSERT_TRUE(movie.opened);
    EXPECT_EQ(movie.videoStreams, 1);
    EXPECT_EQ(movie.tag, "LAGS");
    EXPECT_EQ(movie.codec, "lagarith");
    EXPECT_TRUE(movie.pts.empty());

    // The bitmap entry names the codec options instead of the number.
    prompts_.shown.clear();
    CAviWriter bitmaps(Path("lags2.avi"), prompts_);
    bitmaps.codec = FourCC("LAGS");
    EXPECT_EQ(bitmaps.AppendBitmap(picture), kAviFail);
    EXPECT_EQ(prompts_.shown,
              (Shown{{"Vistrela",
                      Failed("Unable to Create Compressed Stream: Check your CODEC options")}}));
}

TEST_F(AviWriterTest, FileThatCannotBeMadeIsReportedAndNoFileIsLeft) {
    const CxImage picture = Quarters(64, 48);
    {
        CAviWriter untouched(Path("never.avi"), prompts_);
        untouched.codec = FourCC("XVID");
    }
    EXPECT_FALSE(std::filesystem::exists(Path("never.avi")));

    const std::string path = Path("missing/movie.avi");
    CAviWriter writer(path, prompts_);
    writer.codec = FourCC("XVID");
    EXPECT_EQ(writer.AppendFrame(64, 48, Bits(picture), 32), kAviFail);
    EXPECT_EQ(prompts_.shown, (Shown{{"Vistrela", Failed("Unable to Create the Movie File")}}));
    EXPECT_EQ(writer.writerState(), kWriterFailed);
    EXPECT_EQ(writer.AppendFrame(64, 48, Bits(picture), 32), kAviFail);
    EXPECT_EQ(prompts_.shown.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(Path("missing")));
}

TEST_F(AviWriterTest, XvidStreamHasTheRateSizeAndOneSamplePerPicture) {
    const std::string path = Path("xvid.avi");
    const CxImage picture = Quarters(640, 480);
    {
        CAviWriter writer(path, prompts_);
        writer.codec = FourCC("XVID");
        writer.frameRate = 15;
        for (int i = 0; i < 40; ++i)
            EXPECT_EQ(writer.AppendFrame(640, 480, Bits(picture), 32), kAviOk);
        EXPECT_EQ(writer.writerState(), kWriterWriting);
        EXPECT_EQ(writer.sampleIndex(), 40);
    }
    EXPECT_TRUE(prompts_.shown.empty());
    const Movie movie = ReadMovie(path);
    ASSERT_TRUE(movie.opened);
    EXPECT_EQ(movie.codec, "mpeg4");
    EXPECT_EQ(movie.tag, "XVID");
    EXPECT_EQ(movie.width, 640);
    EXPECT_EQ(movie.height, 480);
    EXPECT_EQ(movie.timeBase.num, 1);
    EXPECT_EQ(movie.timeBase.den, 15);
    ASSERT_EQ(movie.pts.size(), 40u);
    std::vector<std::int64_t> keys;
    for (std::size_t i = 0; i < movie.pts.size(); ++i) {
        EXPECT_EQ(movie.pts[i], static_cast<std::int64_t>(i));
        if (movie.key[i]) keys.push_back(movie.pts[i]);
    }
    EXPECT_EQ(keys, (std::vector<std::int64_t>{0, 15, 30}));  // one key picture a second

    int width = 0, height = 0;
    const std::vector<std::uint8_t> bgr = FirstPicture(path, width, height);
    ASSERT_EQ(width, 640);
    EXPECT_TRUE(Near(bgr, width, 100, 100, 0, 0, 255));  // red, top left
    EXPECT_TRUE(Near(bgr, width, 540, 100, 0, 255, 0));  // green, top right
    EXPECT_TRUE(Near(bgr, width, 100, 380, 255, 0, 0));  // blue, bottom left
    EXPECT_TRUE(Near(bgr, width, 540, 380, 255, 255, 255));
}

TEST_F(AviWriterTest, H264FromImagesAtTheOwnersRateInPresentationOrder) {
    const std::string path = Path("h264.avi");
    const CxImage picture = Quarters(320, 240);
    {
        CAviWriter writer(path, prompts_);
        writer.codec = FourCC("H264");
        writer.frameRate = 25;
        for (int i = 0; i < 30; ++i) EXPECT_EQ(writer.AppendBitmap(picture), kAviOk);
    }
    const Movie movie = ReadMovie(path);
    ASSERT_TRUE(movie.opened);
    EXPECT_EQ(movie.codec, "h264");
    EXPECT_EQ(movie.tag, "H264");
    EXPECT_EQ(movie.timeBase.den, 25);
    EXPECT_EQ(movie.reorderDelay, 0);
    ASSERT_EQ(movie.pts.size(), 30u);
    for (std::size_t i = 0; i < movie.pts.size(); ++i)
        EXPECT_EQ(movie.pts[i], static_cast<std::int64_t>(i));
    EXPECT_TRUE(movie.key[0]);
    EXPECT_TRUE(movie.key[25]);
    int width = 0, height = 0;
    const std::vector<std::uint8_t> bgr = FirstPicture(path, width, height);
    ASSERT_EQ(width, 320);
    EXPECT_TRUE(Near(bgr, width, 60, 60, 0, 0, 255));
    EXPECT_TRUE(Near(bgr, width, 260, 180, 255, 255, 255));
}

TEST_F(AviWriterTest, OddSizeIsStoredPaddedWithBlack) {
    const std::string path = Path("odd.avi");
    const int width = 161, height = 121;
    const std::vector<std::uint8_t> white(static_cast<std::size_t>(width) * height * 3, 255);
    {
        CAviWriter writer(path, prompts_);
        writer.codec = FourCC("XVID");
        EXPECT_EQ(writer.AppendFrame(width, height, white.data(), 24), kAviOk);
        EXPECT_EQ(writer.AppendFrame(width, height, white.data(), 24), kAviOk);
    }
    int codedWidth = 0, codedHeight = 0;
    const std::vector<std::uint8_t> bgr = FirstPicture(path, codedWidth, codedHeight);
    ASSERT_EQ(codedWidth, 162);
    ASSERT_EQ(codedHeight, 122);
    EXPECT_TRUE(Near(bgr, codedWidth, 150, 60, 255, 255, 255));
    EXPECT_TRUE(Near(bgr, codedWidth, 161, 60, 0, 0, 0));
    EXPECT_TRUE(Near(bgr, codedWidth, 80, 110, 255, 255, 255));
    EXPECT_TRUE(Near(bgr, codedWidth, 80, 121, 0, 0, 0));
}

TEST_F(AviWriterTest, RefusedPictureKeepsItsPlaceInTheMovieClock) {
    const std::string path = Path("gap.avi");
    const CxImage picture = Quarters(64, 48);
    const CxImage other = Quarters(48, 64);
    {
        CAviWriter writer(path, prompts_);
        writer.codec = FourCC("XVID");
        writer.frameRate = 10;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(writer.AppendBitmap(picture), kAviOk);
        EXPECT_EQ(writer.AppendBitmap(other), kAviFail);
        EXPECT_EQ(writer.writerState(), kWriterWriting);
        for (int i = 0; i < 2; ++i) EXPECT_EQ(writer.AppendBitmap(picture), kAviOk);
        EXPECT_EQ(writer.sampleIndex(), 6);
        // Frames a late camera missed: the picture after them keeps its own time.
        writer.SkipFrames(2);
        EXPECT_EQ(writer.AppendBitmap(picture), kAviOk);
    }
    EXPECT_TRUE(prompts_.shown.empty());
    EXPECT_EQ(ReadMovie(path).pts, (std::vector<std::int64_t>{0, 1, 2, 4, 5, 8}));
}

TEST_F(AviWriterTest, WriteFailureShowsInALaterPictureAndIndicesGoOn) {
    // Every write to /dev/full fails once the muxer's buffer is flushed.
    std::mt19937 noise(7);
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(320) * 240 * 4);
    for (auto& b : bits) b = static_cast<std::uint8_t>(noise());
    CAviWriter writer("/dev/full", prompts_);
    writer.codec = FourCC("XVID");
    int calls = 0;
    int result = kAviOk;
    while (result == kAviOk && calls < 1000) {
        result = writer.AppendFrame(320, 240, bits.data(), 32);
        ++calls;
    }
    EXPECT_EQ(result, kAviFail);
    EXPECT_GT(calls, 1);  // the first picture opened the movie
    EXPECT_EQ(writer.writerState(), kWriterWriting);
    EXPECT_EQ(writer.sampleIndex(), calls);
    writer.AppendFrame(320, 240, bits.data(), 32);
    EXPECT_EQ(writer.sampleIndex(), calls + 1);
    writer.ReleaseMemory();
    EXPECT_TRUE(prompts_.shown.empty());
    struct stat device {};
    ASSERT_EQ(stat("/dev/full", &device), 0);
    EXPECT_TRUE(S_ISCHR(device.st_mode));
}
