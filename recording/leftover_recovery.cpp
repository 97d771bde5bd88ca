#include "recording/leftover_recovery.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include "common/prompts.h"
#include "recording/leftover_files.h"
#include "settings/paths.h"

namespace vistrela {

namespace {

QString Q(const std::string& path) {
    return QString::fromStdString(path);
}

}  // namespace

LeftoverRecovery::LeftoverRecovery(Prompts& prompts, std::string tempFolder, QObject* parent)
    : QObject(parent), prompts_(prompts), tempFolder_(WithSlash(tempFolder)) {
    connect(&join_, &MovieJoin::finished, this, &LeftoverRecovery::joined);
}

LeftoverRecovery::~LeftoverRecovery() {
    queue_.clear();
    waitForEnd();
}

int LeftoverRecovery::Recover(const std::string& saveFolder, const std::vector<std::string>& busy) {
    std::vector<std::string> skip = busy;
    for (const LeftoverRecording& r : queue_) skip.push_back(r.moviePath);
    if (running_) skip.push_back(current_.moviePath);
    const std::vector<LeftoverRecording> found = FindLeftoverRecordings(tempFolder_, skip);
    saveFolder_ = WithSlash(saveFolder.empty() ? HomeFolder() : saveFolder);
    queue_.insert(queue_.end(), found.begin(), found.end());
    if (!found.empty()) {
        emit message(
            tr("중단된 녹화 %1개를 동영상으로 저장하는 중").arg(static_cast<int>(found.size())));
    }
    startNext();
    return static_cast<int>(found.size());
}

void LeftoverRecovery::waitForEnd() {
    while (running_) join_.waitForEnd();
}

void LeftoverRecovery::startNext() {
    while (!running_ && !queue_.empty()) {
        const LeftoverRecording next = queue_.front();
        queue_.pop_front();
        // A pair whose recording still runs in another instance is locked: not a leftover.
        lock_ = LockPair(next.moviePath);
        if (lock_ && !start(next)) lock_.reset();
    }
}

bool LeftoverRecovery::start(const LeftoverRecording& next) {
    current_ = next;
    const std::optional<Sidecar> sidecar = ReadSidecar(next.moviePath);
    if (sidecar && sidecar->joined) {
        // ffmpeg had finished; only the rename was left.
        const QString part = Q(sidecar->moviePath + ".part");
        if (QFileInfo(part).size() > 0) {
            QFile::remove(Q(sidecar->moviePath));
            QFile::rename(part, Q(sidecar->moviePath));
        }
        if (QFileInfo(Q(sidecar->moviePath)).size() > 0) {
            removePair(next);
            emit message(tr("중단된 녹화를 동영상으로 저장했습니다"));
            return false;
        }
    }
    const bool pictureFile = QFileInfo(Q(next.moviePath)).size() > 0;
    const AviCut cut = pictureFile ? CutAviAtLastFrame(next.moviePath) : AviCut{};
    const std::int64_t soundBytes = next.soundPath.empty() ? -1 : RepairWavSizes(next.soundPath);
    const bool picture = cut.readable && cut.frames > 0;
    const bool sound = soundBytes > 0;
    if (!picture && !sound) {
        moveToBroken(next);
        return false;
    }
    JoinJob job;
    job.picturePath = picture ? next.moviePath : std::string();
    job.soundPath = sound ? next.soundPath : std::string();
    job.durationSeconds = cut.seconds();
    job.moviePath = FreeMovieName(sidecar ? sidecar->moviePath : saveFolder_ + next.movieName);
    QDir().mkpath(QFileInfo(Q(job.moviePath)).path());
    if (QFileInfo::exists(Q(SidecarPath(next.moviePath))))
        job.sidecarPath = SidecarPath(next.moviePath);
    running_ = true;
    join_.start(job);
    return true;
}

void LeftoverRecovery::joined(bool ok, const QString&) {
    running_ = false;
    if (ok) {
        // The join removed the pair's files; an empty picture file it did not use goes too.
        removePair(current_);
        emit message(tr("중단된 녹화를 동영상으로 저장했습니다"));
    } else {
        moveToBroken(current_);
    }
    lock_.reset();
    startNext();
}

void LeftoverRecovery::removePair(const LeftoverRecording& pair) {
    for (const std::string& path : {pair.moviePath, pair.soundPath, SidecarPath(pair.moviePath)})
        if (!path.empty()) QFile::remove(Q(path));
    const std::string sound = pair.moviePath.substr(0, pair.moviePath.size() - 4) + ".wav";
    QFile::remove(Q(sound));
}

void LeftoverRecovery::moveToBroken(const LeftoverRecording& pair) {
    const QString folder = Q(brokenFolder());
    QDir().mkpath(folder);
    const std::string sound = pair.moviePath.substr(0, pair.moviePath.size() - 4) + ".wav";
    for (const std::string& path : {pair.moviePath, sound, SidecarPath(pair.moviePath)}) {
        if (!QFileInfo::exists(Q(path))) continue;
        const QString target = folder + QFileInfo(Q(path)).fileName();
        QFile::remove(target);
        if (!QFile::rename(Q(path), target)) QFile::remove(Q(path));
    }
    // Said once: the pair is out of the temporary folder and never tried again.
    prompts_.notice("Vistrela", tr("중단된 녹화를 동영상으로 만들 수 없어 옮겨 두었습니다: %1")
                                    .arg(folder + QFileInfo(Q(pair.moviePath)).fileName())
                                    .toStdString());
    emit message(tr("중단된 녹화를 동영상으로 만들지 못했습니다"));
}

}  // namespace vistrela
