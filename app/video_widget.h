#pragma once
// The video area: the widget the live picture is painted into. It only paints what the frame
// pipeline produced (the shown part of the processed picture, at the destination rectangle,
// with black around it) and, over it, the window's notice (a box at the top); it never
// computes anything about the picture itself.

#include <QFont>
#include <QImage>
#include <QRect>
#include <QRgb>
#include <QWidget>

class QPainter;

#include "viewer/display_scale.h"
#include "viewer/geometry.h"
#include "viewer/image.h"

namespace vistrela {

class VideoWidget : public QWidget {
    Q_OBJECT
public:
    explicit VideoWidget(QWidget* parent);

    // Paints `image` (kept by reference; it must live while shown) as `geometry` says.
    // Called once per processed frame.
    void showFrame(const CxImage& image, const FrameGeometry& geometry);
    // Forgets the picture (camera closed): the area shows black.
    void clearFrame();
    // The notice painted over the picture ("" for none): lines of `text`, in a red box for a
    // failure. Repaints only when it changes.
    void setNotice(const QString& text, bool failure);
    QString noticeText() const { return notice_; }
    // Where the notice box is painted (empty without a notice).
    QRect noticeRect() const;
    static constexpr QRgb kNoticeBox = qRgb(30, 30, 30);
    static constexpr QRgb kFailureBox = qRgb(170, 20, 20);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CxImage* image_ = nullptr;
    void paintFrame(QPainter& painter);
    void paintNotice(QPainter& painter);
    QFont noticeFont() const;

    FrameGeometry geometry_;
    DisplayScaler scaler_;
    QString notice_;
    bool noticeFailure_ = false;
};

}  // namespace vistrela
