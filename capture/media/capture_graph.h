#pragma once
// The capture pipeline of the open camera: device source -> (jpegdec) -> videoconvert ->
// appsink, and the hand-over of its frames to the receiver on the UI thread as 24-bit BGR.
// YUY2, I420 and NV12 pass videoconvert untouched and are converted to BGR on the UI thread
// into a buffer the open pipeline keeps (sample_frames.h); other formats become BGR in
// videoconvert and are handed over in place.
//
// Threads: every method runs on the user-interface thread, which must own a
// QCoreApplication. GStreamer's streaming thread only stamps the frame time and posts one
// notification to the UI thread when none is pending; the UI thread then pulls the newest
// sample and calls the receiver with its buffer mapped in place. Frames never queue (the
// appsink keeps only the newest) and the receiver is never re-entered. Close stops the
// pipeline without waiting on the UI thread, so it cannot deadlock, and notifications that
// arrive after Close are dropped.
//
// Failures after a successful Open (a pipeline error, or no frame for kStallTimeoutMs) reach
// the receiver's captureFailed once per open; the receiver decides to Close.

#include <array>
#include <memory>
#include <string>

#include "capture/capture_modes.h"
#include "capture/device_table.h"
#include "capture/media/frame_receiver.h"
#include "common/device_sources.h"

typedef struct _GstElement GstElement;

namespace vistrela {

class CaptureDevice;
class ProfileStore;

// Result codes: 0 and positive are success, negative are failures.
inline constexpr int kCaptureOk = 0;
inline constexpr int kCaptureFalse = 1;  // success, but not as asked (size missing, no device)
inline constexpr int kCaptureInvalidArg = -1;
inline constexpr int kCaptureUnexpected = -2;    // already open
inline constexpr int kCaptureNoSource = -3;      // the device gives no source element
inline constexpr int kCaptureNoElement = -4;     // a GStreamer plugin is missing
inline constexpr int kCaptureLinkFailed = -5;    // the source offers nothing we can convert
inline constexpr int kCaptureStartFailed = -6;   // the pipeline refused to play or erred
inline constexpr int kCaptureNoFirstFrame = -7;  // no frame within kOpenTimeoutMs (size unknown)
inline constexpr int kCaptureNoCamera = -8;      // OpenCamera found no device

inline constexpr int kOpenTimeoutMs = 5000;
inline constexpr int kStallTimeoutMs = 2000;

class CaptureGraph {
public:
    // The cameras come from `sources` (the machine's by default).
    explicit CaptureGraph(DeviceSources sources = {});
    ~CaptureGraph();
    CaptureGraph(const CaptureGraph&) = delete;
    CaptureGraph& operator=(const CaptureGraph&) = delete;

    // Where the next enumeration looks for cameras.
    void SetSources(DeviceSources sources) { sources_ = std::move(sources); }
    const DeviceSources& sources() const { return sources_; }

    // Fills rows 0..count-1 with the devices found (at most MAX_DEVICES, texts cut to
    // MAX_NAME_BYTES - 1 bytes), "USB" names first. Every row's old moniker is dropped first.
    int EnumerateDevices(DeviceTable& devices, int& deviceCount);
    // First row below `deviceCount` named `name`; its moniker is copied to `moniker` when it
    // has one. -1 (moniker untouched) when no row matches or the row has no moniker.
    int FindDevice(const DeviceTable& devices, int deviceCount, const std::string& name,
                   std::shared_ptr<void>& moniker);

    // The receiver of frames and failures (not owned; must outlive the open pipeline).
    int SetWindow(FrameReceiver* receiver);
    // Builds the pipeline and starts it. In: the requested size; out: the size the frames have
    // (written only on success). A size the camera lacks runs at the camera's own default size.
    // When the camera names its sizes (every camera and test camera does) this returns while
    // the pipeline starts, without waiting: the first frame comes to the receiver later, and a
    // start that fails (a stream error, or no frame within kOpenTimeoutMs) reaches its
    // captureFailed. Only a device that names no size makes it wait for the first frame, whose
    // size it must return. Any failure returned here leaves the graph closed.
    int Open(const std::shared_ptr<void>& moniker, int& width, int& height);
    // Stops and releases everything; 0 also when nothing is open. Safe inside the receiver.
    int Close();
    // Picks the open device's mode for `width` x `height`; kCaptureFalse when the camera
    // lacks that size and will run in its own default, kCaptureInvalidArg without a device.
    int SetCaptureSize(int width, int height);
    // Stops delivering frames and failures to the receiver; used by Close.
    int RemoveCallback();

    // Refills `modes` with the open camera's YUY2 sizes; returns modeCount.
    int ListResolutions();
    // Focus to the camera's default (direction 0, the only one used); nothing when closed.
    void ResetFocus(int direction);

    bool isOpen() const { return pipeline_ != nullptr; }
    // The frame rate the open camera announces for its mode (frames a second), 0 when it
    // announces none.
    double announcedFps() const { return isOpen() && haveMode_ ? mode_.fps() : 0.0; }
    // The device of the open pipeline, or null.
    std::shared_ptr<CaptureDevice> device() const { return device_; }

    std::array<ModeSize, MAX_MODES> modes{};
    int modeCount = 0;
    int focusValue = 0;

    struct Session;  // the hand-over state of one open pipeline (capture_graph.cpp)

private:
    int Fail(int result);
    // The steps of Open. Makes the pipeline from the device's source to the frame sink
    // (decoder and converter as the mode needs) and links it; `sink` receives the sink
    // (owned by the pipeline). Returns kCaptureOk or the failure Fail reported.
    int BuildPipeline(GstElement*& sink);
    // Hands the sink's frames and the bus's messages to a new session.
    void StartSession(GstElement* sink);
    // Starts the session's timer that reports a camera sending no frames.
    void StartWatchdog();
    // Waits up to kOpenTimeoutMs for the first frame and reads its size from `sink`.
    int WaitForFirstFrame(GstElement* sink, int& width, int& height);

    DeviceSources sources_;
    FrameReceiver* receiver_ = nullptr;
    std::shared_ptr<CaptureDevice> device_;
    CameraMode mode_{};
    bool haveMode_ = false;
    GstElement* pipeline_ = nullptr;
    std::shared_ptr<Session> session_;
};

// The whole camera choice and open of the main window: enumerates into `devices`; with no
// device returns kCaptureNoCamera (the caller tells the user, kNoCameraNotice); picks the
// camera by `cameraName` and `preferredRow` (ChooseCamera), opens that row's device at
// `frameWidth` x `frameHeight` and lists its resolutions. The frame size becomes the size the
// camera delivers (unchanged when the open fails). `cameraRow`, when given, receives the
// chosen row (also when the open then fails), or -1 when there is no camera.
// With an `identity` (a camera looked for again), the row FindCameraAgain finds is taken
// before `preferredRow`, and `cameraName` becomes its name.
// With a `profile` in which remembering is on (RememberChoicesEnabled), the camera's remembered
// control values (remembered_controls.h) are set once it runs.
int OpenCamera(CaptureGraph& capture, DeviceTable& devices, int& deviceCount,
               std::string& cameraName, int& frameWidth, int& frameHeight, int preferredRow = -1,
               int* cameraRow = nullptr, const std::string& identity = {},
               ProfileStore* profile = nullptr);

}  // namespace vistrela
