#include "capture/media/test_camera.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "capture/media/test_camera_source.h"

namespace vistrela {

// Control values of one named test camera, shared by its controls objects and its running
// source. Guarded by `mutex`; `balance` points weakly at the videobalance of the newest
// source, so a closed pipeline is not kept alive by the camera's state, which lives as long
// as the process.
struct TestCameraState {
    std::mutex mutex;
    std::map<std::uint32_t, int> values;
    GWeakRef balance;

    TestCameraState() { g_weak_ref_init(&balance, nullptr); }
    ~TestCameraState() { g_weak_ref_clear(&balance); }
    TestCameraState(const TestCameraState&) = delete;
    TestCameraState& operator=(const TestCameraState&) = delete;
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

std::shared_ptr<TestCameraState> StateFor(const TestCameraEntry& entry) {
    const std::string key = entry.name + '\n' + entry.serial + '\n' + entry.portPath;
    static std::mutex registryMutex;
    static std::map<std::string, std::shared_ptr<TestCameraState>> registry;
    std::lock_guard lock(registryMutex);
    auto& state = registry[key];
    if (!state) {
        state = std::make_shared<TestCameraState>();
        for (const ControlInfo& c : TestControls()) state->values[c.id] = c.defaultValue;
    }
    return state;
}

// Caller holds state.mutex.
void ApplyBalance(TestCameraState& state) {
    auto* balance = static_cast<GstElement*>(g_weak_ref_get(&state.balance));
    if (balance == nullptr) return;
    g_object_set(balance, "brightness", state.values[kTestControlBrightness] / 100.0, "contrast",
                 state.values[kTestControlContrast] / 100.0, "saturation",
                 state.values[kTestControlSaturation] / 100.0, nullptr);
    gst_object_unref(balance);
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

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

int TestCameraMarkerSide(int width, int height) {
    const int side = std::max(4, std::min(width, height) / 8);
    return side & ~1;
}

TestCamera::TestCamera(TestCameraEntry entry)
    : entry_(std::move(entry)), state_(StateFor(entry_)) {}

std::vector<CameraMode> TestCamera::modes() {
    std::vector<CameraMode> result;
    const bool jpeg = !entry_.format.empty();
    for (const auto& size : entry_.sizes) {
        result.push_back({jpeg ? PixelFormat::Mjpeg : PixelFormat::Yuy2, jpeg ? "" : "YUY2",
                          size.width, size.height, entry_.framesPerSecond, 1});
    }
    return result;
}

namespace {

// The picture source's own modes: always YUY2, at the camera's sizes and rate.
std::vector<CameraMode> RawModes(const TestCameraEntry& entry) {
    std::vector<CameraMode> result;
    for (const auto& size : entry.sizes)
        result.push_back(
            {PixelFormat::Yuy2, "YUY2", size.width, size.height, entry.framesPerSecond, 1});
    return result;
}

// Asked on the streaming thread: the camera's line is gone from its list file.
std::function<bool()> UnpluggedCheck(const TestCameraEntry& entry) {
    if (entry.listFile.empty()) return {};
    return [entry] {
        for (const TestCameraEntry& listed : ParseTestCameras(TestCameraListText(entry.listFile)))
            if (listed.sameCamera(entry)) return false;
        return true;
    };
}

}  // namespace

std::unique_ptr<CameraControls> TestCamera::openControls() {
    return std::make_unique<TestCameraControls>(state_);
}

GstElement* TestCamera::createSource() {
    TestCameraFailure failure = TestCameraFailure::None;
    if (EndsWith(entry_.name, "!error")) failure = TestCameraFailure::Error;
    if (EndsWith(entry_.name, "!stall")) failure = TestCameraFailure::Stall;
    if (EndsWith(entry_.name, "!nostart")) failure = TestCameraFailure::NoStart;
    const TestCameraPattern pattern = entry_.pattern == "clapper" ? TestCameraPattern::Clapper
                                      : entry_.pattern == "page"  ? TestCameraPattern::Page
                                                                  : TestCameraPattern::Orientation;
    GstElement* src =
        NewTestCameraSource(RawModes(entry_), failure, pattern, UnpluggedCheck(entry_));
    GstElement* balance = gst_element_factory_make("videobalance", nullptr);
    // JPEG frames, as most document cameras send at larger sizes: 4:2:0 or 4:2:2 sampling.
    const bool jpeg = !entry_.format.empty();
    GstElement* convert = jpeg ? gst_element_factory_make("videoconvert", nullptr) : nullptr;
    GstElement* sampling = jpeg ? gst_element_factory_make("capsfilter", nullptr) : nullptr;
    GstElement* encoder = jpeg ? gst_element_factory_make("jpegenc", nullptr) : nullptr;
    if (src == nullptr || balance == nullptr ||
        (jpeg && (convert == nullptr || sampling == nullptr || encoder == nullptr))) {
        for (GstElement* e : {src, balance, convert, sampling, encoder})
            if (e != nullptr) gst_object_unref(gst_object_ref_sink(e));
        return nullptr;
    }
    GstElement* bin = gst_bin_new(nullptr);
    gst_bin_add_many(GST_BIN(bin), src, balance, nullptr);
    gst_element_link(src, balance);
    GstElement* last = balance;
    if (jpeg) {
        GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING,
                                            entry_.format == "MJPG422" ? "Y42B" : "I420", nullptr);
        g_object_set(sampling, "caps", caps, nullptr);
        gst_caps_unref(caps);
        g_object_set(encoder, "quality", 85, nullptr);
        gst_bin_add_many(GST_BIN(bin), convert, sampling, encoder, nullptr);
        gst_element_link_many(balance, convert, sampling, encoder, nullptr);
        last = encoder;
    }

    GstPad* out = gst_element_get_static_pad(last, "src");
    gst_element_add_pad(bin, gst_ghost_pad_new("src", out));
    gst_object_unref(out);

    std::lock_guard lock(state_->mutex);
    g_weak_ref_set(&state_->balance, balance);
    ApplyBalance(*state_);
    return bin;
}

}  // namespace vistrela
