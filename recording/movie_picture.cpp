#include "recording/movie_picture.h"

#include <QFont>
#include <QPainter>
#include <algorithm>

namespace vistrela {

bool PictureFitsMovie(QSize pictureSize, const QRect& shown, QSize movieSize) {
    return pictureSize == movieSize && (shown.isEmpty() || shown == QRect(QPoint(), pictureSize));
}

void FitIntoMovie(const QImage& picture, const QRect& shown, QImage& movie) {
    movie.fill(Qt::black);
    const QRect part = shown.isEmpty() ? picture.rect() : shown.intersected(picture.rect());
    if (part.isEmpty()) return;
    const QSize size = part.size().scaled(movie.size(), Qt::KeepAspectRatio);
    QPainter painter(&movie);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(
        QRect(QPoint((movie.width() - size.width()) / 2, (movie.height() - size.height()) / 2),
              size),
        picture, part);
}

void DrawHeldNotice(QImage& movie, const QString& text) {
    if (movie.isNull()) return;
    QPainter painter(&movie);
    QFont font("NanumGothic");
    font.setPixelSize(std::max(12, movie.height() / 16));
    font.setBold(true);
    painter.setFont(font);
    const int band = font.pixelSize() * 2;
    const QRect bar(0, movie.height() - band - movie.height() / 12, movie.width(), band);
    painter.fillRect(bar, QColor(0, 0, 0, 170));
    painter.setPen(Qt::white);
    painter.drawText(bar, Qt::AlignCenter, text);
}

}  // namespace vistrela
