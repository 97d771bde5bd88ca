#pragma once
// The pictures a movie frame is made of, in the movie's size (fixed at the start):
//   - the picture as shown: the shown part of the processed picture (zoom and pan included),
//     scaled into the movie's size keeping its shape, black bars around;
//   - the held picture while no camera delivers: the last movie frame with a short notice
//     drawn over its lower part (black when there was none).
// Qt Gui only; any thread, one image per call.

#include <QCoreApplication>
#include <QImage>
#include <QRect>
#include <QString>

namespace vistrela {

// The notice over a held picture while the camera is switched, reopened or lost.
inline constexpr const char* kHeldPictureNotice =
    QT_TRANSLATE_NOOP("Recording", "카메라를 기다리는 중");  // translation context "Recording"

// Whether `shown` of a `pictureSize` picture can go into a movie of `movieSize` as it is.
bool PictureFitsMovie(QSize pictureSize, const QRect& shown, QSize movieSize);

// Draws `shown` of `picture` into `movie` (already of the movie's size, RGB32): scaled to fit,
// centred, black around.
void FitIntoMovie(const QImage& picture, const QRect& shown, QImage& movie);

// Draws the held-picture notice over the lower part of `movie`.
void DrawHeldNotice(QImage& movie,
                    const QString& text = QCoreApplication::translate("Recording",
                                                                      kHeldPictureNotice));

}  // namespace vistrela
