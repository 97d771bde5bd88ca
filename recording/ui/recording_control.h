#pragma once
// Recording control: the record and stop buttons' work. A recording writes the picture as
// shown (the shown part of the processed picture, zoom and pan included, fitted into the
// movie's size) on the recording clock through the movie writer, which encodes on its own
// thread in the final movie's codec, while the sound recorder writes the sound placed by its
// capture time against the same clock. The stop closes both and shows the processing box; the
// join then runs ffmpeg in the background (the window keeps working) and the record button
// comes back when it ends.
//
// A recording ends only by StopRecording (the stop button, the end of an unattended recording,
// the end of the program), by reaching its frame limit, or at once when a write fails. While
// the camera is switched, reopened or lost (CameraAway), the movie holds the last picture with
// a short notice on it (black when there was none), and whenever pictures stop coming for a
// moment it repeats the last one; the sound goes on; the next picture, of any size, is fitted into
// the movie's size.
//
// Nothing is lost: the pair is locked and its sidecar names the movie before any of its files
// is made; the temporary files go only after a join that succeeded; a failed join keeps them
// and says where; a pair cut short by a crash is recovered at the next start
// (LeftoverRecovery). With no sound the movie is made without sound.
//
// Clock: time 0 is the capture of the picture shown at the start (steady clock). A picture goes
// to the movie frame nearest its capture time, a held picture by the time it is written; the
// sound by its capture time.
//
// Time-lapse (RecordingRequest::timeLapseSeconds): the same writer, lock, hold and join, but
// one picture every so many seconds of that clock (recording/time_lapse.h), a movie at 30 fps
// and no sound at all (no sound file, so the movie has no sound stream). Frames between two
// pictures cost a clock reading: they are fitted into the movie only when a hold needs them.
//
// Threads: everything here runs on the user-interface thread. The sound recorder's messages
// come from its own thread and are handed over to this one.

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <string>

#include "common/device_sources.h"
#include "controls/ui/message_box_dialog.h"
#include "recording/leftover_recovery.h"
#include "recording/movie_join.h"
#include "recording/recording_plan.h"

class QLockFile;

namespace vistrela {

class CAviWriter;
class CWavFile;
class CxImage;
class Prompts;
struct TitleInputs;

// How a recording is started.
struct RecordingRequest {
    double measuredFps = 0;    // the rate the title shows; below 1.0 nothing starts
    double announcedFps = 0;   // the camera's own rate from its mode, 0 when it names none
    std::string saveFolder;    // where the save dialog starts
    std::string moviePath;     // the movie; "" asks with the save dialog
    bool overwrite = true;     // false: an existing file is kept and " (2)" is added
    int seconds = 0;           // > 0: the recording ends by itself after this many seconds
    int timeLapseSeconds = 0;  // 1..60: time-lapse, one picture every this many seconds; 0: normal
};

class RecordingControl : public QObject {
    Q_OBJECT
public:
    // `prompts` (not owned) shows the save dialog and every notice; `tempFolder` (ending in
    // '/') holds the temporary files; the sound comes from the input `sources` name.
    RecordingControl(Prompts& prompts, std::string tempFolder, DeviceSources sources,
                     QObject* parent = nullptr);
    // Stops a running recording and waits for its join: the movie is made before the end.
    ~RecordingControl() override;

    // True while no recording runs and no join is pending or running (the record button shows).
    bool recordIdle() const { return state_ == State::Idle; }
    bool recording() const { return state_ == State::Recording; }
    // Seconds since the recording started (the title's recording clock).
    std::uint32_t elapsedSeconds() const;
    // The recording's part of the title: the clock, and for a time-lapse its pictures and the
    // movie's length so far.
    void fillTitle(TitleInputs& in) const;

    // Starts a recording (nothing unless idle and the picture is live). The movie's folder is
    // made when missing; a folder that cannot be written is refused with a notice before
    // anything starts. `picture` is the processed picture now and `shown` its shown part: the
    // movie has the picture's size. `captureNs` is the picture's capture time (steady clock,
    // 0: now): the recording clock's zero, so the movie's frames fall on the camera's.
    // Returns whether a recording started.
    bool StartRecording(const RecordingRequest& request, const CxImage& picture,
                        const QRect& shown = {}, std::int64_t captureNs = 0);
    // The recording step of the frame pipeline: writes the shown part of `picture` as often as
    // the recording clock asks for. `captureNs`: the frame's capture time on the steady clock
    // (0: now).
    void AppendMovieFrame(const CxImage& picture, const QRect& shown = {},
                          std::int64_t captureNs = 0);
    // The camera closed or was lost: the movie holds the last picture with the notice until a
    // camera delivers again.
    void CameraAway();
    // Closes writer and recorder, shows the processing box and starts the join.
    void StopRecording();

    // Joins the pairs a crash left in the temporary folder (LeftoverRecovery). Returns how many
    // were found.
    int RecoverLeftovers(const std::string& saveFolder);
    bool recovering() const { return recovery_.running(); }

    // Blocks until every join (the recording's and the recoveries) has ended. For the end of
    // the program and tests.
    void waitForJoins();

    // For tests.
    std::int64_t framesWritten() const { return framesWritten_; }
    std::uint32_t movieFrameRate() const { return frameRate_; }
    const std::string& moviePath() const { return moviePath_; }
    const TemporaryFiles& temporaryFiles() const { return temp_; }
    CMessageBoxDialog* processingBox() const { return processingBox_.data(); }
    const LeftoverRecovery& recovery() const { return recovery_; }

signals:
    // recordIdle() changed: the record and stop buttons swap.
    void idleChanged();
    // A join of this recording ended. `ok`: the movie was made; `complete`: it holds all that
    // was asked (not cut short by a failed write or, for a timed recording, an early stop);
    // `message` explains a failure.
    void recordingJoined(bool ok, bool complete, const QString& moviePath, const QString& message);
    // A recovery ended (`message` is a one-line status for the title).
    void recoveryMessage(const QString& message);

private:
    enum class State { Idle, Recording, JoinDue, Joining };

    // Where a picture goes among the `count` frames due. Repeated frames are empty samples that
    // players show as the picture before: nothing is encoded for them.
    enum class Placement {
        Last,    // a live picture: the frames before it repeat the picture before
        First,   // a newly held picture: it, then repeats of it
        Repeat,  // the held picture is in the movie already: repeats only
    };
    // The steps of StartRecording, each false when the recording cannot start (the user was
    // told). Sets moviePath_ from the request or the save dialog and makes its folder.
    bool chooseMoviePath(const RecordingRequest& request, const std::string& defaultName);
    bool prepareFolder(const std::string& moviePath);
    // Locks the temporary pair named after `defaultName` and writes its sidecar.
    bool lockPair(const std::string& defaultName);
    // Makes the movie writer and sets the recording's clock and frame counts.
    void startPicture(const RecordingRequest& request, const CxImage& picture,
                      std::int64_t captureNs);
    // Starts the sound recorder on the recording's clock.
    void startSound();
    // Frames due at `atNs` on the recording's schedule (normal or time-lapse).
    int framesDue(std::int64_t atNs) const;
    // Writes the frames due as `placement` says (every one encoded before the first picture of
    // the file); false when a write failed (the recording stops).
    bool writePictures(const std::uint8_t* bits, int count, Placement placement);
    // The `due` frames (framesDue), with the picture placed as `placement` says, unless the
    // sound recorder failed.
    void writeDue(const std::uint8_t* bits, int due, Placement placement);
    void holdTick();
    // Stops at once after a failed write, saying so.
    void failWriting();
    void runJoin();
    void joinEnded(bool ok, const QString& message);
    void closeProcessingBox();
    void setState(State state);

    Prompts& prompts_;
    std::string tempFolder_;
    DeviceSources sources_;

    State state_ = State::Idle;
    std::unique_ptr<CAviWriter> aviWriter_;
    std::unique_ptr<CWavFile> wavRecorder_;
    TemporaryFiles temp_;
    // Taken before the pair's files are made, held until the join ended.
    std::unique_ptr<QLockFile> lock_;
    std::string moviePath_;
    std::uint32_t frameRate_ = 0;
    std::int64_t framesWritten_ = 0;
    std::int64_t frameLimit_ = 0;  // 0: none
    struct TimeLapse {
        int intervalSeconds = 0;   // 0: a normal recording
        std::int64_t earlyNs = 0;  // a picture captured this much before its time counts for it
    };
    TimeLapse timeLapse_;
    std::int64_t startNs_ = 0;  // the recording clock's zero, steady clock
    std::int64_t lastPictureNs_ = 0;
    int movieWidth_ = 0;
    int movieHeight_ = 0;
    QImage movieFrame_;  // the last fitted movie picture (movie size), also the held one
    // What the movie shows while pictures do not come.
    struct HeldPicture {
        // The last picture written as it was (not fitted): the caller's, unchanged until its
        // next frame; copied only when it is held.
        const CxImage* lastPicture = nullptr;
        QRect shown;               // its shown part, when it is fitted only once held
        bool fitPending = false;   // lastPicture still has to be fitted into the movie's size
        bool skipped = false;      // lastPicture came between two time-lapse pictures (not written)
        bool holding = false;      // pictures stopped coming: the last one is repeated
        bool away = false;         // the camera is switched, reopened or lost (CameraAway)
        bool noticeDrawn = false;  // the held picture carries the notice
        bool inMovie = false;      // the held picture, as it is now, was written once
    };
    HeldPicture held_;
    bool writeFailed_ = false;      // the recording stopped at a failed write
    bool pictureNeedsCut_ = false;  // the picture file was not ended cleanly
    QTimer holdTimer_;

    MovieJoin join_;
    QPointer<CMessageBoxDialog> processingBox_;
    LeftoverRecovery recovery_;
};

}  // namespace vistrela
