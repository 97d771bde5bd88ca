#include "viewer/title.h"

#include <QCoreApplication>

#include "common/strings.h"

namespace vistrela {
namespace {

constexpr std::size_t kTitleMaxBytes = 199;
constexpr std::size_t kPieceMaxBytes = 99;

void join(std::string& title, const std::string& piece) {
    title = CutUtf8(title + " " + CutUtf8(piece, kPieceMaxBytes), kTitleMaxBytes);
}

// Minutes and seconds, "mm:ss".
std::string Clock(unsigned seconds) {
    return FormatString("%02u:%02u", seconds / 60, seconds % 60);
}

}  // namespace

std::string ComposeTitle(const TitleInputs& in) {
    std::string title;
    if (in.recording) {
        title = CutUtf8(
            FormatString("%s  [%d,%d] fps:%.2f [%s %s]", kProductTitle, in.frameWidth,
                         in.frameHeight, in.fps,
                         QCoreApplication::translate("Title", "녹화중..").toStdString().c_str(),
                         Clock(in.recordingSeconds).c_str()),
            kTitleMaxBytes);
        if (in.timeLapseSeconds > 0) {
            join(title,
                 QCoreApplication::translate("Title", "[저속 촬영 %1초마다: %2장, 동영상 %3]")
                     .arg(in.timeLapseSeconds)
                     .arg(static_cast<long long>(in.timeLapseFrames))
                     .arg(QString::fromStdString(Clock(in.movieSeconds)))
                     .toStdString());
        }
    } else {
        title = CutUtf8(FormatString("%s  [%d,%d] fps:%.2f", kProductTitle, in.videoWidth,
                                     in.videoHeight, in.fps),
                        kTitleMaxBytes);
        if (in.rotation > 0) join(title, FormatString(" Rot:%d", in.rotation));
        join(title, FormatString("  Zoom:%.2fx", in.zoom != 0.0 ? 1.0 / in.zoom : 0.0));
        if (in.showStatus) join(title, " [" + in.statusText + "]");
    }
    // While recording too: a held picture is what the movie gets meanwhile.
    if (in.frozen) join(title, QCoreApplication::translate("Title", "[정지]").toStdString());
    return title;
}

}  // namespace vistrela
