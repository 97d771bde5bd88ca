#include "stills/still_capture.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>

#include "common/clock.h"
#include "common/language.h"
#include "common/prompts.h"
#include "common/strings.h"
#include "settings/paths.h"

namespace vistrela {

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

namespace {

bool exists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

std::string uniqueTimeStampName(const std::string& folder, const std::string& stamp) {
    std::string path = JoinPath(folder, FormatString("%s.jpg", stamp.c_str()));
    for (int n = 2; exists(path) && n < 10000; ++n)
        path = JoinPath(folder, FormatString("%s_%d.jpg", stamp.c_str(), n));
    return path;
}

}  // namespace

std::string StillFileName(const Settings& settings, std::time_t when, Prompts& prompts) {
    switch (settings.nameMode) {
        case kNameTimeStamp: {
            std::string stamp;
            FormatTimeStamp(stamp, "%Y%m%d_%H%M%S", when);
            return uniqueTimeStampName(settings.savePath, stamp);
        }
        case kNameFixed:
            return JoinPath(settings.savePath, settings.fileName);
        case kNameAsk:
            return prompts.saveFileName("", settings.savePath, "JPG File (*.jpg)", "jpg");
        default:
            return settings.savePath;
    }
}

std::string SavedMessage(const std::string& path, const std::string& desktopFolder) {
    const QFileInfo file(QString::fromStdString(path));
    const std::string folder = file.absolutePath().toStdString();
    if (!desktopFolder.empty() && WithSlash(folder) == WithSlash(desktopFolder))
        return TrUtf8("Still", kSavedMessage);
    return QCoreApplication::translate("Still", "%1에 저장합니다")
        .arg(file.absolutePath())
        .toStdString();
}

StillOutcome SaveStill(const CxImage& picture, const std::string& path, int jpegQuality,
                       const std::string& desktopFolder, ViewState& view, double nowSec) {
    StillOutcome out;
    out.path = path;
    if (path.empty()) return out;
    const int quality = std::clamp(jpegQuality & 0xFF, 1, 99);
    out.written = picture.Save(QString::fromStdString(path), quality);
    view.statusUntil = nowSec + kStatusSeconds;
    if (out.written) {
        view.statusText = SavedMessage(path, desktopFolder);
        view.notice.Post(view.statusText + "\n" +
                             QFileInfo(QString::fromStdString(path)).fileName().toStdString(),
                         nowSec);
    } else {
        view.statusText = TrUtf8("Still", kSaveFailedMessage);
        view.notice.PostFailure(view.statusText + "\n" + path);
    }
    return out;
}

}  // namespace vistrela
