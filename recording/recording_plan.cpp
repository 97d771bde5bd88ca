#include "recording/recording_plan.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "common/clock.h"
#include "common/strings.h"
#include "recording/avi_codes.h"
#include "settings/paths.h"

namespace vistrela {

namespace {

constexpr const char* kTempPrefix = "tmp_Vistrela_";
constexpr const char* kTempMovieSuffix = ".avi.avi";
constexpr const char* kTempSoundSuffix = ".avi.wav";
constexpr const char* kTempSidecarSuffix = ".avi.avi.movie";

bool IsStamp(const std::string& s) {
    if (s.size() != 15 || s[8] != '_') return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i != 8 && !std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    }
    return true;
}

}  // namespace

std::string RecordingStamp(std::time_t when) {
    std::string stamp;
    FormatTimeStamp(stamp, "%Y%m%d_%H%M%S", when);
    return stamp;
}

std::string DefaultMovieName(const std::string& stamp) {
    return "Vistrela_" + stamp + ".avi";
}

TemporaryFiles TemporaryFilesFor(const std::string& folder, const std::string& defaultName) {
    return {folder + "tmp_" + defaultName + ".avi", folder + "tmp_" + defaultName + ".wav"};
}

std::string RecordingTempFolder() {
    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) cache = QDir::homePath() + "/.cache";
    const QString folder = cache + "/vistrela";
    QDir().mkpath(folder);
    return WithSlash(folder.toStdString());
}

std::uint32_t MovieFrameRate(double fps) {
    if (!(fps > 0.0)) return 1;
    const double whole = std::round(fps);
    const double rate = std::fabs(fps - whole) <= 0.1 ? whole : std::trunc(fps);
    return static_cast<std::uint32_t>(std::clamp(rate, 1.0, 30.0));
}

bool IsMp4Movie(const std::string& moviePath) {
    return EndsWithNoCase(moviePath, ".mp4");
}

std::uint32_t MovieCodecFor(const std::string& moviePath) {
    return IsMp4Movie(moviePath) ? FourCC("H264") : FourCC("XVID");
}

int PicturesDue(double elapsedSeconds, std::uint32_t frameRate, std::int64_t framesWritten,
                int maxWrites) {
    const double due = std::trunc(elapsedSeconds * frameRate);
    const double n = due - static_cast<double>(framesWritten);
    if (n < 0) return 0;
    return static_cast<int>(std::min<double>(n + 1, std::max(1, maxWrites)));
}

std::string FreeMovieName(const std::string& path) {
    if (!QFileInfo::exists(QString::fromStdString(path))) return path;
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    const std::string stem = hasExt ? path.substr(0, dot) : path;
    const std::string ext = hasExt ? path.substr(dot) : "";
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

std::vector<LeftoverRecording> FindLeftoverRecordings(const std::string& folder,
                                                      const std::vector<std::string>& busy) {
    std::vector<LeftoverRecording> found;
    const QDir dir(QString::fromStdString(folder));
    // A pair is known by any of its files: the sound starts before the first picture is
    // written, and the sidecar before both.
    const QStringList names = dir.entryList({QString(kTempPrefix) + "*"}, QDir::Files, QDir::Name);
    std::vector<std::string> stamps;
    for (const QString& qname : names) {
        const std::string name = qname.toStdString();
        for (const char* suffix : {kTempMovieSuffix, kTempSoundSuffix, kTempSidecarSuffix}) {
            if (!EndsWithNoCase(name, suffix)) continue;
            const std::size_t prefix = std::string(kTempPrefix).size();
            if (name.size() < prefix + std::strlen(suffix)) continue;
            const std::string stamp =
                name.substr(prefix, name.size() - prefix - std::strlen(suffix));
            if (IsStamp(stamp) && std::find(stamps.begin(), stamps.end(), stamp) == stamps.end())
                stamps.push_back(stamp);
        }
    }
    std::sort(stamps.begin(), stamps.end());
    for (const std::string& stamp : stamps) {
        LeftoverRecording r;
        r.moviePath = WithSlash(folder) + kTempPrefix + stamp + kTempMovieSuffix;
        if (std::find(busy.begin(), busy.end(), r.moviePath) != busy.end()) continue;
        const std::string sound = WithSlash(folder) + kTempPrefix + stamp + kTempSoundSuffix;
        if (QFileInfo(QString::fromStdString(sound)).size() > 0) r.soundPath = sound;
        r.stamp = stamp;
        r.movieName = DefaultMovieName(stamp);
        found.push_back(std::move(r));
    }
    return found;
}

}  // namespace vistrela
