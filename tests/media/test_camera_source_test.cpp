// The test camera's source element on its own: caps, timestamps, picture integrity while the
// frames it sends are held or written downstream (what it costs: bench/capture_bench.cpp).
#include "capture/media/test_camera_source.h"

#include <gst/app/gstappsink.h>
#include <gst/base/gstbasesrc.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <thread>

#include "capture/media/capture_device.h"
#include "capture/media/test_camera.h"
#include "common/media/gstreamer_init.h"
#include "test_support.h"

using namespace vistrela;
using namespace vistrela::testing;

namespace {

GstElement* Source(std::initializer_list<std::pair<int, int>> sizes, int fps,
                   TestCameraFailure failure = TestCameraFailure::None) {
    std::vector<CameraMode> modes;
    for (auto [w, h] : sizes) modes.push_back({PixelFormat::Yuy2, "YUY2", w, h, fps, 1});
    return NewTestCameraSource(modes, failure);
}

// `source` -> [capsfilter] -> appsink, owned here.
struct AppSinkPipeline {
    GstElement* pipeline = gst_pipeline_new(nullptr);
    GstElement* source = nullptr;
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    bool linked = true;

    explicit AppSinkPipeline(GstElement* sourceElement, const char* wanted = nullptr)
        : source(sourceElement) {
        g_object_set(sink, "sync", FALSE, nullptr);
        gst_bin_add_many(GST_BIN(pipeline), source, sink, nullptr);
        GstElement* upstream = source;
        if (wanted != nullptr) {
            GstElement* filter = gst_element_factory_make("capsfilter", nullptr);
            GstCaps* caps = gst_caps_from_string(wanted);
            g_object_set(filter, "caps", caps, nullptr);
            gst_caps_unref(caps);
            gst_bin_add(GST_BIN(pipeline), filter);
            linked = gst_element_link(source, filter);
            upstream = filter;
        }
        linked = linked && gst_element_link(upstream, sink);
    }
    ~AppSinkPipeline() {
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
    }
    bool play() {
        return gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
    }
    // The next sample (owned by the caller), or nullptr when none came within the limit.
    GstSample* pull() { return gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 5 * GST_SECOND); }
};

using SamplePtr = std::unique_ptr<GstSample, decltype(&gst_sample_unref)>;
SamplePtr Own(GstSample* sample) {
    return SamplePtr(sample, gst_sample_unref);
}

std::vector<guint8> Bytes(GstSample* sample) {
    GstMapInfo map;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return {};
    std::vector<guint8> bytes(map.data, map.data + map.size);
    gst_buffer_unmap(buffer, &map);
    return bytes;
}

enum class Tone { Black, Red, Green, Blue, White, Grey, Other };

Tone ToneOf(const guint8* pair) {
    struct Known {
        guint8 y, u, v;
        Tone tone;
    };
    static const Known known[] = {{16, 128, 128, Tone::Black},  {81, 90, 240, Tone::Red},
                                  {145, 54, 34, Tone::Green},   {41, 240, 110, Tone::Blue},
                                  {235, 128, 128, Tone::White}, {128, 128, 128, Tone::Grey}};
    if (pair[0] != pair[2]) return Tone::Other;
    for (const Known& k : known)
        if (pair[0] == k.y && pair[1] == k.u && pair[3] == k.v) return k.tone;
    return Tone::Other;
}

// Checks a whole YUY2 test picture: the four corner squares of their colours, one grey square
// centred vertically between them, black everywhere else. Returns the grey square's left edge,
// or -1 (with a failure) when the picture is not whole.
int CheckPicture(const std::vector<guint8>& bytes, int width, int height) {
    const int stride = (width * 2 + 3) & ~3;
    if (bytes.size() < static_cast<std::size_t>(stride) * height) {
        ADD_FAILURE() << "short frame";
        return -1;
    }
    const int side = TestCameraMarkerSide(width, height);
    int greyCount = 0, left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; x += 2) {
            const Tone tone = ToneOf(&bytes[static_cast<std::size_t>(y) * stride + x * 2]);
            const bool inTop = y < side, inBottom = y >= height - side;
            const bool inLeft = x < side, inRight = x >= width - side;
            Tone expected = Tone::Black;
            if (inTop && inLeft) expected = Tone::Red;
            if (inTop && inRight) expected = Tone::Green;
            if (inBottom && inLeft) expected = Tone::Blue;
            if (inBottom && inRight) expected = Tone::White;
            if (tone == Tone::Grey && expected == Tone::Black) {
                greyCount += 2;
                left = std::min(left, x), right = std::max(right, x + 1);
                top = std::min(top, y), bottom = std::max(bottom, y);
                continue;
            }
            if (tone != expected) {
                ADD_FAILURE() << "pixel " << x << "," << y << " is not of its expected colour";
                return -1;
            }
        }
    }
    const int boxWidth = right - left + 1, boxHeight = bottom - top + 1;
    const bool square = boxWidth == boxHeight && greyCount == boxWidth * boxHeight;
    const bool centred = std::abs(2 * top + boxHeight - height) <= 2;
    const bool between = left >= side && right < width - side;
    if (square && centred && between) return left;
    ADD_FAILURE() << "grey area " << left << ".." << right << " x " << top << ".." << bottom << " ("
                  << greyCount << " pixels) is not one centred square between the corners";
    return -1;
}

}  // namespace

TEST(TestCameraSource, OffersExactlyItsModesAndTakesTheFirstByDefault) {
    EnsureGStreamer();
    EXPECT_EQ(NewTestCameraSource({}, TestCameraFailure::None), nullptr);
    const auto twoSizes = {std::pair{320, 240}, std::pair{160, 120}};
    {
        AppSinkPipeline p(Source(twoSizes, 30));
        ASSERT_TRUE(p.linked);
        GstPad* pad = gst_element_get_static_pad(p.source, "src");
        GstCaps* offered = gst_pad_query_caps(pad, nullptr);
        gst_object_unref(pad);
        ASSERT_EQ(gst_caps_get_size(offered), 2u);
        GstCaps* expected = gst_caps_from_string(
            "video/x-raw,format=YUY2,width=320,height=240,framerate=30/1;"
            "video/x-raw,format=YUY2,width=160,height=120,framerate=30/1");
        EXPECT_TRUE(gst_caps_is_strictly_equal(offered, expected));
        gst_caps_unref(expected);
        gst_caps_unref(offered);

        // Live: no preroll, and one frame of latency once running.
        EXPECT_EQ(gst_element_set_state(p.pipeline, GST_STATE_PAUSED), GST_STATE_CHANGE_NO_PREROLL);
        ASSERT_TRUE(p.play());
        SamplePtr sample = Own(p.pull());
        ASSERT_TRUE(sample);
        GstVideoInfo info;
        ASSERT_TRUE(gst_video_info_from_caps(&info, gst_sample_get_caps(sample.get())));
        EXPECT_EQ(GST_VIDEO_INFO_WIDTH(&info), 320);
        EXPECT_EQ(GST_VIDEO_INFO_FORMAT(&info), GST_VIDEO_FORMAT_YUY2);
        GstQuery* latency = gst_query_new_latency();
        ASSERT_TRUE(gst_element_query(p.source, latency));
        gboolean live = FALSE;
        GstClockTime minimum = 0;
        gst_query_parse_latency(latency, &live, &minimum, nullptr);
        gst_query_unref(latency);
        EXPECT_TRUE(live);
        EXPECT_EQ(minimum, gst_util_uint64_scale(GST_SECOND, 1, 30));
    }
    {
        AppSinkPipeline p(Source(twoSizes, 30), "video/x-raw,width=160,height=120");
        ASSERT_TRUE(p.linked);
        ASSERT_TRUE(p.play());
        SamplePtr sample = Own(p.pull());
        ASSERT_TRUE(sample);
        EXPECT_GE(CheckPicture(Bytes(sample.get()), 160, 120), 0);
    }
    {
        AppSinkPipeline p(Source(twoSizes, 30), "video/x-raw,width=200,height=100");
        EXPECT_FALSE(p.linked);
    }
}

TEST(TestCameraSource, PictureStaysWholeAsTheSquareTravelsWithTimestampsAtTheRate) {
    EnsureGStreamer();
    AppSinkPipeline p(Source({{96, 64}}, 240));
    ASSERT_TRUE(p.play());
    const GstClockTime frameNs = gst_util_uint64_scale(GST_SECOND, 1, 240);
    int previousLeft = -1;
    guint64 previousOffset = 0, firstOffset = 0;
    GstClockTime firstPts = 0;
    std::set<int> positions;
    // Several rounds of the square's travel: every store is reused many times.
    for (int i = 0; i < 40; ++i) {
        SamplePtr sample = Own(p.pull());
        ASSERT_TRUE(sample) << "frame " << i;
        GstBuffer* buffer = gst_sample_get_buffer(sample.get());
        const guint64 offset = GST_BUFFER_OFFSET(buffer);
        if (i == 0) firstOffset = offset, firstPts = GST_BUFFER_PTS(buffer);
        // On the frame grid: frame n leaves n frame times after the first one.
        EXPECT_EQ(GST_BUFFER_PTS(buffer) - firstPts,
                  gst_util_uint64_scale(offset, GST_SECOND, 240) -
                      gst_util_uint64_scale(firstOffset, GST_SECOND, 240));
        EXPECT_NEAR(static_cast<double>(GST_BUFFER_DURATION(buffer)), frameNs, 1.0);
        if (i > 0) {
            EXPECT_GT(offset, previousOffset);
        }
        const int left = CheckPicture(Bytes(sample.get()), 96, 64);
        ASSERT_GE(left, 0) << "frame " << i;
        if (i > 0 && offset == previousOffset + 1) {
            EXPECT_NE(left, previousLeft);
        }
        positions.insert(left);
        previousLeft = left;
        previousOffset = offset;
    }
    EXPECT_GT(positions.size(), 4u);
}

TEST(TestCameraSource, FramesHeldOrWrittenDownstreamStayIntact) {
    EnsureGStreamer();
    AppSinkPipeline p(Source({{64, 48}}, 240));
    // The first frames go out through an in-place writer that owns them alone (as videobalance
    // does when it is not passthrough): it must get its own copy, not the frame stores.
    GstPad* pad = gst_element_get_static_pad(p.source, "src");
    int written = 0;
    gst_pad_add_probe(
        pad, GST_PAD_PROBE_TYPE_BUFFER,
        [](GstPad*, GstPadProbeInfo* info, gpointer count) {
            if ((*static_cast<int*>(count))++ >= 4) return GST_PAD_PROBE_OK;
            GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
            GST_PAD_PROBE_INFO_DATA(info) = buffer;
            GstMapInfo map;
            if (gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
                std::memset(map.data, 0xff, map.size);
                gst_buffer_unmap(buffer, &map);
            }
            return GST_PAD_PROBE_OK;
        },
        &written, nullptr);
    gst_object_unref(pad);
    ASSERT_TRUE(p.play());
    for (int i = 0; i < 4; ++i) {
        SamplePtr scribbled = Own(p.pull());
        ASSERT_TRUE(scribbled);
        EXPECT_EQ(Bytes(scribbled.get())[0], 0xff);
    }
    // Frames held for a while are never repainted under their holder.
    std::vector<SamplePtr> held;
    std::vector<std::vector<guint8>> seen;
    for (int i = 0; i < 12; ++i) {
        held.push_back(Own(p.pull()));
        ASSERT_TRUE(held.back());
        seen.push_back(Bytes(held.back().get()));
        EXPECT_GE(CheckPicture(seen.back(), 64, 48), 0) << "frame " << i;
    }
    for (int i = 0; i < 12; ++i) {
        SamplePtr later = Own(p.pull());
        ASSERT_TRUE(later);
        EXPECT_GE(CheckPicture(Bytes(later.get()), 64, 48), 0);
    }
    for (std::size_t i = 0; i < held.size(); ++i)
        EXPECT_EQ(Bytes(held[i].get()), seen[i]) << "held frame " << i;
}

TEST(TestCameraSource, ALateFrameIsSkippedNotSentInABurst) {
    EnsureGStreamer();
    // Counts the frames the source made; the third one is the push that waits for room. Outlives
    // the pipeline, whose streaming thread calls the probe.
    struct Made {
        std::mutex mutex;
        std::condition_variable cv;
        int count = 0;
        GstClockTime lastPts = GST_CLOCK_TIME_NONE;
    } made;
    AppSinkPipeline p(Source({{64, 48}}, 240));
    // One frame queued at most: the streaming thread waits while the test holds back.
    g_object_set(p.sink, "max-buffers", 1u, "drop", FALSE, nullptr);
    GstPad* out = gst_element_get_static_pad(p.source, "src");
    gst_pad_add_probe(
        out, GST_PAD_PROBE_TYPE_BUFFER,
        [](GstPad*, GstPadProbeInfo* info, gpointer data) {
            auto* m = static_cast<Made*>(data);
            std::lock_guard lock(m->mutex);
            ++m->count;
            m->lastPts = GST_BUFFER_PTS(GST_PAD_PROBE_INFO_BUFFER(info));
            m->cv.notify_all();
            return GST_PAD_PROBE_OK;
        },
        &made, nullptr);
    gst_object_unref(out);
    ASSERT_TRUE(p.play());
    SamplePtr first = Own(p.pull());
    ASSERT_TRUE(first);
    GstClockTime heldPts = GST_CLOCK_TIME_NONE;
    {
        std::unique_lock lock(made.mutex);
        ASSERT_TRUE(
            made.cv.wait_for(lock, std::chrono::seconds(10), [&] { return made.count >= 3; }));
        heldPts = made.lastPts;
    }
    // The test holds back until the pipeline clock is 24 frame times past the waiting frame.
    GstClock* clock = gst_pipeline_get_clock(GST_PIPELINE(p.pipeline));
    ASSERT_NE(clock, nullptr);
    const GstClockTime frameNs = GST_SECOND / 240;
    GstClockID until = gst_clock_new_single_shot_id(
        clock, gst_element_get_base_time(p.pipeline) + heldPts + 24 * frameNs);
    gst_clock_id_wait(until, nullptr);
    gst_clock_id_unref(until);
    gst_object_unref(clock);
    guint64 offsets[3] = {};
    for (guint64& offset : offsets) {
        SamplePtr sample = Own(p.pull());
        ASSERT_TRUE(sample);
        offset = GST_BUFFER_OFFSET(gst_sample_get_buffer(sample.get()));
    }
    // The two frames made before the pause are followed by the frame of the current time.
    EXPECT_GE(offsets[2], offsets[1] + 10);
}

TEST(TestCameraSource, FailingCameraSendsItsFramesThenErrorsOnceAndStopsCleanly) {
    EnsureGStreamer();
    AppSinkPipeline p(Source({{64, 48}}, 240, TestCameraFailure::Error));
    ASSERT_TRUE(p.play());
    for (int i = 0; i < kTestCameraFailAfterFrames; ++i) ASSERT_TRUE(Own(p.pull())) << i;
    GstBus* bus = gst_element_get_bus(p.pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(bus, 5 * GST_SECOND, GST_MESSAGE_ERROR);
    gst_object_unref(bus);
    ASSERT_NE(message, nullptr);
    GError* error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    EXPECT_STREQ(error->message, "Test camera failed on demand");
    g_error_free(error);
    gst_message_unref(message);
    EXPECT_FALSE(Own(gst_app_sink_try_pull_sample(GST_APP_SINK(p.sink), GST_SECOND / 4)));
    // Stopping wakes the silent source.
    EXPECT_EQ(gst_element_set_state(p.pipeline, GST_STATE_NULL), GST_STATE_CHANGE_SUCCESS);
}
