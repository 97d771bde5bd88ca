#pragma once
// The video area: the widget the live picture is painted into. It only paints what the frame
// pipeline produced (the shown part of the processed picture, at the destination rectangle,
// with black around it); it never computes anything about the picture itself.

#include <QImage>
#include <QRect>
#include <QWidget>

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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CxImage* image_ = nullptr;
    FrameGeometry geometry_;
    DisplayScaler scaler_;
};

}  // namespace vistrela
