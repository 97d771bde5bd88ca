#include "recording/recording_plan.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>
#include <algorithm>
#include <cctype>
#include <cmath>

#include "common/clock.h"
#include "common/strings.h"
#include "recording/avi_codes.h"
#include "settings/paths.h"

namespace vistrela {

namespace {

constexpr const char* kTempPrefix = "tmp_Vistrela_";
constexpr const char* kTempMovieSuffix = ".avi.avi";
constexpr const char* kTempSoundSuffix = ".avi.wav";

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
    const std::string app = appDir();
    if (!app.empty() && QFileInfo(QString::fromStdString(app)).isWritable()) return app;
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

int PicturesDue(double elapsedSeconds, std::uint32_t frameRate, std::int64_t framesWritten) {
    const double due = std::trunc(elapsedSeconds * frameRate);
    const double n = due - static_cast<double>(framesWritten);
    if (n < 0) return 0;
    return static_cast<int>(std::min<double>(n, MAX_CATCHUP)) + 1;
}

std::vector<LeftoverRecording> FindLeftoverRecordings(const std::string& folder,
                                                      const std::vector<std::string>& busy) {
    std::vector<LeftoverRecording> found;
    const QDir dir(QString::fromStdString(folder));
    const QStringList names =
        dir.entryList({QString(kTempPrefix) + "*" + kTempMovieSuffix}, QDir::Files, QDir::Name);
    for (const QString& qname : names) {
        const std::string name = qname.toStdString();
        const std::string stamp = name.substr(
            std::string(kTempPrefix).size(),
            name.size() - std::string(kTempPrefix).size() - std::string(kTempMovieSuffix).size());
        if (!IsStamp(stamp)) continue;
        LeftoverRecording r;
        r.moviePath = WithSlash(folder) + name;
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
