#include "recording/ui/recording_control.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryFile>
#include <chrono>
#include <climits>
#include <ctime>

#include "common/prompts.h"
#include "controls/ui/message_box_dialog.h"
#include "recording/leftover_files.h"
#include "recording/media/avi_writer.h"
#include "recording/media/wav_file.h"
#include "recording/movie_picture.h"
#include "recording/time_lapse.h"
#include "recording/wav_format.h"
#include "settings/paths.h"
#include "viewer/image.h"
#include "viewer/title.h"

namespace vistrela {

namespace {

constexpr int kProcessingStyle = 14;  // no buttons, no icon

// Pictures that stop coming for this long are held (the camera stalls, or is switched).
constexpr std::int64_t kHoldAfterNs = 250'000'000;
constexpr int kHoldTickMs = 50;

std::int64_t SteadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// A sound file holding at least one sample, not just its header.
bool HasSound(const std::string& path) {
    return QFileInfo(Q(path)).size() > static_cast<qint64>(kWavHeaderBytes);
}

// The one notice of a recording about its sound, in the user's language, the recorder's own
// text below.
std::string SoundNotice(const std::string& detail) {
    const QString plain =
        detail == CWavFile::kNoDevicesText
            ? QCoreApplication::translate("Recording", "마이크를 찾지 못해 소리 없이 녹화합니다.")
            : QCoreApplication::translate("Recording",
                                          "소리를 녹음하지 못해 소리 없이 녹화합니다.");
    return plain.toStdString() + "\n" + detail;
}

}  // namespace

RecordingControl::RecordingControl(Prompts& prompts, std::string tempFolder, DeviceSources sources,
                                   QObject* parent)
    : QObject(parent),
      prompts_(prompts),
      tempFolder_(WithSlash(tempFolder)),
      sources_(std::move(sources)),
      recovery_(prompts, tempFolder_) {
    connect(&join_, &MovieJoin::progress, this, [this](int percent) {
        if (processingBox_) processingBox_->SetProgress(percent);
    });
    connect(&join_, &MovieJoin::finished, this, &RecordingControl::joinEnded);
    connect(&recovery_, &LeftoverRecovery::message, this, &RecordingControl::recoveryMessage);
    holdTimer_.setInterval(kHoldTickMs);
    connect(&holdTimer_, &QTimer::timeout, this, &RecordingControl::holdTick);
}

RecordingControl::~RecordingControl() {
    StopRecording();
    waitForJoins();
    closeProcessingBox();
}

std::uint32_t RecordingControl::elapsedSeconds() const {
    return static_cast<std::uint32_t>((SteadyNs() - startNs_) / 1'000'000'000);
}

void RecordingControl::fillTitle(TitleInputs& in) const {
    in.recordingSeconds = elapsedSeconds();
    in.timeLapseSeconds = timeLapse_.intervalSeconds;
    in.timeLapseFrames = framesWritten_;
    in.movieSeconds = MovieSeconds(framesWritten_, frameRate_);
}

void RecordingControl::setState(State state) {
    const bool wasIdle = recordIdle();
    state_ = state;
    if (wasIdle != recordIdle()) emit idleChanged();
}

bool RecordingControl::prepareFolder(const std::string& moviePath) {
    const QString folder = QFileInfo(Q(moviePath)).absolutePath();
    // A folder that does not exist yet is made, as a script naming a new folder expects; one
    // that cannot be written is refused now rather than at the stop.
    QTemporaryFile probe(folder + "/.vistrela-XXXXXX");
    if (QDir().mkpath(folder) && probe.open()) return true;
    prompts_.notice("Vistrela",
                    tr("이 폴더에는 동영상을 저장할 수 없습니다: %1").arg(folder).toStdString());
    return false;
}

bool RecordingControl::StartRecording(const RecordingRequest& request, const CxImage& picture,
                                      const QRect& /*shown*/, std::int64_t captureNs) {
    if (!recordIdle() || request.measuredFps < 1.0 || !picture.IsValid()) return false;
    const std::string defaultName = DefaultMovieName(RecordingStamp(std::time(nullptr)));
    if (!chooseMoviePath(request, defaultName) || !lockPair(defaultName)) return false;
    startPicture(request, picture, captureNs);
    // A time-lapse movie has no sound stream: no sound file is made at all.
    if (timeLapse_.intervalSeconds == 0) startSound();
    holdTimer_.start();
    setState(State::Recording);
    return true;
}

bool RecordingControl::chooseMoviePath(const RecordingRequest& request,
                                       const std::string& defaultName) {
    std::string chosen = request.moviePath;
    if (chosen.empty()) {
        chosen = prompts_.saveFileName(tr("동영상 저장").toStdString(),
                                       WithSlash(request.saveFolder) + defaultName,
                                       "Avi Files (*.avi);;MP4 (*.mp4)", "avi");
        if (chosen.empty()) return false;  // cancelled: nothing changes
    }
    moviePath_ = QFileInfo(Q(chosen)).absoluteFilePath().toStdString();
    if (!prepareFolder(moviePath_)) return false;
    if (!request.overwrite) moviePath_ = FreeMovieName(moviePath_);
    return true;
}

bool RecordingControl::lockPair(const std::string& defaultName) {
    // The pair is locked and named before any of its files exists.
    temp_ = TemporaryFilesFor(tempFolder_, defaultName);
    QDir().mkpath(Q(tempFolder_));
    lock_ = LockPair(temp_.moviePath);
    if (lock_ && WriteSidecar(temp_.moviePath, Sidecar{moviePath_, false})) return true;
    lock_.reset();
    prompts_.notice(
        "Vistrela",
        tr("녹화용 임시 파일을 만들 수 없습니다: %1").arg(Q(temp_.moviePath)).toStdString());
    return false;
}

void RecordingControl::startPicture(const RecordingRequest& request, const CxImage& picture,
                                    std::int64_t captureNs) {
    const std::uint32_t cameraRate =
        MovieFrameRate(request.announcedFps >= 1.0 ? request.announcedFps : request.measuredFps);
    const bool timeLapse = ValidTimeLapseSeconds(request.timeLapseSeconds);
    timeLapse_.intervalSeconds = timeLapse ? request.timeLapseSeconds : 0;
    // Half a camera frame: the frame nearest a picture's time is taken, never one much later.
    timeLapse_.earlyNs = 500'000'000 / cameraRate;
    frameRate_ = timeLapse ? kTimeLapseMovieFps : cameraRate;
    aviWriter_ = std::make_unique<CAviWriter>(temp_.moviePath, prompts_);
    aviWriter_->codec = MovieCodecFor(moviePath_);
    aviWriter_->frameRate = frameRate_;
    // Each time-lapse picture reaches the disk at once (a crash loses none of them).
    if (timeLapse) aviWriter_->flushEveryPictures = 1;

    movieWidth_ = picture.GetWidth();
    movieHeight_ = picture.GetHeight();
    movieFrame_ = QImage(movieWidth_, movieHeight_, QImage::Format_RGB32);
    movieFrame_.fill(Qt::black);
    held_.holding = false;
    held_.away = false;
    writeFailed_ = false;
    framesWritten_ = 0;
    if (request.seconds <= 0)
        frameLimit_ = 0;
    else if (timeLapse)
        frameLimit_ = TimeLapseFrameLimit(request.seconds, timeLapse_.intervalSeconds);
    else
        frameLimit_ = std::int64_t{request.seconds} * frameRate_;
    held_.lastPicture = nullptr;
    held_.fitPending = false;
    const std::int64_t now = SteadyNs();
    startNs_ = captureNs > 0 && captureNs <= now ? captureNs : now;
    lastPictureNs_ = now;
}

void RecordingControl::startSound() {
    QPointer<RecordingControl> self(this);
    auto soundNoticeShown = std::make_shared<bool>(false);
    wavRecorder_ = std::make_unique<CWavFile>(
        temp_.soundPath, 0,
        [self, soundNoticeShown](const std::string& text) {
            // From the recorder's thread: shown on this one, once a recording.
            QMetaObject::invokeMethod(
                self.data(),
                [self, soundNoticeShown, text] {
                    if (!self || *soundNoticeShown) return;
                    *soundNoticeShown = true;
                    self->prompts_.passingNotice("Vistrela", SoundNotice(text));
                },
                Qt::QueuedConnection);
        },
        sources_);
    wavRecorder_->CheckDevices();
    // The sound runs from the start; what it captured before the first picture is dropped.
    wavRecorder_->SetTimeZero(startNs_);
    wavRecorder_->SetRecording(1);
}

bool RecordingControl::writePictures(const std::uint8_t* bits, int count, Placement placement) {
    if (frameLimit_ > 0)
        count = static_cast<int>(std::min<std::int64_t>(count, frameLimit_ - framesWritten_));
    int repeatsAfter = 0;
    if (count > 0 && aviWriter_->writerState() == kWriterWriting) {
        switch (placement) {
            case Placement::Last:
                // Frames the camera did not deliver in time keep showing the picture before
                // them; this one goes where it was captured, never earlier.
                aviWriter_->SkipFrames(count - 1);
                framesWritten_ += count - 1;
                count = 1;
                break;
            case Placement::First:
                repeatsAfter = count - 1;
                count = 1;
                break;
            case Placement::Repeat:
                repeatsAfter = count;
                count = 0;
                break;
        }
    }
    for (int i = 0; i < count; ++i) {
        if (aviWriter_->AppendFrame(movieWidth_, movieHeight_, bits, 32) != kAviOk) {
            failWriting();
            return false;
        }
        ++framesWritten_;
    }
    if (repeatsAfter > 0) {
        aviWriter_->SkipFrames(repeatsAfter);
        framesWritten_ += repeatsAfter;
    }
    if (frameLimit_ > 0 && framesWritten_ >= frameLimit_) {
        // The timed recording is whole; the stop runs outside the frame handler.
        holdTimer_.stop();
        QMetaObject::invokeMethod(this, &RecordingControl::StopRecording, Qt::QueuedConnection);
    }
    return true;
}

int RecordingControl::framesDue(std::int64_t atNs) const {
    if (timeLapse_.intervalSeconds > 0)
        return TimeLapsePicturesDue(atNs - startNs_, timeLapse_.intervalSeconds, framesWritten_,
                                    timeLapse_.earlyNs);
    // Half a frame early: a picture goes to the frame nearest its capture time, so the jitter of
    // a camera's time stamps never moves it a frame back.
    const double elapsed = static_cast<double>(atNs - startNs_) / 1e9 + 0.5 / frameRate_;
    return PicturesDue(elapsed, frameRate_, framesWritten_, INT_MAX);
}

void RecordingControl::writeDue(const std::uint8_t* bits, int due, Placement placement) {
    if (wavRecorder_ && wavRecorder_->writeFailed()) {
        failWriting();
        return;
    }
    writePictures(bits, due, placement);
}

void RecordingControl::AppendMovieFrame(const CxImage& picture, const QRect& shown,
                                        std::int64_t captureNs) {
    if (state_ != State::Recording || !aviWriter_ || !picture.IsValid()) return;
    const std::int64_t now = SteadyNs();
    lastPictureNs_ = now;
    held_.holding = false;
    held_.away = false;
    const QSize movieSize(movieWidth_, movieHeight_);
    const std::uint8_t* bits = reinterpret_cast<const std::uint8_t*>(picture.ScanLine(0));
    const std::int64_t atNs = captureNs > 0 ? captureNs : now;
    const bool fits =
        PictureFitsMovie(QSize(picture.GetWidth(), picture.GetHeight()), shown, movieSize);
    held_.fitPending = false;
    const int due = framesDue(atNs);
    if (timeLapse_.intervalSeconds > 0 && due == 0) {
        // Between two time-lapse pictures: only kept for a hold, fitted if one comes.
        held_.lastPicture = &picture;
        held_.shown = shown;
        held_.fitPending = !fits;
        held_.skipped = true;
        return;
    }
    held_.skipped = false;
    if (fits) {
        // Kept for a hold (a copy only then): the picture stays put until the next frame.
        held_.lastPicture = &picture;
    } else {
        // Zoomed, panned, turned or another camera's size: fitted into the movie's size.
        FitIntoMovie(picture.View(), shown, movieFrame_);
        bits = movieFrame_.constBits();
        held_.lastPicture = nullptr;
    }
    writeDue(bits, due, Placement::Last);
}

void RecordingControl::CameraAway() {
    if (state_ != State::Recording) return;
    lastPictureNs_ = 0;  // held at once, with the notice
    held_.away = true;
    holdTick();
}

void RecordingControl::holdTick() {
    if (state_ != State::Recording) return;
    const std::int64_t now = SteadyNs();
    if (now - lastPictureNs_ < kHoldAfterNs) {
        if (wavRecorder_ && wavRecorder_->writeFailed()) failWriting();
        return;
    }
    if (!held_.holding) {
        if (held_.fitPending && held_.lastPicture != nullptr)
            FitIntoMovie(held_.lastPicture->View(), held_.shown, movieFrame_);
        else if (held_.lastPicture != nullptr)
            movieFrame_ = held_.lastPicture->View().copy();
        held_.lastPicture = nullptr;
        held_.fitPending = false;
        held_.holding = true;
        held_.noticeDrawn = false;
        // The last picture written is the one held: the movie shows it already (unless it came
        // between two time-lapse pictures).
        held_.inMovie = framesWritten_ > 0 && !held_.skipped;
    }
    // A camera that only stutters is held plainly; one that is gone says so.
    if (held_.away && !held_.noticeDrawn) {
        DrawHeldNotice(movieFrame_);
        held_.noticeDrawn = true;
        held_.inMovie = false;
    }
    const std::int64_t before = framesWritten_;
    writeDue(movieFrame_.constBits(), framesDue(now),
             held_.inMovie ? Placement::Repeat : Placement::First);
    if (framesWritten_ > before) held_.inMovie = true;
}

void RecordingControl::failWriting() {
    if (state_ != State::Recording) return;
    writeFailed_ = true;
    const bool neverOpened =
        framesWritten_ == 0 && aviWriter_ && aviWriter_->writerState() == kWriterFailed;
    const std::string text =
        (neverOpened
             ? tr("동영상 파일을 만들지 못해 녹화를 멈췄습니다.")
             : tr("녹화 파일을 쓰지 못해 녹화를 멈췄습니다 (디스크가 가득 찼을 수 있습니다). "
                  "그때까지 녹화한 부분은 동영상으로 저장합니다."))
            .toStdString();
    prompts_.passingNotice("Vistrela", text + "\n" + temp_.moviePath);
    StopRecording();
}

void RecordingControl::StopRecording() {
    if (state_ != State::Recording) return;
    holdTimer_.stop();
    held_.lastPicture = nullptr;
    // Deleting the writer drains its encoder and finishes the file.
    const bool writerUsed = aviWriter_->writerState() != kWriterFirstPicturePending;
    aviWriter_->ReleaseMemory();
    pictureNeedsCut_ = writerUsed && !aviWriter_->endedCleanly();
    aviWriter_.reset();
    if (wavRecorder_) {
        // The sound lasts as long as the picture.
        wavRecorder_->SetEndTime(startNs_ + framesWritten_ * 1'000'000'000 /
                                                std::max<std::uint32_t>(frameRate_, 1));
        wavRecorder_->SetRecording(0);
        if (wavRecorder_->writeFailed()) writeFailed_ = true;
        wavRecorder_.reset();
    }
    setState(State::JoinDue);
    if (!processingBox_) {
        processingBox_ = new CMessageBoxDialog(nullptr, tr("동영상 처리중. 잠시 기다려 주세요"),
                                               tr("Vistrela 동영상 처리중"), kProcessingStyle);
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
    job.moviePath = moviePath_;
    job.sidecarPath = SidecarPath(temp_.moviePath);
    job.durationSeconds = frameRate_ > 0 ? double(framesWritten_) / frameRate_ : 0.0;
    bool picture = framesWritten_ > 0 && QFileInfo(Q(temp_.moviePath)).size() > 0;
    if (picture && (pictureNeedsCut_ || writeFailed_)) {
        // A full disk: the picture ends at its last whole frame, the sound's sizes are mended.
        const AviCut cut = CutAviAtLastFrame(temp_.moviePath);
        picture = cut.readable && cut.frames > 0;
        if (picture) job.durationSeconds = cut.seconds();
        RepairWavSizes(temp_.soundPath);
    }
    job.picturePath = picture ? temp_.moviePath : std::string();
    job.soundPath = HasSound(temp_.soundPath) ? temp_.soundPath : std::string();
    if (job.picturePath.empty() && job.soundPath.empty()) {
        joinEnded(false,
                  tr("녹화한 내용이 없어 동영상을 만들지 않았습니다: %1").arg(Q(moviePath_)));
        return;
    }
    join_.start(job);
}

void RecordingControl::joinEnded(bool ok, const QString& message) {
    if (ok) {
        // A movie without sound (or without picture) leaves unused files behind.
        for (const std::string& path : {temp_.soundPath, temp_.moviePath}) QFile::remove(Q(path));
    }
    closeProcessingBox();
    lock_.reset();
    setState(State::Idle);
    if (!ok) prompts_.notice("Vistrela", message.toStdString());
    const bool complete =
        ok && !writeFailed_ && (frameLimit_ == 0 || framesWritten_ >= frameLimit_);
    emit recordingJoined(ok, complete, Q(moviePath_), message);
}

void RecordingControl::closeProcessingBox() {
    if (!processingBox_) return;
    processingBox_->Show(0);
    delete processingBox_.data();
}

int RecordingControl::RecoverLeftovers(const std::string& saveFolder) {
    std::vector<std::string> busy;
    if (!recordIdle()) busy.push_back(temp_.moviePath);
    return recovery_.Recover(saveFolder, busy);
}

void RecordingControl::waitForJoins() {
    if (state_ == State::JoinDue) runJoin();
    join_.waitForEnd();
    recovery_.waitForEnd();
}

}  // namespace vistrela
