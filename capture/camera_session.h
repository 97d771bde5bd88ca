#pragma once
// The main window's camera session as one state: opening, running, lost, searching for any
// camera, with the spacing of the attempts to get a camera back. Fed by the window with the
// capture pipeline's events (opened, first picture, failure) and its own attempts; the window
// runs the attempts on a timer at retryIntervalMs(). Plain value; UI thread.

#include <string>

namespace vistrela {

enum class CameraState {
    Idle,       // nothing opened yet, or an open that failed at once
    Opening,    // the pipeline was started and has sent no picture yet
    Running,    // pictures come
    Lost,       // the chosen camera failed (or would not start): looked for by its identity
    Searching,  // there was no camera at all: the first camera that appears is opened
};

// What a failure of the pipeline means for the user.
enum class CameraFailure {
    FailedStart,  // no picture ever came: "cannot open", tried again later and later
    Lost,         // a running camera went away: said once, looked for again
    StillAway,    // it was already away: nothing new to say
};

class CameraSession {
public:
    static constexpr int kRetryIntervalMs = 2000;
    // A camera that is listed but will not open may block each attempt for a while; attempts
    // that fail space themselves out up to this.
    static constexpr int kRetryMaxIntervalMs = 30000;

    CameraState state() const { return state_; }
    int retryIntervalMs() const { return retryIntervalMs_; }
    // Any camera that appears will do (not only the chosen one).
    bool anyCameraWillDo() const { return state_ == CameraState::Searching; }

    // The pipeline started: its first picture or a failure follows.
    void opened() { state_ = CameraState::Opening; }
    // The first picture came: the camera runs, and attempts start again at their interval.
    void firstPicture();
    // No camera is listed: searching. True when searching starts (the notice is due once).
    bool noCamera();
    // The pipeline failed.
    CameraFailure failed();
    // An attempt to get the camera back did not open it: the next one waits longer.
    void attemptFailed();

    // The device row of the chosen camera, -1 without one, and the CameraIdentity of the
    // camera last chosen, kept while it is lost so that it is found again wherever it comes
    // back.
    int cameraRow = -1;
    std::string cameraIdentity;

private:
    void backOff();

    CameraState state_ = CameraState::Idle;
    int retryIntervalMs_ = kRetryIntervalMs;
};

}  // namespace vistrela
