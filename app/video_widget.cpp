#include "app/video_widget.h"

#include <QCoreApplication>
#include <QPainter>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace vistrela {

namespace {

// For the start-up measurement (scripts/measure-live.sh): with VISTRELA_LAUNCH_NS set to the
// wall-clock nanoseconds of the launch, the first painted picture prints the time since then.
void reportFirstPicture() {
    // Read once: this runs for every painted frame.
    static const char* launch = std::getenv("VISTRELA_LAUNCH_NS");
    if (launch == nullptr) return;
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    std::fprintf(stderr, "first picture after %lld ms\n",
                 static_cast<long long>((now - std::atoll(launch)) / 1000000));
    if (std::getenv("VISTRELA_EXIT_AFTER_FIRST_FRAME") != nullptr)
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    launch = nullptr;  // reported
}

}  // namespace

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

    // Scaled once, from camera pixels straight to device pixels: on a dense screen the
    // destination has devicePixelRatio times as many pixels as its logical size.
    const qreal ratio = devicePixelRatioF();
    const QSize devicePixels = (QSizeF(dest.size()) * ratio).toSize();
    QImage shown = scaler_.Prepare(*image_, geometry_.sourceRect, devicePixels);
    if (shown.isNull()) {
        painter.fillRect(dest, Qt::black);
        return;
    }
    // Already scaled to the destination's device pixels: a plain copy.
    shown.setDevicePixelRatio(ratio);
    painter.drawImage(dest.topLeft(), shown);
    reportFirstPicture();
}

}  // namespace vistrela
