#include "stills/still_capture.h"

#include <QFileInfo>
#include <algorithm>

#include "common/clock.h"
#include "common/prompts.h"
#include "common/strings.h"

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

StillOutcome SaveStill(const CxImage& picture, const std::string& path, int jpegQuality,
                       ViewState& view, double nowSec) {
    StillOutcome out;
    out.path = path;
    if (path.empty()) return out;
    const int quality = std::clamp(jpegQuality & 0xFF, 1, 99);
    out.written = picture.Save(QString::fromStdString(path), quality);
    view.statusText = out.written ? kSavedMessage : kSaveFailedMessage;
    view.statusUntil = nowSec + kStatusSeconds;
    return out;
}

}  // namespace vistrela
