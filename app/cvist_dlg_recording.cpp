// The main window's recording: the record and stop buttons, the recording step of the frame
// handler, the unattended recording of --auto-record, the record button's menu (normal or
// time-lapse), and a close that waits for the movie.

#include <QTimer>
#include <cstdio>

#include "app/cvist_dlg.h"
#include "common/clock.h"
#include "common/prompts.h"
#include "controls/ui/gdip_button.h"
#include "recording/recording_plan.h"
#include "recording/ui/record_mode_menu.h"
#include "recording/ui/recording_control.h"
#include "settings/remembered_choices.h"

namespace vistrela {

namespace {
// An unattended recording without a first picture by then gives up.
constexpr int kFirstPictureTimeoutMs = 15000;
}  // namespace

void CvistDlg::setUpRecording() {
    recording_ =
        std::make_unique<RecordingControl>(*ctx_.prompts, RecordingTempFolder(), ctx_.sources);
    connect(recording_.get(), &RecordingControl::idleChanged, this,
            [this] { recordingIdleChanged(); });
    connect(recording_.get(), &RecordingControl::recoveryMessage, this, [this](const QString& m) {
        ctx_.view.statusText = m.toStdString();
        ctx_.view.statusUntil = nowSeconds() + 10.0;
    });
    connect(recording_.get(), &RecordingControl::recordingJoined, this,
            [this](bool ok, bool complete, const QString& moviePath, const QString&) {
                if (ok && complete)
                    SayOnStderr(tr("동영상을 저장했습니다: %1").arg(moviePath));
                else if (ok)
                    SayOnStderr(
                        tr("녹화가 중간에 끊겼습니다. 동영상을 저장했습니다: %1").arg(moviePath));
                if (ctx_.commandLine.autoRecordSeconds > 0) {
                    // The unattended run ends with its movie; only a whole one is a success.
                    stills_.setExitStatus(ok && complete ? 0 : 1);
                    QTimer::singleShot(0, this, [this] { close(); });
                }
            });
    // The menu shows the mode in force when it opens; a choice is the next recording's mode.
    auto* modeMenu = new RecordModeMenu(this);
    CGdipButton* record = button(IDC_RECORD);
    connect(record, &CGdipButton::rightPressed, modeMenu, [modeMenu, record] {
        modeMenu->popup(record->mapToGlobal(QPoint(0, record->height())));
    });
    connect(modeMenu, &QMenu::aboutToShow, this,
            [this, modeMenu] { modeMenu->showMode(ctx_.settings.timeLapseSeconds); });
    connect(modeMenu, &RecordModeMenu::modeChosen, this, [this](int seconds) {
        ctx_.settings.timeLapseSeconds = seconds;
        StoreRememberedTimeLapse(ctx_.profile, seconds);
    });
    if (ctx_.commandLine.autoRecordSeconds > 0) {
        QTimer::singleShot(kFirstPictureTimeoutMs, this, [this] {
            if (autoRecordStarted_ || closing_) return;
            SayOnStderr(tr("%1초 안에 카메라에서 화면이 오지 않아 녹화하지 않았습니다")
                            .arg(kFirstPictureTimeoutMs / 1000));
            stills_.setExitStatus(1);
            close();
        });
    }
}

void CvistDlg::startRecording() {
    RecordingRequest request;
    request.measuredFps = pipe_.fps;
    request.announcedFps = ctx_.capture.announcedFps();
    request.saveFolder = ctx_.settings.savePath;
    request.timeLapseSeconds = ctx_.settings.timeLapseSeconds;
    recording_->StartRecording(request, shownImage(), shownPart(), frameCaptureNs_);
}

void CvistDlg::stopRecording() {
    recording_->StopRecording();
}

void CvistDlg::recordFrame(std::int64_t captureNs) {
    if (recording_->recording()) {
        recording_->AppendMovieFrame(shownImage(), shownPart(), captureNs);
        return;
    }
    if (ctx_.commandLine.autoRecordSeconds <= 0 || autoRecordStarted_) return;
    // The movie's rate is the camera's own; a camera that names none is measured for a second.
    RecordingRequest request;
    request.announcedFps = ctx_.capture.announcedFps();
    request.measuredFps = request.announcedFps >= 1.0 ? request.announcedFps : pipe_.fps;
    if (request.announcedFps < 1.0 &&
        (pipe_.fps < 1.0 || tickCountMs() - pipe_.fpsFirstTick < 1000))
        return;
    autoRecordStarted_ = true;
    request.saveFolder = ctx_.settings.savePath;
    request.moviePath = ctx_.commandLine.autoRecordPath;
    request.overwrite = ctx_.commandLine.overwrite;
    request.seconds = ctx_.commandLine.autoRecordSeconds;
    request.timeLapseSeconds = ctx_.commandLine.timeLapseSeconds;
    if (!recording_->StartRecording(request, shownImage(), shownPart(), captureNs)) {
        SayOnStderr(tr("녹화를 시작하지 못했습니다: %1")
                        .arg(QString::fromStdString(ctx_.commandLine.autoRecordPath)));
        stills_.setExitStatus(1);
        close();
        return;
    }
    recording_->AppendMovieFrame(shownImage(), shownPart(), captureNs);
}

void CvistDlg::recordingIdleChanged() {
    layoutControls();
    if (recording_->recordIdle() && closeAfterJoin_) close();
}

bool CvistDlg::holdCloseForRecording() {
    if (recording_ == nullptr || recording_->recordIdle()) return false;
    closeAfterJoin_ = true;
    recording_->StopRecording();
    return true;
}

}  // namespace vistrela
