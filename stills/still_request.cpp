#include "stills/still_request.h"

#include <QCoreApplication>
#include <cstdio>
#include <ctime>

#include "common/clock.h"
#include "common/prompts.h"
#include "stills/still_capture.h"

namespace vistrela {

void StillCapture::request() {
    if (request_ == StillRequest::None) request_ = StillRequest::User;
}

void StillCapture::captureInto(const std::string& path, PictureReply reply, bool cameraOpen) {
    if (remoteReply_) {
        reply(false, "another picture is being taken");
        return;
    }
    if (!cameraOpen) {
        reply(false, "no camera is open");
        return;
    }
    remotePath_ = path;
    remoteReply_ = std::move(reply);
    request_ = StillRequest::Remote;
}

AfterStill StillCapture::saveIfRequested(const CxImage& picture, const Settings& settings,
                                         const std::string& desktopPath, ViewState& view,
                                         Prompts& prompts) {
    const StillRequest request = request_;
    request_ = StillRequest::None;
    if (request == StillRequest::None) return AfterStill::Nothing;
    if (request == StillRequest::Remote) {
        const StillOutcome outcome =
            SaveStill(picture, remotePath_, settings.jpegQuality, desktopPath, view, nowSeconds());
        PictureReply reply = std::move(remoteReply_);
        remoteReply_ = nullptr;
        reply(outcome.written, outcome.written ? "" : "the file could not be written");
        return AfterStill::Nothing;
    }
    const std::string path =
        oneShot_ ? oneShotPath_ : StillFileName(settings, std::time(nullptr), prompts);
    const StillOutcome outcome =
        SaveStill(picture, path, settings.jpegQuality, desktopPath, view, nowSeconds());
    if (outcome.path.empty()) return AfterStill::Nothing;  // the save dialog was cancelled
    if (oneShot_) {
        // The one-shot run ends here, successful or not; a failure sets the exit status.
        exitStatus_ = outcome.written ? 0 : 1;
        if (!outcome.written)
            SayOnStderr(QCoreApplication::translate("Still", "파일을 쓰지 못했습니다: %1")
                            .arg(QString::fromStdString(outcome.path)));
        return AfterStill::Close;
    }
    return settings.hideAfterCapture != 0 ? AfterStill::Minimise : AfterStill::Nothing;
}

void StillCapture::windowClosing() {
    if (!remoteReply_) return;
    PictureReply reply = std::move(remoteReply_);
    remoteReply_ = nullptr;
    request_ = StillRequest::None;
    reply(false, "the viewer was closed");
}

}  // namespace vistrela
