// The main window's recording: the record and stop buttons, the recording step of the frame
// handler, the unattended recording of --auto-record, and a close that waits for the movie.

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "app/cvist_dlg.h"
#include "common/clock.h"
#include "recording/recording_plan.h"
#include "recording/ui/recording_control.h"

namespace vistrela {

void CvistDlg::setUpRecording() {
    recording_ = std::make_unique<RecordingControl>(*ctx_.prompts, RecordingTempFolder());
    connect(recording_.get(), &RecordingControl::idleChanged, this,
            [this] { recordingIdleChanged(); });
    connect(recording_.get(), &RecordingControl::recoveryMessage, this, [this](const QString& m) {
        ctx_.view.statusText = m.toStdString();
        ctx_.view.statusUntil = nowSeconds() + 10.0;
    });
    connect(recording_.get(), &RecordingControl::recordingJoined, this,
            [this](bool ok, const QString& moviePath, const QString&) {
                if (ok) std::fprintf(stderr, "vistrela: movie saved: %s\n", qPrintable(moviePath));
                if (ctx_.commandLine.autoRecordSeconds > 0) {
                    // The unattended run ends with its movie, successful or not.
                    exitStatus_ = ok ? 0 : 1;
                    QTimer::singleShot(0, this, [this] { close(); });
                }
            });
}

void CvistDlg::startRecording() {
    recording_->StartRecording(pipe_.fps, frameImage, ctx_.settings.savePath);
}

void CvistDlg::stopRecording() {
    recording_->StopRecording();
}

void CvistDlg::recordFrame() {
    if (recording_->recording()) {
        recording_->AppendMovieFrame(frameImage);
        return;
    }
    if (ctx_.commandLine.autoRecordSeconds <= 0 || autoRecordStarted_) return;
    // The movie's rate comes from the measured one, so the unattended start waits until the
    // measurement has seen a second of pictures.
    if (pipe_.fps < 1.0 || tickCountMs() - pipe_.fpsFirstTick < 1000) return;
    autoRecordStarted_ = true;
    // The movie's folder is made when missing, as a script naming a new folder expects.
    QDir().mkpath(QFileInfo(QString::fromStdString(ctx_.commandLine.autoRecordPath)).path());
    if (!recording_->StartRecording(pipe_.fps, frameImage, ctx_.settings.savePath,
                                    ctx_.commandLine.autoRecordPath)) {
        std::fprintf(stderr, "vistrela: could not start recording %s\n",
                     ctx_.commandLine.autoRecordPath.c_str());
        exitStatus_ = 1;
        close();
        return;
    }
    recording_->AppendMovieFrame(frameImage);
    autoRecordTimerId_ = startTimer(ctx_.commandLine.autoRecordSeconds * 1000);
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
