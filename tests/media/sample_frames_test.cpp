#include "capture/media/sample_frames.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/media/gstreamer_init.h"

using namespace vistrela;

namespace {

// A frame copied out of a FrameView, rows packed.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> bgr;
};

Picture Copy(const FrameView& v) {
    Picture p{v.width, v.height, {}};
    for (int y = 0; y < v.height; ++y)
        p.bgr.insert(p.bgr.end(), v.data + static_cast<std::size_t>(y) * v.strideBytes,
                     v.data + static_cast<std::size_t>(y) * v.strideBytes + v.width * 3);
    return p;
}

// One test picture in `caps`, split by a tee: as it is (to `yuv`) and through videoconvert
// to BGR (to `bgr`), as the capture pipeline did before it took YUV itself.
struct TwoWays {
    GstSample* yuv = nullptr;
    GstSample* bgr = nullptr;
    ~TwoWays() {
        if (yuv != nullptr) gst_sample_unref(yuv);
        if (bgr != nullptr) gst_sample_unref(bgr);
    }
};

void Render(const std::string& pattern, const std::string& caps, TwoWays& out) {
    EnsureGStreamer();
    const std::string description =
        "videotestsrc num-buffers=1 pattern=" + pattern + " ! " + caps +
        " ! tee name=t t. ! queue ! appsink name=yuv t. ! queue ! videoconvert "
        "chroma-mode=none dither=none ! video/x-raw,format=BGR ! appsink name=bgr";
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    ASSERT_NE(pipeline, nullptr) << (error != nullptr ? error->message : "?");
    GstElement* yuv = gst_bin_get_by_name(GST_BIN(pipeline), "yuv");
    GstElement* bgr = gst_bin_get_by_name(GST_BIN(pipeline), "bgr");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    out.yuv = gst_app_sink_pull_sample(GST_APP_SINK(yuv));
    out.bgr = gst_app_sink_pull_sample(GST_APP_SINK(bgr));
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(yuv);
    gst_object_unref(bgr);
    gst_object_unref(pipeline);
    ASSERT_NE(out.yuv, nullptr) << caps;
    ASSERT_NE(out.bgr, nullptr) << caps;
}

// Largest difference of any channel between the two pictures, and where.
struct Difference {
    int worst = 0;
    int x = 0, y = 0;
};
Difference Compare(const Picture& a, const Picture& b) {
    Difference d;
    for (std::size_t i = 0; i < a.bgr.size() && i < b.bgr.size(); ++i) {
        const int diff = std::abs(int(a.bgr[i]) - int(b.bgr[i]));
        if (diff > d.worst) d = {diff, int(i / 3 % a.width), int(i / 3 / a.width)};
    }
    return d;
}

// videoconvert's 8-bit integer path is itself off the exact values: it turns limited-range
// white (Y 235) into 253 and runs about 1.5% low over the whole scale, up to 5 on saturated
// colours, where ours stays within 1 of the exact formula (core tests). A wrong matrix, range,
// plane order, stride or chroma position differs by 15 and more at the bars' edges.
constexpr int kTolerance = 6;

TEST(SampleFrames, YuvFramesMatchVideoconvertForEveryLayoutSizeAndColorimetry) {
    const char* formats[] = {"YUY2", "I420", "NV12"};
    // Padded rows (322: chroma rows of 161 bytes), odd heights, odd widths where the layout
    // allows them, HD (BT.709 by default) and JPEG's full-range BT.601.
    const char* shapes[] = {"width=322,height=240", "width=320,height=181", "width=1280,height=720",
                            "width=162,height=97", "width=160,height=120,colorimetry=1:4:0:0"};
    for (const char* format : formats) {
        for (const char* shape : shapes) {
            for (const char* pattern : {"smpte", "snow"}) {
                const std::string caps = std::string("video/x-raw,format=") + format + "," + shape;
                TwoWays samples;
                Render(pattern, caps, samples);
                SampleFrames ours;
                SampleFrames theirs;
                Picture mine, reference;
                EXPECT_TRUE(ours.Deliver(samples.yuv, [&](const FrameView& v) { mine = Copy(v); }));
                EXPECT_TRUE(
                    theirs.Deliver(samples.bgr, [&](const FrameView& v) { reference = Copy(v); }));
                ASSERT_EQ(mine.width, reference.width) << caps;
                ASSERT_EQ(mine.height, reference.height) << caps;
                ASSERT_EQ(mine.bgr.size(), reference.bgr.size()) << caps;
                const Difference d = Compare(mine, reference);
                const std::size_t at = (static_cast<std::size_t>(d.y) * mine.width + d.x) * 3;
                EXPECT_LE(d.worst, kTolerance)
                    << caps << " " << pattern << " at " << d.x << "," << d.y << ": ours "
                    << int(mine.bgr[at]) << "," << int(mine.bgr[at + 1]) << ","
                    << int(mine.bgr[at + 2]) << " videoconvert " << int(reference.bgr[at]) << ","
                    << int(reference.bgr[at + 1]) << "," << int(reference.bgr[at + 2]);
            }
        }
    }
}

TEST(SampleFrames, FullRangeJpegColoursAndHdMatrixAreReadFromCaps) {
    EnsureGStreamer();
    YuvColorimetry c;
    GstCaps* jpeg =
        gst_caps_from_string("video/x-raw,format=I420,width=640,height=480,colorimetry=1:4:0:0");
    ASSERT_TRUE(ColorimetryOfCaps(jpeg, c));
    EXPECT_TRUE(c.fullRange);
    EXPECT_DOUBLE_EQ(c.kr, 0.299);
    gst_caps_unref(jpeg);
    // A camera's caps without colorimetry: limited range, BT.709 above SD sizes.
    GstCaps* hd = gst_caps_from_string("video/x-raw,format=YUY2,width=1920,height=1080");
    ASSERT_TRUE(ColorimetryOfCaps(hd, c));
    EXPECT_FALSE(c.fullRange);
    EXPECT_DOUBLE_EQ(c.kr, 0.2126);
    gst_caps_unref(hd);
    GstCaps* sd = gst_caps_from_string("video/x-raw,format=YUY2,width=640,height=480");
    ASSERT_TRUE(ColorimetryOfCaps(sd, c));
    EXPECT_DOUBLE_EQ(c.kr, 0.299);
    gst_caps_unref(sd);
}

GstSample* NewSample(const char* caps, std::size_t bytes) {
    GstCaps* c = gst_caps_from_string(caps);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
    gst_buffer_memset(buffer, 0, 0x80, bytes);
    GstSample* sample = gst_sample_new(buffer, c, nullptr, nullptr);
    gst_buffer_unref(buffer);
    gst_caps_unref(c);
    return sample;
}

TEST(SampleFrames, BgrIsHandedInPlaceAndShortOrForeignSamplesAreRefused) {
    EnsureGStreamer();
    SampleFrames frames;
    int calls = 0;
    FrameView seen;
    const auto count = [&](const FrameView& v) {
        ++calls;
        seen = v;
    };
    // 322 * 3 = 966 bytes of pixels in rows of 968.
    GstSample* bgr = NewSample("video/x-raw,format=BGR,width=322,height=4", 968 * 4);
    GstMapInfo map;
    gst_buffer_map(gst_sample_get_buffer(bgr), &map, GST_MAP_READ);
    EXPECT_TRUE(frames.Deliver(bgr, count));
    EXPECT_EQ(seen.data, map.data);
    EXPECT_EQ(seen.strideBytes, 968);
    gst_buffer_unmap(gst_sample_get_buffer(bgr), &map);
    gst_sample_unref(bgr);

    // Fewer bytes than the caps promise: nothing is read, nothing handed over.
    for (const char* caps : {"video/x-raw,format=YUY2,width=1920,height=1080",
                             "video/x-raw,format=I420,width=1920,height=1080",
                             "video/x-raw,format=BGR,width=1920,height=1080"}) {
        GstSample* shortOne = NewSample(caps, 4096);
        EXPECT_FALSE(frames.Deliver(shortOne, count)) << caps;
        gst_sample_unref(shortOne);
    }
    GstSample* gray = NewSample("video/x-raw,format=GRAY8,width=8,height=8", 64);
    EXPECT_FALSE(frames.Deliver(gray, count));
    gst_sample_unref(gray);
    EXPECT_EQ(calls, 1);

    // Mid-grey YUY2 becomes mid-grey BGR, in the buffer the frames keep between samples.
    GstSample* grey = NewSample("video/x-raw,format=YUY2,width=64,height=2", 64 * 2 * 2);
    EXPECT_TRUE(frames.Deliver(grey, count));
    const std::uint8_t* first = seen.data;
    EXPECT_EQ(seen.strideBytes, 64 * 3);
    EXPECT_NEAR(seen.data[0], 130, 1);  // (128 - 16) * 255 / 219
    EXPECT_TRUE(frames.Deliver(grey, count));
    EXPECT_EQ(seen.data, first);
    gst_sample_unref(grey);
}

}  // namespace
