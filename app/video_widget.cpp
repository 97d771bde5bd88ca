#include "app/video_widget.h"

#include <QPainter>

namespace vistrela {

VideoWidget::VideoWidget(QWidget* parent) : QWidget(parent) {
    // The whole area is painted every time: Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // Mouse events belong to the main window (zoom, pan, drawing).
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void VideoWidget::showFrame(const CxImage& image, const FrameGeometry& geometry) {
    image_ = &image;
    geometry_ = geometry;
    update();
}

void VideoWidget::clearFrame() {
    image_ = nullptr;
    update();
}

void VideoWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect dest = geometry_.destRect;
    if (image_ == nullptr || !image_->IsValid() || dest.isEmpty() ||
        geometry_.sourceRect.isEmpty()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    // Black bars around the picture where the shapes differ.
    const QRegion bars = QRegion(rect()).subtracted(QRegion(dest));
    for (const QRect& r : bars) painter.fillRect(r, Qt::black);

    const QImage shown = scaler_.Prepare(*image_, geometry_.sourceRect, dest.size());
    if (shown.isNull()) {
        painter.fillRect(dest, Qt::black);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(dest, shown);
}

}  // namespace vistrela
