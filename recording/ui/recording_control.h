#pragma once
// Recording control: the record and stop buttons' work. A recording writes every processed
// picture (turned, mirrored, with drawings, text and marker) on the recording clock through the
// movie writer, which encodes on its own thread in the final movie's codec, while the sound
// recorder writes the sound. The stop closes both and shows the processing box; the join then
// runs ffmpeg in the background (the window keeps working) and the record button comes back
// when it ends.
//
// Nothing is lost: the temporary files go only after a join that succeeded; a failed join
// keeps them and says where; a recording cut short by a crash is joined at the next start
// (RecoverLeftovers). With no sound the movie is made without sound.
//
// Threads: everything here runs on the user-interface thread. The sound recorder's messages
// come from its own thread and are handed over to this one.

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "controls/ui/message_box_dialog.h"
#include "recording/movie_join.h"
#include "recording/recording_plan.h"

class QLockFile;

namespace vistrela {

class CAviWriter;
class CWavFile;
class CxImage;
class Prompts;

class RecordingControl : public QObject {
    Q_OBJECT
public:
    // `prompts` (not owned) shows the save dialog and every notice; `tempFolder` (ending in
    // '/') holds the temporary files.
    RecordingControl(Prompts& prompts, std::string tempFolder, QObject* parent = nullptr);
    // Stops a running recording and waits for its join: the movie is made before the end.
    ~RecordingControl() override;

    // True while no recording runs and no join is pending or running (the record button shows).
    bool recordIdle() const { return state_ == State::Idle; }
    bool recording() const { return state_ == State::Recording; }
    // Seconds since the recording started (the title's recording clock).
    std::uint32_t elapsedSeconds() const;

    // Starts a recording of the camera measured at `fps` (nothing below 1.0, nothing unless
    // idle). The movie goes to `moviePath`, or, when that is empty, to the file the save dialog
    // offers in `saveFolder`. `picture` is the processed picture now: its size is the movie's.
    // Returns whether a recording started.
    bool StartRecording(double fps, const CxImage& picture, const std::string& saveFolder,
                        const std::string& moviePath = {});
    // The recording step of the frame pipeline: writes `picture` as often as the recording
    // clock asks for, and starts the sound with the first written picture.
    void AppendMovieFrame(const CxImage& picture);
    // Closes writer and recorder, shows the processing box and starts the join.
    void StopRecording();

    // Joins, in the background and one after another, the temporary pairs a recording cut short
    // left in the temporary folder, into `saveFolder` under the name the save dialog would have
    // offered. Returns how many were found.
    int RecoverLeftovers(const std::string& saveFolder);
    bool recovering() const { return !recoveries_.empty() || recoveryRunning_; }

    // Blocks until every join (the recording's and the recoveries) has ended. For the end of
    // the program and tests.
    void waitForJoins();

    // For tests.
    std::int64_t framesWritten() const { return framesWritten_; }
    std::uint32_t movieFrameRate() const { return frameRate_; }
    const std::string& moviePath() const { return moviePath_; }
    const TemporaryFiles& temporaryFiles() const { return temp_; }
    CMessageBoxDialog* processingBox() const { return processingBox_.data(); }

signals:
    // recordIdle() changed: the record and stop buttons swap.
    void idleChanged();
    // A join of this recording ended; `message` explains a failure.
    void recordingJoined(bool ok, const QString& moviePath, const QString& message);
    // A recovery ended (`message` is a one-line status for the title).
    void recoveryMessage(const QString& message);

private:
    enum class State { Idle, Recording, JoinDue, Joining };

    void runJoin();
    void joinEnded(bool ok, const QString& message);
    void startNextRecovery();
    void startRecovery(const LeftoverRecording& next);
    void closeProcessingBox();
    void setState(State state);

    Prompts& prompts_;
    std::string tempFolder_;

    State state_ = State::Idle;
    std::unique_ptr<CAviWriter> aviWriter_;
    std::unique_ptr<CWavFile> wavRecorder_;
    TemporaryFiles temp_;
    // Held from the start until the join ended, so that another instance's recovery leaves
    // this pair alone; a crashed process's lock is stale and taken over.
    std::unique_ptr<QLockFile> lock_;
    std::string moviePath_;
    std::uint32_t frameRate_ = 0;
    std::int64_t framesWritten_ = 0;
    std::chrono::steady_clock::time_point recordStart_;  // the recording clock's zero
    int movieWidth_ = 0;
    int movieHeight_ = 0;
    QImage fitted_;  // a picture whose size changed since the start, fitted with black bars

    MovieJoin join_;
    QPointer<CMessageBoxDialog> processingBox_;

    MovieJoin recoveryJoin_;
    std::deque<LeftoverRecording> recoveries_;
    std::unique_ptr<QLockFile> recoveryLock_;
    std::string recoveryFolder_;
    bool recoveryRunning_ = false;
};

}  // namespace vistrela
