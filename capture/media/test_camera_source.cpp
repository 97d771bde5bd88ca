#include "capture/media/test_camera_source.h"

#include <gst/base/gstbasesrc.h>
#include <gst/video/video.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>

#include "capture/media/capture_device.h"
#include "capture/media/test_camera.h"
#include "common/hand_off.h"

namespace vistrela {
namespace {

struct Yuy2Colour {
    guint8 y, u, v;
};

constexpr Yuy2Colour kBlack{16, 128, 128};
constexpr Yuy2Colour kRed{81, 90, 240};
constexpr Yuy2Colour kGreen{145, 54, 34};
constexpr Yuy2Colour kBlue{41, 240, 110};
constexpr Yuy2Colour kWhite{235, 128, 128};
constexpr Yuy2Colour kGrey{128, 128, 128};

// Free stores beyond this many are given back, so a burst of frames held downstream does not
// keep its memory for the rest of the stream.
constexpr std::size_t kStoresKept = 3;

// Where things are in a picture of one size. x values are even: YUY2 packs pixel pairs.
struct Layout {
    int width = 0;
    int height = 0;
    int strideBytes = 0;
    gsize sizeBytes = 0;
    int side = 0;  // corner squares
    int box = 0;   // moving square; 0 when the picture is too small for it
    int boxTop = 0;
    int travel = 2;  // the moving square's left edge runs over side .. side + travel - 1

    int squareLeft(guint64 frame) const {
        return side + (static_cast<int>((frame * 8) % static_cast<guint64>(travel)) & ~1);
    }
};

Layout LayoutFor(const GstVideoInfo& info) {
    Layout l;
    l.width = GST_VIDEO_INFO_WIDTH(&info);
    l.height = GST_VIDEO_INFO_HEIGHT(&info);
    l.strideBytes = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
    l.sizeBytes = GST_VIDEO_INFO_SIZE(&info);
    l.side = TestCameraMarkerSide(l.width, l.height);
    const int box = std::min(2 * l.side, l.width - 2 * l.side) & ~1;
    if (box > 0 && l.height >= box) {
        l.box = box;
        l.boxTop = (l.height - box) / 2;
        l.travel = std::max(2, l.width - 2 * l.side - box);
    }
    return l;
}

// Paints columns [x0, x1) of rows [y0, y1); x0 even, both clipped to the picture.
void Fill(guint8* pixels, const Layout& l, int x0, int x1, int y0, int y1, Yuy2Colour c) {
    x0 = std::max(0, x0 & ~1);
    x1 = std::min(x1, l.width);
    y0 = std::max(0, y0);
    y1 = std::min(y1, l.height);
    if (x0 >= x1 || y0 >= y1) return;
    const guint8 pair[4] = {c.y, c.u, c.y, c.v};
    guint8* first = pixels + static_cast<std::ptrdiff_t>(y0) * l.strideBytes + x0 * 2;
    const int pairs = (x1 - x0 + 1) / 2;
    for (int i = 0; i < pairs; ++i) std::memcpy(first + i * 4, pair, 4);
    for (int y = y0 + 1; y < y1; ++y)
        std::memcpy(pixels + static_cast<std::ptrdiff_t>(y) * l.strideBytes + x0 * 2, first,
                    static_cast<std::size_t>(pairs) * 4);
}

// The columns of [a, a + length) that are not in [b, b + length); b < 0 means no second span.
// Spans of equal length leave at most one piece.
std::pair<int, int> Without(int a, int b, int length) {
    if (b < 0 || b >= a + length || b + length <= a) return {a, a + length};
    if (b > a) return {a, b};
    return {b + length, a + length};
}

// One frame store. `inFlight` is true while a buffer wrapping `pixels` is alive downstream.
struct FrameStore {
    std::unique_ptr<guint8[]> pixels;
    int squareLeft = -1;  // the moving square painted in `pixels`, -1 for none
    std::atomic<bool> inFlight{false};
};

std::shared_ptr<FrameStore> NewStore(const Layout& l) {
    auto store = std::make_shared<FrameStore>();
    store->pixels = std::make_unique<guint8[]>(l.sizeBytes);
    std::memset(store->pixels.get(), 0, l.sizeBytes);  // also the padding at row ends
    guint8* p = store->pixels.get();
    const int right = (l.width - l.side) & ~1;
    Fill(p, l, 0, l.width, 0, l.height, kBlack);
    Fill(p, l, 0, l.side, 0, l.side, kRed);
    Fill(p, l, right, l.width, 0, l.side, kGreen);
    Fill(p, l, 0, l.side, l.height - l.side, l.height, kBlue);
    Fill(p, l, right, l.width, l.height - l.side, l.height, kWhite);
    return store;
}

void MoveSquare(FrameStore& store, const Layout& l, int left) {
    if (l.box == 0 || store.squareLeft == left) return;
    const int bottom = l.boxTop + l.box;
    if (store.squareLeft >= 0) {
        const auto [x0, x1] = Without(store.squareLeft, left, l.box);
        Fill(store.pixels.get(), l, x0, x1, l.boxTop, bottom, kBlack);
    }
    const auto [x0, x1] = Without(left, store.squareLeft, l.box);
    Fill(store.pixels.get(), l, x0, x1, l.boxTop, bottom, kGrey);
    store.squareLeft = left;
}

void ReleaseStore(gpointer data) {
    auto* store = static_cast<std::shared_ptr<FrameStore>*>(data);
    (*store)->inFlight.store(false, std::memory_order_release);
    delete store;
}

// A store of one colour.
std::shared_ptr<FrameStore> PlainStore(const Layout& l, Yuy2Colour colour) {
    auto store = std::make_shared<FrameStore>();
    store->pixels = std::make_unique<guint8[]>(l.sizeBytes);
    std::memset(store->pixels.get(), 0, l.sizeBytes);
    Fill(store->pixels.get(), l, 0, l.width, 0, l.height, colour);
    return store;
}

// A page of small print: lines of word-like strokes (glyphs about 13 pixels high at 1080p)
// on white, with margins, and sensor noise of a few levels on every pixel, different in each
// of `variants` stores.
std::vector<std::shared_ptr<FrameStore>> PageStores(const Layout& l, int variants) {
    std::vector<std::shared_ptr<FrameStore>> pages;
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    const int glyph = std::max(4, l.height / 83);
    const int line = glyph * 5 / 3;
    std::vector<guint8> luma(static_cast<std::size_t>(l.width) * l.height, 235);
    for (int top = l.height / 12; top + glyph < l.height - l.height / 12; top += line) {
        int x = l.width / 10;
        while (x < l.width - l.width / 10) {
            const int word = glyph * (2 + static_cast<int>(next() % 5));
            for (int gx = x; gx < std::min(x + word, l.width - l.width / 10); gx += glyph * 2 / 3) {
                // A glyph: a few strokes inside its box.
                for (int stroke = 0; stroke < 3; ++stroke) {
                    const bool vertical = next() % 2 == 0;
                    const int sx = gx + static_cast<int>(next() % (glyph / 2 + 1));
                    const int sy = top + static_cast<int>(next() % (glyph / 2 + 1));
                    const int length = glyph / 2 + static_cast<int>(next() % (glyph / 2 + 1));
                    for (int k = 0; k < length; ++k)
                        for (int t = 0; t < std::max(1, glyph / 8); ++t) {
                            const int px = vertical ? sx + t : sx + k;
                            const int py = vertical ? sy + k : sy + t;
                            if (px < l.width && py < l.height)
                                luma[static_cast<std::size_t>(py) * l.width + px] = 30;
                        }
                }
            }
            x += word + glyph;
        }
    }
    for (int v = 0; v < variants; ++v) {
        auto store = std::make_shared<FrameStore>();
        store->pixels = std::make_unique<guint8[]>(l.sizeBytes);
        std::memset(store->pixels.get(), 0, l.sizeBytes);
        for (int y = 0; y < l.height; ++y) {
            guint8* row = store->pixels.get() + static_cast<std::ptrdiff_t>(y) * l.strideBytes;
            const guint8* source = luma.data() + static_cast<std::size_t>(y) * l.width;
            for (int x = 0; x < l.width; ++x) {
                const int noise = static_cast<int>(next() % 9) - 4;
                row[x * 2] = static_cast<guint8>(std::clamp(source[x] + noise, 16, 235));
                row[x * 2 + 1] = 128;  // no colour
            }
        }
        pages.push_back(std::move(store));
    }
    return pages;
}

std::vector<std::shared_ptr<FrameStore>> FixedStores(const Layout& l, TestCameraPattern pattern) {
    switch (pattern) {
        case TestCameraPattern::Clapper:
            return {PlainStore(l, kBlack), PlainStore(l, kWhite)};
        case TestCameraPattern::Page:
            return PageStores(l, 5);
        case TestCameraPattern::Orientation:
            break;
    }
    return {};
}

// The element's own state. `modes` and `failure` are fixed at creation; `unlocked` is guarded
// by `mutex`; `frameDurationNs` is read by queries on any thread; the rest belongs to the
// streaming thread (and to start/stop, which run while it is not streaming).
struct SourceState {
    GstCaps* modes = nullptr;
    TestCameraFailure failure = TestCameraFailure::None;
    TestCameraPattern pattern = TestCameraPattern::Orientation;
    std::function<bool()> unplugged;

    std::mutex mutex;
    std::condition_variable wake;
    bool unlocked = false;

    std::atomic<GstClockTime> frameDurationNs{GST_CLOCK_TIME_NONE};

    Layout layout;
    bool haveLayout = false;
    int rateNumerator = 30;
    int rateDenominator = 1;
    std::vector<std::shared_ptr<FrameStore>> stores;
    // Pictures that never change (clapper: black, white; page: its noisy variants), made once
    // per size; the moving square's stores are not used then.
    std::vector<std::shared_ptr<FrameStore>> fixed;
    GstClockTime gridStartNs = GST_CLOCK_TIME_NONE;  // running time of frame 0
    guint64 nextFrame = 0;
    int framesSent = 0;
    bool errorPosted = false;

    // Time of `frame` after frame 0.
    GstClockTime offsetOf(guint64 frame) const {
        return gst_util_uint64_scale(frame, GST_SECOND * static_cast<guint64>(rateDenominator),
                                     static_cast<guint64>(rateNumerator));
    }

    // A free store (new if all are downstream); surplus free stores are given back.
    std::shared_ptr<FrameStore> freeStore() {
        std::shared_ptr<FrameStore> chosen;
        for (auto it = stores.begin(); it != stores.end();) {
            if (!(*it)->inFlight.load(std::memory_order_acquire)) {
                if (!chosen) {
                    chosen = *it;
                } else if (stores.size() > kStoresKept) {
                    it = stores.erase(it);
                    continue;
                }
            }
            ++it;
        }
        if (!chosen) {
            chosen = NewStore(layout);
            stores.push_back(chosen);
        }
        return chosen;
    }
};

}  // namespace

struct VistrelaTestSrc {
    GstBaseSrc parent;
    SourceState* state;
};

struct VistrelaTestSrcClass {
    GstBaseSrcClass parentClass;
};

G_DEFINE_TYPE(VistrelaTestSrc, vistrela_test_src, GST_TYPE_BASE_SRC)

namespace {

SourceState& StateOf(GstBaseSrc* base) {
    return *reinterpret_cast<VistrelaTestSrc*>(base)->state;
}

GstCaps* GetCaps(GstBaseSrc* base, GstCaps* filter) {
    GstCaps* modes = gst_caps_ref(StateOf(base).modes);
    if (filter == nullptr) return modes;
    GstCaps* result = gst_caps_intersect_full(filter, modes, GST_CAPS_INTERSECT_FIRST);
    gst_caps_unref(modes);
    return result;
}

gboolean SetCaps(GstBaseSrc* base, GstCaps* caps) {
    SourceState& s = StateOf(base);
    GstVideoInfo info;
    if (!gst_video_info_from_caps(&info, caps) ||
        GST_VIDEO_INFO_FORMAT(&info) != GST_VIDEO_FORMAT_YUY2)
        return FALSE;
    s.layout = LayoutFor(info);
    s.haveLayout = true;
    s.rateNumerator = GST_VIDEO_INFO_FPS_N(&info) > 0 ? GST_VIDEO_INFO_FPS_N(&info) : 30;
    s.rateDenominator = GST_VIDEO_INFO_FPS_N(&info) > 0 ? GST_VIDEO_INFO_FPS_D(&info) : 1;
    s.frameDurationNs = s.offsetOf(1);
    // Stores of the old size still downstream stay alive through their buffers.
    s.stores.clear();
    s.fixed = FixedStores(s.layout, s.pattern);
    return TRUE;
}

// Buffers come from the element's own stores; a pool offered downstream would only take memory.
gboolean DecideAllocation(GstBaseSrc*, GstQuery* query) {
    while (gst_query_get_n_allocation_pools(query) > 0)
        gst_query_remove_nth_allocation_pool(query, 0);
    return TRUE;
}

gboolean Start(GstBaseSrc* base) {
    SourceState& s = StateOf(base);
    s.gridStartNs = GST_CLOCK_TIME_NONE;
    s.nextFrame = 0;
    s.framesSent = 0;
    s.errorPosted = false;
    return TRUE;
}

gboolean Stop(GstBaseSrc* base) {
    SourceState& s = StateOf(base);
    s.stores.clear();
    s.fixed.clear();
    s.haveLayout = false;
    s.frameDurationNs = GST_CLOCK_TIME_NONE;
    return TRUE;
}

gboolean IsSeekable(GstBaseSrc*) {
    return FALSE;
}

// Lets the base class wait for each frame's time on the pipeline clock.
void GetTimes(GstBaseSrc*, GstBuffer* buffer, GstClockTime* start, GstClockTime* end) {
    *start = GST_BUFFER_PTS(buffer);
    *end = GST_CLOCK_TIME_IS_VALID(*start) && GST_BUFFER_DURATION_IS_VALID(buffer)
               ? *start + GST_BUFFER_DURATION(buffer)
               : GST_CLOCK_TIME_NONE;
}

gboolean Query(GstBaseSrc* base, GstQuery* query) {
    if (GST_QUERY_TYPE(query) == GST_QUERY_LATENCY) {
        const GstClockTime frame = StateOf(base).frameDurationNs.load();
        if (!GST_CLOCK_TIME_IS_VALID(frame)) return FALSE;
        gst_query_set_latency(query, TRUE, frame, GST_CLOCK_TIME_NONE);
        return TRUE;
    }
    return GST_BASE_SRC_CLASS(vistrela_test_src_parent_class)->query(base, query);
}

gboolean Unlock(GstBaseSrc* base) {
    SourceState& s = StateOf(base);
    std::lock_guard lock(s.mutex);
    s.unlocked = true;
    s.wake.notify_all();
    return TRUE;
}

gboolean UnlockStop(GstBaseSrc* base) {
    SourceState& s = StateOf(base);
    std::lock_guard lock(s.mutex);
    s.unlocked = false;
    return TRUE;
}

// The pipeline's running time now, or GST_CLOCK_TIME_NONE without a clock.
GstClockTime RunningTime(GstBaseSrc* base) {
    GstClock* clock = gst_element_get_clock(GST_ELEMENT(base));
    if (clock == nullptr) return GST_CLOCK_TIME_NONE;
    const GstClockTime now = gst_clock_get_time(clock);
    gst_object_unref(clock);
    const GstClockTime baseTime = gst_element_get_base_time(GST_ELEMENT(base));
    if (!GST_CLOCK_TIME_IS_VALID(now) || now < baseTime) return GST_CLOCK_TIME_NONE;
    return now - baseTime;
}

// The frame grid starts when the first frame is made, so that frame is not already late; later
// frames whose time passed while the previous one was delivered are skipped.
void PlaceOnGrid(GstBaseSrc* base, SourceState& s) {
    const GstClockTime now = RunningTime(base);
    if (!GST_CLOCK_TIME_IS_VALID(s.gridStartNs)) {
        s.gridStartNs = GST_CLOCK_TIME_IS_VALID(now) ? now : 0;
        return;
    }
    if (!GST_CLOCK_TIME_IS_VALID(now) || now <= s.gridStartNs) return;
    const guint64 current =
        gst_util_uint64_scale(now - s.gridStartNs, static_cast<guint64>(s.rateNumerator),
                              GST_SECOND * static_cast<guint64>(s.rateDenominator));
    s.nextFrame = std::max(s.nextFrame, current);
}

GstFlowReturn Create(GstBaseSrc* base, guint64, guint, GstBuffer** out) {
    SourceState& s = StateOf(base);
    if (!s.haveLayout) return GST_FLOW_NOT_NEGOTIATED;
    const int failAfter = s.failure == TestCameraFailure::NoStart ? 0 : kTestCameraFailAfterFrames;
    if (s.failure != TestCameraFailure::None && s.framesSent >= failAfter) {
        if (s.failure != TestCameraFailure::Stall && !s.errorPosted) {
            s.errorPosted = true;
            GST_ELEMENT_ERROR(base, RESOURCE, READ, ("Test camera failed on demand"), (nullptr));
        }
        // Silent from now on, like an unplugged camera, until the pipeline stops.
        std::unique_lock lock(s.mutex);
        s.wake.wait(lock, [&s] { return s.unlocked; });
        return GST_FLOW_FLUSHING;
    }
    if (s.unplugged && s.framesSent % std::max(1, s.rateNumerator / (2 * s.rateDenominator)) == 0 &&
        s.unplugged()) {
        // Pulled out: an error as a real device gives, then nothing until the pipeline stops.
        GST_ELEMENT_ERROR(base, RESOURCE, NOT_FOUND, ("Test camera unplugged"), (nullptr));
        std::unique_lock lock(s.mutex);
        s.wake.wait(lock, [&s] { return s.unlocked; });
        return GST_FLOW_FLUSHING;
    }
    PlaceOnGrid(base, s);
    const guint64 frame = s.nextFrame++;
    std::shared_ptr<FrameStore> store;
    if (s.pattern == TestCameraPattern::Clapper) {
        // White when the frame's time span holds a whole second of the steady clock (the
        // pipeline's system clock).
        const GstClockTime start =
            gst_element_get_base_time(GST_ELEMENT(base)) + s.gridStartNs + s.offsetOf(frame);
        const GstClockTime end = start + (s.offsetOf(frame + 1) - s.offsetOf(frame));

        store =
            s.fixed[(start % GST_SECOND == 0 || start / GST_SECOND != (end - 1) / GST_SECOND) ? 1
                                                                                              : 0];
    } else if (s.pattern == TestCameraPattern::Page) {
        store = s.fixed[frame % s.fixed.size()];
    } else {
        store = s.freeStore();
        MoveSquare(*store, s.layout, s.layout.squareLeft(frame + 1));
    }
    store->inFlight.store(true, std::memory_order_relaxed);
    HandOffSend(store->pixels.get());

    GstBuffer* buffer = gst_buffer_new();
    gst_buffer_append_memory(
        buffer, gst_memory_new_wrapped(GST_MEMORY_FLAG_READONLY, store->pixels.get(),
                                       s.layout.sizeBytes, 0, s.layout.sizeBytes,
                                       new std::shared_ptr<FrameStore>(store), ReleaseStore));
    GST_BUFFER_PTS(buffer) = s.gridStartNs + s.offsetOf(frame);
    GST_BUFFER_DTS(buffer) = GST_CLOCK_TIME_NONE;
    GST_BUFFER_DURATION(buffer) = s.offsetOf(frame + 1) - s.offsetOf(frame);
    GST_BUFFER_OFFSET(buffer) = frame;
    GST_BUFFER_OFFSET_END(buffer) = frame + 1;
    ++s.framesSent;
    *out = buffer;
    return GST_FLOW_OK;
}

void Finalize(GObject* object) {
    auto* self = reinterpret_cast<VistrelaTestSrc*>(object);
    if (self->state->modes != nullptr) gst_caps_unref(self->state->modes);
    delete self->state;
    G_OBJECT_CLASS(vistrela_test_src_parent_class)->finalize(object);
}

}  // namespace

static void vistrela_test_src_class_init(VistrelaTestSrcClass* klass) {
    G_OBJECT_CLASS(klass)->finalize = Finalize;
    GstElementClass* element = GST_ELEMENT_CLASS(klass);
    gst_element_class_set_static_metadata(element, "Vistrela test camera source", "Source/Video",
                                          "Live test picture of a Vistrela test camera",
                                          "Vistrela");
    GstCaps* yuy2 = gst_caps_from_string("video/x-raw,format=YUY2");
    gst_element_class_add_pad_template(
        element, gst_pad_template_new("src", GST_PAD_SRC, GST_PAD_ALWAYS, yuy2));
    gst_caps_unref(yuy2);
    GstBaseSrcClass* base = GST_BASE_SRC_CLASS(klass);
    base->get_caps = GetCaps;
    base->set_caps = SetCaps;
    base->decide_allocation = DecideAllocation;
    base->start = Start;
    base->stop = Stop;
    base->is_seekable = IsSeekable;
    base->get_times = GetTimes;
    base->query = Query;
    base->unlock = Unlock;
    base->unlock_stop = UnlockStop;
    base->create = Create;
}

static void vistrela_test_src_init(VistrelaTestSrc* self) {
    self->state = new SourceState;
    gst_base_src_set_live(GST_BASE_SRC(self), TRUE);
    gst_base_src_set_format(GST_BASE_SRC(self), GST_FORMAT_TIME);
}

GstElement* NewTestCameraSource(const std::vector<CameraMode>& modes, TestCameraFailure failure,
                                TestCameraPattern pattern, std::function<bool()> unplugged) {
    if (modes.empty()) return nullptr;
    auto* self = static_cast<VistrelaTestSrc*>(g_object_new(vistrela_test_src_get_type(), nullptr));
    GstCaps* caps = gst_caps_new_empty();
    for (const CameraMode& mode : modes) gst_caps_append(caps, CapsForMode(mode));
    self->state->modes = caps;
    self->state->failure = failure;
    self->state->pattern = pattern;
    self->state->unplugged = std::move(unplugged);
    return GST_ELEMENT(self);
}

}  // namespace vistrela
