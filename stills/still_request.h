#pragma once
// The main window's still pictures as one state: whether the next frame is saved and for whom
// (the user's save, a one-shot run's picture, a picture a second start asked for), what the
// window does after it, and the process's exit status. The window asks for a save, hands
// every processed frame to saveIfRequested and acts on its answer. UI thread only.

#include <functional>
#include <string>

#include "common/prompts.h"
#include "settings/settings.h"
#include "viewer/image.h"
#include "viewer/view_state.h"

namespace vistrela {

// Who the next frame is saved for.
enum class StillRequest {
    None,
    User,    // the save button or key: named by the naming mode (the one-shot path in a
             // one-shot run)
    Remote,  // a second start's picture: to its path, answered through its reply
};

// What the window does after a save.
enum class AfterStill {
    Nothing,
    Minimise,  // the user asked to hide the window after a picture
    Close,     // a one-shot run ends with its picture
};

class StillCapture {
public:
    using PictureReply = std::function<void(bool ok, const std::string& message)>;

    // `oneShot`: a one-shot run, whose user picture goes to `oneShotPath` and ends the run.
    StillCapture(bool oneShot, std::string oneShotPath)
        : oneShot_(oneShot), oneShotPath_(std::move(oneShotPath)) {}

    // The next frame is saved for the user (a remote request already pending takes it).
    void request();
    StillRequest pending() const { return request_; }

    // A second start's picture into `path`, answered through `reply`; refused at once while
    // no camera runs or another such picture is pending.
    void captureInto(const std::string& path, PictureReply reply, bool cameraOpen);

    // Saves `picture` when a save is pending and says what the window does next.
    AfterStill saveIfRequested(const CxImage& picture, const Settings& settings,
                               const std::string& desktopPath, ViewState& view, Prompts& prompts);

    // The window closes: a pending remote picture is answered as failed.
    void windowClosing();

    // 0, or 1 once something the run was for failed.
    int exitStatus() const { return exitStatus_; }
    void setExitStatus(int status) { exitStatus_ = status; }

private:
    StillRequest request_ = StillRequest::None;
    bool oneShot_;
    std::string oneShotPath_;
    std::string remotePath_;
    PictureReply remoteReply_;
    int exitStatus_ = 0;
};

}  // namespace vistrela
