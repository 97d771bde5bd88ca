#pragma once
// The join: `ffmpeg` puts the recorded picture (already encoded) and the sound into the movie
// the user chose. The picture is copied, the sound encoded (MP3 in .avi, AAC in .mp4). The
// process runs with an argument list, never through a shell, and is waited for without
// blocking: progress and the end arrive as signals on the thread that owns the object.
//
// Nothing is lost: the output is written under a temporary name beside the movie and renamed
// only after ffmpeg succeeded (the sidecar says so first, so a crash before the rename is
// finished at the next start), and the temporary inputs are removed only then. A failed join
// keeps them and says where they are, with ffmpeg's last error line.

#include <QObject>
#include <QProcess>
#include <QStringList>
#include <string>

namespace vistrela {

struct JoinJob {
    std::string picturePath;     // the temporary movie holding the encoded picture, or "" for
                                 // a movie of the sound alone (all a crash left)
    std::string soundPath;       // the temporary sound file, or "" for a movie without sound
    std::string moviePath;       // the movie to make (.avi or .mp4)
    double durationSeconds = 0;  // the picture's length: the progress figure, and the sound is
                                 // cut to it (0: not cut)
    std::string sidecarPath;     // the pair's sidecar (leftover_files.h), or ""; marked
                                 // "joined" before the rename and removed with the pair
};

// The encoder delay of MP3 at the recording's rate (LAME's 576 + 529 samples of 22050): an AVI
// file cannot say it, so the sound is started this much later to stay in step.
inline constexpr double kMp3DelaySeconds = 1105.0 / 22050.0;

// The ffmpeg program: `ffmpeg` in the program's folder when present there, else from PATH.
QString FfmpegProgram();

// ffmpeg's arguments for `job`, writing to `outputPath` (format from the movie's extension).
QStringList JoinArguments(const JoinJob& job, const std::string& outputPath);

// Percentage done from one line of `-progress` output ("out_time_us=…"), or -1 when the line
// says nothing about it. "progress=end" gives 100.
int JoinProgressPercent(const QString& line, double durationSeconds);

class MovieJoin : public QObject {
    Q_OBJECT
public:
    explicit MovieJoin(QObject* parent = nullptr);
    // Waits for a running join: the movie is never left half written by the program's end.
    ~MovieJoin() override;

    // Starts the join; finished() follows in every case (also when ffmpeg cannot start).
    void start(const JoinJob& job);
    bool running() const { return running_; }
    // Blocks until the running join has ended and finished() was emitted. For the program's
    // end and tests only.
    void waitForEnd();

signals:
    void progress(int percent);
    // `message` is empty on success, else the Korean explanation with the kept files.
    void finished(bool ok, const QString& message);

private:
    void readProgress();
    void readErrors();
    void end(int exitCode, QProcess::ExitStatus status);

    QProcess process_;
    JoinJob job_;
    std::string partPath_;
    QString lastErrorLine_;
    QByteArray progressBuffer_;
    QByteArray errorBuffer_;
    int lastPercent_ = -1;
    bool running_ = false;
};

}  // namespace vistrela
