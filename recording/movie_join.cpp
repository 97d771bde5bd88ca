#include "recording/movie_join.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/strings.h"
#include "recording/leftover_files.h"
#include "recording/recording_plan.h"
#include "settings/paths.h"

namespace vistrela {

namespace {

// ffmpeg reads "name:rest" as a protocol and "-name" as an option; "file:" with an absolute
// path is always the plain file.
QString FileArgument(const std::string& path) {
    return "file:" + QFileInfo(QString::fromStdString(path)).absoluteFilePath();
}

QString LastLine(const QByteArray& text) {
    const QList<QByteArray> lines = text.split('\n');
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        const QByteArray line = it->trimmed();
        if (!line.isEmpty()) return QString::fromUtf8(line);
    }
    return {};
}

}  // namespace

QString FfmpegProgram() {
    const QString local = QString::fromStdString(appDir()) + "ffmpeg";
    const QFileInfo info(local);
    if (info.isFile() && info.isExecutable()) return local;
    return "ffmpeg";
}

QStringList JoinArguments(const JoinJob& job, const std::string& outputPath) {
    const bool mp4 = IsMp4Movie(job.moviePath);
    const bool picture = !job.picturePath.empty();
    const bool sound = !job.soundPath.empty();
    QStringList args{"-nostdin", "-y",       "-hide_banner", "-loglevel",
                     "error",    "-nostats", "-progress",    "pipe:1"};
    if (picture) args << "-i" << FileArgument(job.picturePath);
    if (sound) {
        // MP3 in AVI plays its encoder delay as silence first: skip that much of the sound.
        if (!mp4) args << "-ss" << QString::number(kMp3DelaySeconds, 'f', 6);
        // The sound lasts as long as the picture, also when a cut-short picture ends first.
        if (picture && job.durationSeconds > 0)
            args << "-t" << QString::number(job.durationSeconds, 'f', 3);
        args << "-i" << FileArgument(job.soundPath);
    }
    if (picture)
        args << "-map"
             << "0:v:0"
             << "-c:v"
             << "copy";
    if (sound) {
        args << "-map" << QString(picture ? "1:a:0" : "0:a:0");
        // AAC's fast coder takes half the time of the default one for speech at this rate.
        if (mp4)
            args << "-c:a"
                 << "aac"
                 << "-aac_coder"
                 << "fast"
                 << "-b:a"
                 << "96k";
        else
            args << "-c:a"
                 << "libmp3lame"
                 << "-b:a"
                 << "64k";
    }
    if (mp4)
        args << "-movflags"
             << "+faststart";
    // The encoder's delay gives the first sound packets negative times; shifting every stream
    // to make them positive would move the picture by whole frames in an AVI file, whose sound
    // already starts that much later (skipped above).
    if (!mp4 && sound)
        args << "-avoid_negative_ts"
             << "disabled";
    args << "-f" << (mp4 ? "mp4" : "avi") << FileArgument(outputPath);
    return args;
}

int JoinProgressPercent(const QString& line, double durationSeconds) {
    if (line.trimmed() == "progress=end") return 100;
    // ffmpeg writes the same microseconds under both names (out_time_ms is misnamed).
    for (const char* key : {"out_time_us=", "out_time_ms="}) {
        if (!line.startsWith(key)) continue;
        bool ok = false;
        const qint64 us = line.mid(static_cast<int>(std::strlen(key))).trimmed().toLongLong(&ok);
        if (!ok || us < 0 || !(durationSeconds > 0)) return -1;
        return static_cast<int>(std::clamp(us / 1e6 / durationSeconds * 100.0, 0.0, 99.0));
    }
    return -1;
}

MovieJoin::MovieJoin(QObject* parent) : QObject(parent) {
    connect(&process_, &QProcess::readyReadStandardOutput, this, &MovieJoin::readProgress);
    connect(&process_, &QProcess::readyReadStandardError, this, &MovieJoin::readErrors);
    connect(&process_, &QProcess::finished, this, &MovieJoin::end);
    connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) end(-1, QProcess::CrashExit);
    });
}

MovieJoin::~MovieJoin() {
    waitForEnd();
}

void MovieJoin::start(const JoinJob& job) {
    job_ = job;
    // The output takes its final name only once it is whole; an existing movie of that name
    // stays until then.
    partPath_ = job.moviePath + ".part";
    lastErrorLine_.clear();
    progressBuffer_.clear();
    errorBuffer_.clear();
    lastPercent_ = -1;
    running_ = true;
    process_.start(FfmpegProgram(), JoinArguments(job, partPath_));
}

void MovieJoin::waitForEnd() {
    if (!running_) return;
    // waitForFinished delivers the finished signal itself.
    if (process_.state() != QProcess::NotRunning) process_.waitForFinished(-1);
    // A process that never started (or whose end was not delivered) ends here.
    if (running_) end(process_.exitCode(), process_.exitStatus());
}

void MovieJoin::readProgress() {
    progressBuffer_ += process_.readAllStandardOutput();
    int newline;
    while ((newline = progressBuffer_.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(progressBuffer_.left(newline));
        progressBuffer_.remove(0, newline + 1);
        const int percent = JoinProgressPercent(line, job_.durationSeconds);
        if (percent >= 0 && percent != lastPercent_) {
            lastPercent_ = percent;
            emit progress(percent);
        }
    }
}

void MovieJoin::readErrors() {
    errorBuffer_ += process_.readAllStandardError();
    const QString line = LastLine(errorBuffer_);
    if (!line.isEmpty()) lastErrorLine_ = line;
    // Only the last line matters; keep the buffer small on a chatty failure.
    if (errorBuffer_.size() > 8192) errorBuffer_ = errorBuffer_.right(4096);
}

void MovieJoin::end(int exitCode, QProcess::ExitStatus status) {
    if (!running_) return;
    running_ = false;
    readErrors();
    const QString part = QString::fromStdString(partPath_);
    const QString movie = QString::fromStdString(job_.moviePath);
    bool ok = status == QProcess::NormalExit && exitCode == 0 && QFileInfo(part).size() > 0;
    if (ok && !job_.sidecarPath.empty()) {
        // From here the movie is whole: a crash before the rename only has to rename it.
        const std::string& sidecar = job_.sidecarPath;
        WriteSidecar(sidecar.substr(0, sidecar.size() - SidecarPath("").size()),
                     Sidecar{job_.moviePath, true});
    }
    if (ok) {
        QFile::remove(movie);
        ok = QFile::rename(part, movie);
        if (!ok) lastErrorLine_ = "could not rename " + part;
    } else if (process_.error() == QProcess::FailedToStart) {
        lastErrorLine_ = FfmpegProgram() + ": " + process_.errorString();
    }
    if (!ok) {
        QFile::remove(part);
        QStringList keptFiles;
        for (const std::string& path : {job_.picturePath, job_.soundPath})
            if (!path.empty()) keptFiles << QString::fromStdString(path);
        const QString kept = keptFiles.join(", ");
        emit finished(false,
                      tr("동영상을 만들지 못했습니다: %1\n녹화한 파일은 "
                         "지우지 않고 남겨 두었습니다: %2")
                              .arg(movie, kept) +
                          (lastErrorLine_.isEmpty() ? QString() : "\nffmpeg: " + lastErrorLine_));
        return;
    }
    if (!job_.picturePath.empty()) QFile::remove(QString::fromStdString(job_.picturePath));
    if (!job_.soundPath.empty()) QFile::remove(QString::fromStdString(job_.soundPath));
    if (!job_.sidecarPath.empty()) QFile::remove(QString::fromStdString(job_.sidecarPath));
    if (lastPercent_ != 100) emit progress(100);
    emit finished(true, {});
}

}  // namespace vistrela
