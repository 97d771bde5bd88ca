// The main window's frame handler: every camera frame through the pipeline, onto the screen,
// and into a picture file when one was requested.

#include <QTimer>
#include <algorithm>
#include <ctime>

#include "annotation/ui/text_edit_dlg.h"
#include "app/cvist_dlg.h"
#include "app/video_widget.h"
#include "common/clock.h"
#include "controls/panel_buttons.h"
#include "settings/command_line.h"
#include "settings/settings.h"
#include "stills/still_capture.h"

namespace vistrela {

VideoArea CvistDlg::pictureArea() const {
    VideoArea area{videoStatic->width(), videoStatic->height()};
    // Full screen with the panel shown keeps the picture 10 pixels clear of the panel.
    if (panelWidth == kPanelShownWidth && placement_.fullScreen())
        area.width = std::max(0, area.width - 10);
    return area;
}

void CvistDlg::frameReady(const FrameView& frame) {
    if (closing_) return;
    if (session_.state() == CameraState::Opening) cameraStarted();
    const VideoArea area = pictureArea();
    // The text window's text and place are read for every frame while it is open.
    AnnotationHook* textStep = text_->frameStep();
    // While frozen the held picture is processed in place of the camera's.
    const FrameView picture = lessons_.Freeze().Select(frame);
    const FrameResult result = ProcessFrame(ctx_.view, pipe_, frameImage, picture, area,
                                            tickCountMs(), nowSeconds(), textStep);
    text_->finishBurn();
    if (result.skipped) return;
    ++framesProcessed_;
    if (result.sizeAdopted) ctx_.settings.ClampCrop(ctx_.view, 0.9);
    const LessonModes::Output& shown = lessons_.Finish(frameImage, result.geometry, nowSeconds());
    // Pictures and movies first: the pointer's marker and the zoom help are for the screen.
    frameCaptureNs_ = frame.captureNs;
    if (stills_.pending() != StillRequest::None) saveStill();
    recordFrame(frame.captureNs);
    if (lessons_.Blanked()) {
        videoStatic->clearFrame();
        return;
    }
    if (shown.live) DrawScreenMarks(ctx_.view, pipe_, frameImage, nowSeconds());
    videoStatic->showFrame(*shown.image, shown.geometry);
}

const CxImage& CvistDlg::shownImage() const {
    const CxImage* image = lessons_.Shown().image;
    return image != nullptr ? *image : frameImage;
}

QRect CvistDlg::shownPart() const {
    return lessons_.Shown().geometry.sourceRect;
}

void CvistDlg::showNotice() {
    videoStatic->setNotice(QString::fromStdString(ctx_.view.notice.ShownText(nowSeconds())),
                           ctx_.view.notice.Failure());
}

void CvistDlg::dismissNotice() {
    ctx_.view.notice.Dismiss();
    showNotice();
}

void CvistDlg::captureInto(const std::string& path, PictureReply reply) {
    stills_.captureInto(path, std::move(reply), ctx_.capture.isOpen());
}

void CvistDlg::saveStill() {
    const AfterStill then = stills_.saveIfRequested(shownImage(), ctx_.settings, ctx_.desktopPath,
                                                    ctx_.view, *ctx_.prompts);
    showNotice();
    if (then == AfterStill::Close) QTimer::singleShot(0, this, [this] { close(); });
    if (then == AfterStill::Minimise) QTimer::singleShot(0, this, [this] { showMinimized(); });
}

}  // namespace vistrela
