#include "capture/media/capture_graph.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <QCoreApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "capture/media/capture_device.h"
#include "capture/media/sample_frames.h"
#include "capture/remembered_controls.h"
#include "common/media/gstreamer_init.h"
#include "common/prompts.h"
#include "common/strings.h"
#include "settings/app_profile.h"

namespace vistrela {

namespace {

// How far a frame's time stamp may lie before its arrival (a camera's latency) and after it
// (clock jitter) and still count as its capture time.
constexpr std::int64_t kCaptureStampMaxAgeNs = 1'000'000'000;
constexpr std::int64_t kCaptureStampSlackNs = 5'000'000;

std::int64_t SteadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The queued call is built on a streaming thread and run on the UI thread. Qt's event queue
// orders the two, but a race detector does not see inside Qt; taking this lock on both sides
// makes that order visible to it. Held only while the call is queued and while its weak
// pointer is locked.
std::mutex& HandOffMutex() {
    static std::mutex mutex;
    return mutex;
}

// Runs `fn` on the UI thread later, unless the session is gone by then.
template <typename Session, typename Fn>
void PostToUi(const std::weak_ptr<Session>& weak, Fn fn) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) return;
    auto call = [weak, fn]() {
        std::shared_ptr<Session> session;
        {
            std::lock_guard taken(HandOffMutex());
            session = weak.lock();
        }
        if (session) fn(*session);
    };
    // Held while the call is copied into Qt's queue; Qt runs queued calls without its queue
    // lock held, so the UI thread's side cannot wait on this one in turn.
    std::lock_guard handOff(HandOffMutex());
    QMetaObject::invokeMethod(app, std::move(call), Qt::QueuedConnection);
}

// The steady-clock time of a frame's capture: its time stamp as running time plus the
// pipeline's base time, on the system's monotonic clock the pipeline runs on. 0 when unknown.
std::int64_t CaptureTimeNs(GstSample* sample, GstElement* pipeline) {
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    if (buffer == nullptr || pipeline == nullptr || !GST_BUFFER_PTS_IS_VALID(buffer)) return 0;
    GstClock* clock = gst_element_get_clock(pipeline);
    const bool steady = clock != nullptr && GST_IS_SYSTEM_CLOCK(clock);
    if (clock != nullptr) gst_object_unref(clock);
    if (!steady) return 0;
    GstClockTime running = GST_BUFFER_PTS(buffer);
    const GstSegment* segment = gst_sample_get_segment(sample);
    if (segment != nullptr && segment->format == GST_FORMAT_TIME)
        running = gst_segment_to_running_time(segment, GST_FORMAT_TIME, running);
    const GstClockTime base = gst_element_get_base_time(pipeline);
    if (!GST_CLOCK_TIME_IS_VALID(running) || !GST_CLOCK_TIME_IS_VALID(base)) return 0;
    const auto stamp = static_cast<std::int64_t>(base + running);
    // A stamp far from the frame's arrival is not a capture time: a source that cannot keep
    // up with its own rate (a test source on a loaded or instrumented build) counts frames,
    // not time, and a driver may stamp wrongly. The arrival time stands in for it then.
    const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count();
    if (stamp > now + kCaptureStampSlackNs || stamp < now - kCaptureStampMaxAgeNs) return 0;
    return stamp;
}

}  // namespace

// One open pipeline's hand-over state. Lives until Close and until the last UI-thread task
// that uses it returns; streaming threads reach it through a raw pointer only while the
// pipeline runs, and Close stops the pipeline before dropping it.
struct CaptureGraph::Session {
    // Fixed before the pipeline starts.
    std::weak_ptr<Session> self;
    CaptureGraph* owner = nullptr;
    GstElement* appsink = nullptr;  // one reference

    // Streaming threads and UI thread.
    std::atomic<bool> notifyPending{false};
    std::atomic<std::int64_t> lastFrameMs{0};
    std::atomic<bool> started{false};
    std::mutex startMutex;  // guards startDone and startError for Open's wait
    std::condition_variable startCv;
    bool startDone = false;
    std::string startError;

    // UI thread only.
    bool closed = false;
    bool inHandler = false;
    bool failureReported = false;
    std::string deferredFailure;
    SampleFrames frames;
    std::unique_ptr<QTimer> watchdog;

    ~Session() {
        if (appsink != nullptr) gst_object_unref(appsink);
    }

    void finishStart(const std::string& error) {
        std::lock_guard lock(startMutex);
        if (startDone) return;
        startDone = true;
        startError = error;
        startCv.notify_all();
    }

    void deliver();
    void reportFailure(const std::string& reason);
};

void CaptureGraph::Session::deliver() {
    if (closed) return;
    if (inHandler) {
        // Only reachable from a nested event loop inside captureFailed: skip this frame.
        notifyPending = false;
        return;
    }
    GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(appsink), 0);
    if (sample != nullptr) {
        FrameReceiver* receiver = owner->receiver_;
        if (receiver != nullptr) {
            const std::int64_t captureNs = CaptureTimeNs(sample, owner->pipeline_);
            frames.Deliver(sample, [this, receiver, captureNs](const FrameView& view) {
                FrameView stamped = view;
                stamped.captureNs = captureNs;
                inHandler = true;
                receiver->frameReady(stamped);
                inHandler = false;
            });
        }
        gst_sample_unref(sample);
    }
    notifyPending = false;
    if (!deferredFailure.empty()) {
        const std::string reason = std::move(deferredFailure);
        deferredFailure.clear();
        reportFailure(reason);
    }
}

void CaptureGraph::Session::reportFailure(const std::string& reason) {
    if (closed || failureReported) return;
    if (inHandler) {
        if (deferredFailure.empty()) deferredFailure = reason;
        return;
    }
    failureReported = true;
    if (watchdog) watchdog->stop();
    FrameReceiver* receiver = owner->receiver_;
    if (receiver == nullptr) return;
    inHandler = true;
    receiver->captureFailed(reason);
    inHandler = false;
}

namespace {

using Session = CaptureGraph::Session;

GstFlowReturn OnNewSample(GstAppSink*, gpointer userData) {
    auto* session = static_cast<Session*>(userData);
    session->lastFrameMs = SteadyMs();
    if (!session->started.exchange(true)) session->finishStart({});
    if (!session->notifyPending.exchange(true))
        PostToUi(session->self, [](Session& s) { s.deliver(); });
    return GST_FLOW_OK;
}

// Every message is handled here and dropped; a sync handler that drops a message owns it and
// must release it, or the message keeps its source element (and through it the pipeline's
// buffers) alive.
GstBusSyncReply OnBusMessage(GstBus*, GstMessage* message, gpointer userData) {
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        auto* session = static_cast<Session*>(userData);
        GError* error = nullptr;
        gst_message_parse_error(message, &error, nullptr);
        const std::string reason =
            QCoreApplication::translate("Camera", "카메라 오류: ").toStdString() +
            (error != nullptr ? error->message : "?");
        if (error != nullptr) g_error_free(error);
        session->finishStart(reason);
        PostToUi(session->self, [reason](Session& s) { s.reportFailure(reason); });
    }
    gst_message_unref(message);
    return GST_BUS_DROP;
}

GstElement* Make(const char* factory) {
    return gst_element_factory_make(factory, nullptr);
}

}  // namespace

CaptureGraph::CaptureGraph(DeviceSources sources) : sources_(std::move(sources)) {}

CaptureGraph::~CaptureGraph() {
    Close();
}

int CaptureGraph::EnumerateDevices(DeviceTable& devices, int& deviceCount) {
    deviceCount = 0;
    for (DeviceEntry& row : devices) row.moniker.reset();
    int count = 0;
    for (const std::shared_ptr<CaptureDevice>& device : ListCaptureDevices(sources_)) {
        if (count >= MAX_DEVICES) break;
        DeviceEntry& row = devices[count++];
        row.moniker = ToMoniker(device);
        row.friendlyName = CutUtf8(device->friendlyName(), MAX_NAME_BYTES - 1);
        row.description = CutUtf8(device->description(), MAX_NAME_BYTES - 1);
        row.devicePath = CutUtf8(device->devicePath(), MAX_NAME_BYTES - 1);
        row.serial = CutUtf8(device->serial(), MAX_NAME_BYTES - 1);
        row.portPath = CutUtf8(device->portPath(), MAX_NAME_BYTES - 1);
    }
    deviceCount = count;
    PreferUsbCameras(devices, count);
    return kCaptureOk;
}

int CaptureGraph::FindDevice(const DeviceTable& devices, int deviceCount, const std::string& name,
                             std::shared_ptr<void>& moniker) {
    const int row = FindDeviceIndex(devices, deviceCount, name);
    if (row < 0 || !devices[row].moniker) return -1;
    moniker = devices[row].moniker;
    return row;
}

int CaptureGraph::SetWindow(FrameReceiver* receiver) {
    receiver_ = receiver;
    return kCaptureOk;
}

int CaptureGraph::SetCaptureSize(int width, int height) {
    if (!device_) return kCaptureInvalidArg;
    const std::vector<CameraMode> all = device_->modes();
    int index = ChooseCaptureMode(all, width, height);
    const bool exact = index >= 0;
    if (!exact) index = DefaultCaptureMode(all);
    haveMode_ = index >= 0;
    if (haveMode_) mode_ = all[index];
    return exact ? kCaptureOk : kCaptureFalse;
}

int CaptureGraph::Fail(int result) {
    Close();
    return result;
}

int CaptureGraph::WaitForFirstFrame(GstElement* sink, int& width, int& height) {
    {
        std::unique_lock lock(session_->startMutex);
        const bool done =
            session_->startCv.wait_for(lock, std::chrono::milliseconds(kOpenTimeoutMs),
                                       [this] { return session_->startDone; });
        if (!done) return kCaptureNoFirstFrame;
        if (!session_->startError.empty()) return kCaptureStartFailed;
    }
    GstPad* pad = gst_element_get_static_pad(sink, "sink");
    GstCaps* caps = gst_pad_get_current_caps(pad);
    gst_object_unref(pad);
    int connectedWidth = 0;
    int connectedHeight = 0;
    if (caps != nullptr) {
        const GstStructure* s = gst_caps_get_structure(caps, 0);
        gst_structure_get_int(s, "width", &connectedWidth);
        gst_structure_get_int(s, "height", &connectedHeight);
        gst_caps_unref(caps);
    }
    if (connectedWidth <= 0 || connectedHeight <= 0) return kCaptureNoFirstFrame;
    width = connectedWidth;
    height = connectedHeight;
    return kCaptureOk;
}

int CaptureGraph::Open(const std::shared_ptr<void>& moniker, int& width, int& height) {
    if (!moniker) return kCaptureInvalidArg;
    if (pipeline_ != nullptr) return kCaptureUnexpected;
    if (QCoreApplication::instance() == nullptr) return kCaptureUnexpected;
    EnsureGStreamer();
    device_ = DeviceFromMoniker(moniker);
    SetCaptureSize(width, height);

    GstElement* sink = nullptr;
    const int built = BuildPipeline(sink);
    if (built != kCaptureOk) return built;
    StartSession(sink);

    if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return Fail(kCaptureStartFailed);
    if (haveMode_) {
        // The size is the chosen mode's: the caller goes on at once while the pipeline starts
        // (a camera may take a second or more), and the first frame, a start error or the
        // watchdog's timeout reach the receiver later.
        width = mode_.width;
        height = mode_.height;
    } else {
        // A device that names no size: only its first frame tells the size the caller needs.
        const int result = WaitForFirstFrame(sink, width, height);
        if (result != kCaptureOk) return Fail(result);
    }
    StartWatchdog();
    ResetFocus(0);
    return kCaptureOk;
}

int CaptureGraph::BuildPipeline(GstElement*& sink) {
    GstElement* source = device_->createSource();
    if (source == nullptr) return Fail(kCaptureNoSource);
    pipeline_ = gst_pipeline_new("vistrela-capture");
    gst_bin_add(GST_BIN(pipeline_), source);

    GstElement* filter = Make("capsfilter");
    GstElement* decoder =
        haveMode_ && mode_.format == PixelFormat::Mjpeg ? Make("jpegdec") : nullptr;
    GstElement* convert = Make("videoconvert");
    sink = Make("appsink");
    const bool needDecoder = haveMode_ && mode_.format == PixelFormat::Mjpeg;
    if (filter == nullptr || convert == nullptr || sink == nullptr ||
        (needDecoder && decoder == nullptr)) {
        for (GstElement* e : {filter, decoder, convert, sink})
            if (e != nullptr) gst_object_unref(gst_object_ref_sink(e));
        sink = nullptr;
        return Fail(kCaptureNoElement);
    }
    GstCaps* sourceCaps = haveMode_ ? CapsForMode(mode_) : gst_caps_new_empty_simple("video/x-raw");
    g_object_set(filter, "caps", sourceCaps, nullptr);
    gst_caps_unref(sourceCaps);
    // The formats cameras send pass through untouched and are converted on the user-interface
    // thread only for the frame that is shown; anything else becomes BGR here, without chroma
    // interpolation or dithering, which cost much and show nothing at 8 bits.
    gst_util_set_object_arg(G_OBJECT(convert), "chroma-mode", "none");
    gst_util_set_object_arg(G_OBJECT(convert), "dither", "none");
    GstCaps* accepted = NewSampleFramesCaps();
    // One buffer, newest wins: frames are never queued behind a slow user-interface thread.
    g_object_set(sink, "caps", accepted, "max-buffers", 1u, "drop", TRUE, "sync", FALSE,
                 "enable-last-sample", FALSE, nullptr);
    gst_caps_unref(accepted);
    gst_bin_add_many(GST_BIN(pipeline_), filter, convert, sink, nullptr);
    if (decoder != nullptr) gst_bin_add(GST_BIN(pipeline_), decoder);
    const bool linked = decoder != nullptr
                            ? gst_element_link_many(source, filter, decoder, convert, sink, nullptr)
                            : gst_element_link_many(source, filter, convert, sink, nullptr);
    if (!linked) return Fail(kCaptureLinkFailed);
    return kCaptureOk;
}

void CaptureGraph::StartSession(GstElement* sink) {
    session_ = std::make_shared<Session>();
    session_->self = session_;
    session_->owner = this;
    session_->appsink = GST_ELEMENT(gst_object_ref(sink));
    session_->lastFrameMs = SteadyMs();
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = OnNewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, session_.get(), nullptr);
    GstBus* bus = gst_element_get_bus(pipeline_);
    gst_bus_set_sync_handler(bus, OnBusMessage, session_.get(), nullptr);
    gst_object_unref(bus);
}

void CaptureGraph::StartWatchdog() {
    session_->watchdog = std::make_unique<QTimer>();
    session_->watchdog->setInterval(kStallTimeoutMs / 4);
    Session* session = session_.get();
    QObject::connect(session_->watchdog.get(), &QTimer::timeout, [session] {
        // A camera gets kOpenTimeoutMs for its first frame, kStallTimeoutMs between frames.
        // Reported from a posted task, not from inside the timer's signal: the receiver may
        // close the camera, which ends the session and its timer.
        const int limitMs = session->started ? kStallTimeoutMs : kOpenTimeoutMs;
        if (SteadyMs() - session->lastFrameMs.load() > limitMs)
            PostToUi(session->self, [](Session& s) {
                s.reportFailure(
                    s.started
                        ? QCoreApplication::translate("Camera", "카메라에서 영상이 오지 않습니다.")
                              .toStdString()
                        : QCoreApplication::translate("Camera", "카메라가 영상을 보내지 않습니다.")
                              .toStdString());
            });
    });
    session_->watchdog->start();
}

int CaptureGraph::RemoveCallback() {
    if (session_) {
        session_->closed = true;
        if (session_->watchdog) session_->watchdog->stop();
    }
    return kCaptureOk;
}

int CaptureGraph::Close() {
    RemoveCallback();
    if (pipeline_ != nullptr) {
        // Streaming threads never wait on the UI thread, so this returns even with a frame
        // waiting for delivery; the pending notification then finds the session closed.
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        GstBus* bus = gst_element_get_bus(pipeline_);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(pipeline_);
        pipeline_ = nullptr;
    }
    session_.reset();
    device_.reset();
    haveMode_ = false;
    return kCaptureOk;
}

int CaptureGraph::ListResolutions() {
    modeCount = 0;
    modes[0] = {};
    if (!device_) return 0;
    modeCount = CollectYuy2Modes(device_->modes(), modes);
    return modeCount;
}

void CaptureGraph::ResetFocus(int) {
    if (!device_ || pipeline_ == nullptr) return;
    std::unique_ptr<CameraControls> controls = device_->openControls();
    if (!controls) return;
    focusValue = vistrela::ResetFocus(*controls);
}

int OpenCamera(CaptureGraph& capture, DeviceTable& devices, int& deviceCount,
               std::string& cameraName, int& frameWidth, int& frameHeight, int preferredRow,
               int* cameraRow, const std::string& identity, ProfileStore* profile) {
    if (cameraRow != nullptr) *cameraRow = -1;
    capture.EnumerateDevices(devices, deviceCount);
    if (deviceCount < 1) return kCaptureNoCamera;
    if (!identity.empty()) {
        const int again = FindCameraAgain(devices, deviceCount, identity, cameraName);
        if (again >= 0) {
            cameraName = devices[again].friendlyName;
            preferredRow = again;
        }
    }
    // The row, not the name, picks the device: names need not be unique.
    const int row = ChooseCamera(devices, deviceCount, cameraName, preferredRow);
    if (cameraRow != nullptr) *cameraRow = row;
    const std::shared_ptr<void> moniker = devices[row].moniker;
    if (!moniker) return kCaptureInvalidArg;
    int width = frameWidth;
    int height = frameHeight;
    const int result = capture.Open(moniker, width, height);
    capture.ListResolutions();
    frameWidth = width;
    frameHeight = height;
    // After Open's focus reset, so that a remembered focus wins over the default.
    if (result >= 0 && profile != nullptr && RememberChoicesEnabled(*profile)) {
        if (std::unique_ptr<CameraControls> controls = DeviceFromMoniker(moniker)->openControls())
            RememberedControls(*profile, CameraIdentity(devices[row])).applyTo(*controls);
    }
    return result;
}

}  // namespace vistrela
