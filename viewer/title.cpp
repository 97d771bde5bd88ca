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

}  // namespace

std::string ComposeTitle(const TitleInputs& in) {
    if (in.recording) {
        const unsigned minutes = in.recordingSeconds / 60;
        const unsigned seconds = in.recordingSeconds % 60;
        std::string title = CutUtf8(
            FormatString("%s  [%d,%d] fps:%.2f [%s %02u:%02u]", kProductTitle, in.frameWidth,
                         in.frameHeight, in.fps,
                         QCoreApplication::translate("Title", "녹화중..").toStdString().c_str(),
                         minutes, seconds),
            kTitleMaxBytes);
        if (in.timeLapseSeconds > 0) {
            const QString movie =
                QString::asprintf("%02u:%02u", in.movieSeconds / 60, in.movieSeconds % 60);
            join(title,
                 QCoreApplication::translate("Title", "[저속 촬영 %1초마다: %2장, 동영상 %3]")
                     .arg(in.timeLapseSeconds)
                     .arg(static_cast<long long>(in.timeLapseFrames))
                     .arg(movie)
                     .toStdString());
        }
        // A held picture is what the movie gets meanwhile: say so while recording too.
        if (in.frozen) join(title, QCoreApplication::translate("Title", "[정지]").toStdString());
        return title;
    }
    std::string title = CutUtf8(
        FormatString("%s  [%d,%d] fps:%.2f", kProductTitle, in.videoWidth, in.videoHeight, in.fps),
        kTitleMaxBytes);
    if (in.rotation > 0) join(title, FormatString(" Rot:%d", in.rotation));
    join(title, FormatString("  Zoom:%.2fx", in.zoom != 0.0 ? 1.0 / in.zoom : 0.0));
    if (in.showStatus) join(title, " [" + in.statusText + "]");
    if (in.frozen) join(title, QCoreApplication::translate("Title", "[정지]").toStdString());
    return title;
}

}  // namespace vistrela
