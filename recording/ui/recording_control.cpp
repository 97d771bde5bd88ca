#include "recording/ui/recording_control.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QPainter>
#include <ctime>

#include "common/prompts.h"
#include "controls/ui/message_box_dialog.h"
#include "recording/media/avi_writer.h"
#include "recording/media/wav_file.h"
#include "recording/wav_format.h"
#include "settings/paths.h"
#include "viewer/image.h"

namespace vistrela {

namespace {

constexpr const char* kProcessingText = "동영상 처리중. 잠시 기다려 주세요";
constexpr const char* kProcessingCaption = "Vistrela 동영상 처리중";
constexpr int kProcessingStyle = 14;  // no buttons, no icon

// A sound file holding at least one sample, not just its header.
bool HasSound(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).size() > static_cast<qint64>(kWavHeaderBytes);
}

// `base` when no file has that name, else "name (2).ext", "name (3).ext", ...
std::string FreeName(const std::string& base) {
    if (!QFileInfo::exists(QString::fromStdString(base))) return base;
    const std::size_t dot = base.rfind('.');
    const std::string stem = dot == std::string::npos ? base : base.substr(0, dot);
    const std::string ext = dot == std::string::npos ? "" : base.substr(dot);
    for (int i = 2;; ++i) {
        const std::string candidate = stem + " (" + std::to_string(i) + ")" + ext;
        if (!QFileInfo::exists(QString::fromStdString(candidate))) return candidate;
    }
}

std::unique_ptr<QLockFile> LockPair(const std::string& picturePath) {
    auto lock = std::make_unique<QLockFile>(QString::fromStdString(picturePath + ".lock"));
    // A lesson runs for hours: only a lock whose process is gone is stale, never an old one.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) return nullptr;
    return lock;
}

}  // namespace

RecordingControl::RecordingControl(Prompts& prompts, std::string tempFolder, QObject* parent)
    : QObject(parent), prompts_(prompts), tempFolder_(WithSlash(tempFolder)) {
    connect(&join_, &MovieJoin::progress, this, [this](int percent) {
        if (processingBox_) processingBox_->SetProgress(percent);
    });
    connect(&join_, &MovieJoin::finished, this, &RecordingControl::joinEnded);
    connect(&recoveryJoin_, &MovieJoin::finished, this, [this](bool ok, const QString& message) {
        recoveryRunning_ = false;
        recoveryLock_.reset();
        if (ok) {
            emit recoveryMessage(QString::fromUtf8("중단된 녹화를 동영상으로 저장했습니다"));
        } else {
            // Reported once; the pair stays where it is and is tried again at the next start.
            prompts_.notice("Vistrela", message.toStdString());
            emit recoveryMessage(QString::fromUtf8("중단된 녹화를 동영상으로 만들지 못했습니다"));
        }
        startNextRecovery();
    });
}

RecordingControl::~RecordingControl() {
    StopRecording();
    waitForJoins();
    closeProcessingBox();
}

std::uint32_t RecordingControl::elapsedSeconds() const {
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                          std::chrono::steady_clock::now() - recordStart_)
                                          .count());
}

void RecordingControl::setState(State state) {
    const bool wasIdle = recordIdle();
    state_ = state;
    if (wasIdle != recordIdle()) emit idleChanged();
}

bool RecordingControl::StartRecording(double fps, const CxImage& picture,
                                      const std::string& saveFolder, const std::string& moviePath) {
    if (!recordIdle() || fps < 1.0 || !picture.IsValid()) return false;
    const std::string stamp = RecordingStamp(std::time(nullptr));
    const std::string defaultName = DefaultMovieName(stamp);
    std::string chosen = moviePath;
    if (chosen.empty()) {
        chosen = prompts_.saveFileName("동영상 저장", WithSlash(saveFolder) + defaultName,
                                       "Avi Files (*.avi);;MP4 (*.mp4)", "avi");
        if (chosen.empty()) return false;  // cancelled: nothing changes
    }
    moviePath_ = QFileInfo(QString::fromStdString(chosen)).absoluteFilePath().toStdString();
    temp_ = TemporaryFilesFor(tempFolder_, defaultName);
    lock_ = LockPair(temp_.moviePath);

    aviWriter_ = std::make_unique<CAviWriter>(temp_.moviePath, prompts_);
    QPointer<RecordingControl> self(this);
    wavRecorder_ = std::make_unique<CWavFile>(temp_.soundPath, 0, [self](const std::string& text) {
        // From the recorder's thread: shown on this one.
        QMetaObject::invokeMethod(
            self.data(),
            [self, text] {
                if (self) self->prompts_.notice("Vistrela", text);
            },
            Qt::QueuedConnection);
    });
    wavRecorder_->CheckDevices();
    aviWriter_->codec = MovieCodecFor(moviePath_);
    frameRate_ = MovieFrameRate(fps);
    aviWriter_->frameRate = frameRate_;

    movieWidth_ = picture.GetWidth();
    movieHeight_ = picture.GetHeight();
    framesWritten_ = 0;
    recordStart_ = std::chrono::steady_clock::now();
    setState(State::Recording);
    return true;
}

void RecordingControl::AppendMovieFrame(const CxImage& picture) {
    if (state_ != State::Recording || !aviWriter_ || !picture.IsValid()) return;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - recordStart_).count();
    const int writes = PicturesDue(elapsed, frameRate_, framesWritten_);
    if (writes > 0) {
        const std::uint8_t* bits = reinterpret_cast<const std::uint8_t*>(picture.ScanLine(0));
        if (picture.GetWidth() != movieWidth_ || picture.GetHeight() != movieHeight_) {
            // A turn since the start: the whole picture, fitted into the movie's size.
            if (fitted_.width() != movieWidth_ || fitted_.height() != movieHeight_)
                fitted_ = QImage(movieWidth_, movieHeight_, QImage::Format_RGB32);
            fitted_.fill(Qt::black);
            const QImage source = picture.View();
            const QSize size = source.size().scaled(fitted_.size(), Qt::KeepAspectRatio);
            QPainter painter(&fitted_);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(
                QRect(QPoint((movieWidth_ - size.width()) / 2, (movieHeight_ - size.height()) / 2),
                      size),
                source);
            painter.end();
            bits = fitted_.constBits();
        }
        for (int i = 0; i < writes; ++i) {
            aviWriter_->AppendFrame(movieWidth_, movieHeight_, bits, 32);
            ++framesWritten_;
        }
    }
    // The sound starts with the first written picture.
    if (framesWritten_ > 0 && wavRecorder_ && !wavRecorder_->isRunning())
        wavRecorder_->SetRecording(1);
}

void RecordingControl::StopRecording() {
    if (state_ != State::Recording) return;
    // Deleting the writer drains its encoder and finishes the file.
    aviWriter_.reset();
    if (wavRecorder_) {
        wavRecorder_->SetRecording(0);
        wavRecorder_.reset();
    }
    setState(State::JoinDue);
    if (!processingBox_) {
        processingBox_ =
            new CMessageBoxDialog(nullptr, QString::fromUtf8(kProcessingText),
                                  QString::fromUtf8(kProcessingCaption), kProcessingStyle);
    }
    processingBox_->Show(1);
    // The join runs from the event loop, so the box is on screen first and a stopped title
    // timer cannot hold the join back.
    QMetaObject::invokeMethod(this, &RecordingControl::runJoin, Qt::QueuedConnection);
}

void RecordingControl::runJoin() {
    if (state_ != State::JoinDue) return;
    setState(State::Joining);
    JoinJob job;
    job.picturePath = temp_.moviePath;
    job.soundPath = HasSound(temp_.soundPath) ? temp_.soundPath : std::string();
    job.moviePath = moviePath_;
    job.durationSeconds = frameRate_ > 0 ? double(framesWritten_) / frameRate_ : 0.0;
    join_.start(job);
}

void RecordingControl::joinEnded(bool ok, const QString& message) {
    // A movie without sound leaves an empty or header-only sound file behind.
    if (ok && !HasSound(temp_.soundPath)) QFile::remove(QString::fromStdString(temp_.soundPath));
    closeProcessingBox();
    lock_.reset();
    setState(State::Idle);
    if (!ok) prompts_.notice("Vistrela", message.toStdString());
    emit recordingJoined(ok, QString::fromStdString(moviePath_), message);
}

void RecordingControl::closeProcessingBox() {
    if (!processingBox_) return;
    processingBox_->Show(0);
    delete processingBox_.data();
}

int RecordingControl::RecoverLeftovers(const std::string& saveFolder) {
    std::vector<std::string> busy;
    if (!recordIdle()) busy.push_back(temp_.moviePath);
    for (const LeftoverRecording& r : recoveries_) busy.push_back(r.moviePath);
    const std::vector<LeftoverRecording> found = FindLeftoverRecordings(tempFolder_, busy);
    recoveryFolder_ = WithSlash(saveFolder.empty() ? HomeFolder() : saveFolder);
    recoveries_.insert(recoveries_.end(), found.begin(), found.end());
    if (!found.empty()) {
        emit recoveryMessage(QString::fromUtf8("중단된 녹화 %1개를 동영상으로 저장하는 중")
                                 .arg(static_cast<int>(found.size())));
    }
    startNextRecovery();
    return static_cast<int>(found.size());
}

void RecordingControl::startNextRecovery() {
    while (!recoveryRunning_ && !recoveries_.empty()) {
        const LeftoverRecording next = recoveries_.front();
        recoveries_.pop_front();
        // A pair whose recording still runs in another instance is locked: not a leftover.
        recoveryLock_ = LockPair(next.moviePath);
        if (recoveryLock_) startRecovery(next);
    }
}

void RecordingControl::startRecovery(const LeftoverRecording& next) {
    JoinJob job;
    job.picturePath = next.moviePath;
    job.soundPath = next.soundPath;
    job.moviePath = FreeName(recoveryFolder_ + next.movieName);
    recoveryRunning_ = true;
    recoveryJoin_.start(job);
}

void RecordingControl::waitForJoins() {
    if (state_ == State::JoinDue) runJoin();
    join_.waitForEnd();
    while (recoveryRunning_) recoveryJoin_.waitForEnd();
}

}  // namespace vistrela
