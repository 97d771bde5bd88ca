#include "capture/media/test_camera.h"

#include <gst/video/video.h>

#include <algorithm>
#include <array>
#include <map>
#include <mutex>

namespace vistrela {

// Control values of one named test camera, shared by its controls objects and its running
// source. Guarded by `mutex`; `balance` is the videobalance of the newest source (one ref).
struct TestCameraState {
    std::mutex mutex;
    std::map<std::uint32_t, int> values;
    GstElement* balance = nullptr;

    ~TestCameraState() {
        if (balance != nullptr) gst_object_unref(balance);
    }
};

namespace {

const std::vector<ControlInfo>& TestControls() {
    static const std::vector<ControlInfo> controls = {
        {kTestControlBrightness,
         "Brightness",
         ControlType::Integer,
         ControlRole::Brightness,
         -100,
         100,
         1,
         0,
         {}},
        {kTestControlContrast,
         "Contrast",
         ControlType::Integer,
         ControlRole::Contrast,
         0,
         200,
         1,
         100,
         {}},
        {kTestControlSaturation,
         "Saturation",
         ControlType::Integer,
         ControlRole::Saturation,
         0,
         200,
         1,
         100,
         {}},
        {kTestControlAutoFocus,
         "Focus, Automatic Continuous",
         ControlType::Boolean,
         ControlRole::AutoFocus,
         0,
         1,
         1,
         0,
         {}},
        {kTestControlFocus,
         "Focus, Absolute",
         ControlType::Integer,
         ControlRole::Focus,
         0,
         255,
         1,
         128,
         {}},
    };
    return controls;
}

std::shared_ptr<TestCameraState> StateFor(const std::string& name) {
    static std::mutex registryMutex;
    static std::map<std::string, std::shared_ptr<TestCameraState>> registry;
    std::lock_guard lock(registryMutex);
    auto& state = registry[name];
    if (!state) {
        state = std::make_shared<TestCameraState>();
        for (const ControlInfo& c : TestControls()) state->values[c.id] = c.defaultValue;
    }
    return state;
}

// Caller holds state.mutex.
void ApplyBalance(TestCameraState& state) {
    if (state.balance == nullptr) return;
    g_object_set(state.balance, "brightness", state.values[kTestControlBrightness] / 100.0,
                 "contrast", state.values[kTestControlContrast] / 100.0, "saturation",
                 state.values[kTestControlSaturation] / 100.0, nullptr);
}

class TestCameraControls final : public CameraControls {
public:
    explicit TestCameraControls(std::shared_ptr<TestCameraState> state)
        : state_(std::move(state)) {}
    std::vector<ControlInfo> list() override { return TestControls(); }
    std::optional<int> get(std::uint32_t id) override {
        std::lock_guard lock(state_->mutex);
        auto it = state_->values.find(id);
        if (it == state_->values.end()) return std::nullopt;
        return it->second;
    }
    bool set(std::uint32_t id, int value) override {
        const auto& all = TestControls();
        auto info =
            std::find_if(all.begin(), all.end(), [id](const ControlInfo& c) { return c.id == id; });
        if (info == all.end() || value < info->minimum || value > info->maximum) return false;
        std::lock_guard lock(state_->mutex);
        state_->values[id] = value;
        ApplyBalance(*state_);
        return true;
    }

private:
    std::shared_ptr<TestCameraState> state_;
};

enum class FailMode { None, Error, Stall };

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Per-source data of the pad probe that paints the corner squares (streaming thread only).
struct PainterData {
    GstVideoInfo info;
    bool haveInfo = false;
    int frames = 0;
    FailMode fail = FailMode::None;
    GstElement* source = nullptr;  // not owned; the probe dies with it
};

struct Yuy2Colour {
    guint8 y, u, v;
};

void FillSquare(GstVideoFrame& frame, int x0, int y0, int side, Yuy2Colour c) {
    guint8* base = static_cast<guint8*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
    for (int y = y0; y < y0 + side; ++y) {
        guint8* row = base + static_cast<std::ptrdiff_t>(y) * stride + x0 * 2;
        for (int x = 0; x < side; x += 2, row += 4) {
            row[0] = c.y;
            row[1] = c.u;
            row[2] = c.y;
            row[3] = c.v;
        }
    }
}

GstPadProbeReturn PaintMarkers(GstPad*, GstPadProbeInfo* info, gpointer userData) {
    auto* data = static_cast<PainterData*>(userData);
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
        GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
        if (GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
            GstCaps* caps = nullptr;
            gst_event_parse_caps(event, &caps);
            data->haveInfo = gst_video_info_from_caps(&data->info, caps);
        }
        return GST_PAD_PROBE_OK;
    }
    ++data->frames;
    if (data->fail != FailMode::None && data->frames > kTestCameraFailAfterFrames) {
        if (data->fail == FailMode::Error && data->frames == kTestCameraFailAfterFrames + 1) {
            GST_ELEMENT_ERROR(data->source, RESOURCE, READ, ("Test camera failed on demand"),
                              (nullptr));
        }
        return GST_PAD_PROBE_DROP;
    }
    if (!data->haveInfo) return GST_PAD_PROBE_OK;
    GstBuffer* buffer = gst_buffer_make_writable(GST_PAD_PROBE_INFO_BUFFER(info));
    GST_PAD_PROBE_INFO_DATA(info) = buffer;
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &data->info, buffer, GST_MAP_WRITE)) return GST_PAD_PROBE_OK;
    const int w = GST_VIDEO_INFO_WIDTH(&data->info);
    const int h = GST_VIDEO_INFO_HEIGHT(&data->info);
    const int side = TestCameraMarkerSide(w, h);
    FillSquare(frame, 0, 0, side, {81, 90, 240});                  // red
    FillSquare(frame, w - side, 0, side, {145, 54, 34});           // green
    FillSquare(frame, 0, h - side, side, {41, 240, 110});          // blue
    FillSquare(frame, w - side, h - side, side, {235, 128, 128});  // white
    // Motion: a grey square sliding along the middle row between the corner squares.
    const int box = std::min(2 * side, w - 2 * side) & ~1;
    if (box > 0 && h >= box) {
        const int travel = std::max(2, w - 2 * side - box);
        const int x = side + ((data->frames * 8) % travel & ~1);
        FillSquare(frame, x, (h - box) / 2, box, {128, 128, 128});
    }
    gst_video_frame_unmap(&frame);
    return GST_PAD_PROBE_OK;
}

}  // namespace

int TestCameraMarkerSide(int width, int height) {
    const int side = std::max(4, std::min(width, height) / 8);
    return side & ~1;
}

TestCamera::TestCamera(TestCameraSpec spec)
    : spec_(std::move(spec)), state_(StateFor(spec_.name)) {}

std::vector<CameraMode> TestCamera::modes() {
    std::vector<CameraMode> result;
    for (const auto& size : spec_.sizes)
        result.push_back(
            {PixelFormat::Yuy2, "YUY2", size.width, size.height, spec_.framesPerSecond, 1});
    return result;
}

std::unique_ptr<CameraControls> TestCamera::openControls() {
    return std::make_unique<TestCameraControls>(state_);
}

GstElement* TestCamera::createSource() {
    GstElement* bin = gst_bin_new(nullptr);
    GstElement* src = gst_element_factory_make("videotestsrc", nullptr);
    GstElement* filter = gst_element_factory_make("capsfilter", nullptr);
    GstElement* balance = gst_element_factory_make("videobalance", nullptr);
    if (src == nullptr || filter == nullptr || balance == nullptr) {
        for (GstElement* e : {src, filter, balance})
            if (e != nullptr) gst_object_unref(gst_object_ref_sink(e));
        gst_object_unref(gst_object_ref_sink(bin));
        return nullptr;
    }
    g_object_set(src, "is-live", TRUE, nullptr);
    // A black field costs almost nothing to produce; the probe paints the moving part.
    gst_util_set_object_arg(G_OBJECT(src), "pattern", "black");
    GstCaps* caps = gst_caps_new_empty();
    for (const CameraMode& mode : modes()) gst_caps_append(caps, CapsForMode(mode));
    g_object_set(filter, "caps", caps, nullptr);
    gst_caps_unref(caps);
    gst_bin_add_many(GST_BIN(bin), src, filter, balance, nullptr);
    gst_element_link_many(src, filter, balance, nullptr);

    auto* painter = new PainterData;
    painter->source = src;
    if (EndsWith(spec_.name, "!error")) painter->fail = FailMode::Error;
    if (EndsWith(spec_.name, "!stall")) painter->fail = FailMode::Stall;
    GstPad* filterSrc = gst_element_get_static_pad(filter, "src");
    gst_pad_add_probe(filterSrc,
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER |
                                                   GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                      PaintMarkers, painter,
                      [](gpointer p) { delete static_cast<PainterData*>(p); });
    gst_object_unref(filterSrc);

    GstPad* out = gst_element_get_static_pad(balance, "src");
    gst_element_add_pad(bin, gst_ghost_pad_new("src", out));
    gst_object_unref(out);

    std::lock_guard lock(state_->mutex);
    if (state_->balance != nullptr) gst_object_unref(state_->balance);
    state_->balance = GST_ELEMENT(gst_object_ref(balance));
    ApplyBalance(*state_);
    return bin;
}

}  // namespace vistrela
