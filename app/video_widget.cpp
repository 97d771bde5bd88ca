#include "app/video_widget.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QTimer>
#include <algorithm>
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

constexpr int kNoticePoints = 14;
constexpr int kNoticePadding = 10;  // pixels around the text inside the box
constexpr int kNoticeMargin = 12;   // pixels from the area's top and sides

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
    if (image_ == nullptr) return;  // already black (a blanked screen clears every frame)
    image_ = nullptr;
    update();
}

void VideoWidget::setNotice(const QString& text, bool failure) {
    if (text == notice_ && failure == noticeFailure_) return;
    notice_ = text;
    noticeFailure_ = failure;
    update();
}

void VideoWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintFrame(painter);
    paintNotice(painter);
}

void VideoWidget::paintFrame(QPainter& painter) {
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

QFont VideoWidget::noticeFont() const {
    QFont f = font();
    f.setPointSize(kNoticePoints);
    f.setBold(true);
    return f;
}

QRect VideoWidget::noticeRect() const {
    if (notice_.isEmpty()) return {};
    const QFontMetrics metrics(noticeFont());
    const QStringList lines = notice_.split('\n');
    int textWidth = 0;
    for (const QString& line : lines)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    // A few pixels to spare: the advance is rounded, and a line must not be cut for that.
    const int w = std::min(textWidth + 2 * kNoticePadding + 4, width() - 2 * kNoticeMargin);
    const int h = int(lines.size()) * metrics.lineSpacing() + 2 * kNoticePadding;
    return QRect((width() - w) / 2, kNoticeMargin, std::max(w, 0), h);
}

void VideoWidget::paintNotice(QPainter& painter) {
    const QRect box = noticeRect();
    if (box.isEmpty()) return;
    painter.fillRect(box, QColor(noticeFailure_ ? kFailureBox : kNoticeBox));
    painter.setFont(noticeFont());
    painter.setPen(Qt::white);
    const QFontMetrics metrics(painter.font());
    const QRect text = box.adjusted(kNoticePadding, kNoticePadding, -kNoticePadding, 0);
    int y = text.top();
    // A path too long for the area keeps its end, where the file's name is.
    for (const QString& line : notice_.split('\n')) {
        painter.drawText(QRect(text.left(), y, text.width(), metrics.lineSpacing()),
                         Qt::AlignHCenter | Qt::AlignVCenter,
                         metrics.elidedText(line, Qt::ElideLeft, text.width()));
        y += metrics.lineSpacing();
    }
}

}  // namespace vistrela
