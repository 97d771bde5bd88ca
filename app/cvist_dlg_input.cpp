// The main window's keyboard and mouse: shortcuts, the wheel zoom, the right-button pan and
// the pen and eraser strokes of the left button.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "annotation/overlay.h"
#include "app/command_ids.h"
#include "app/cvist_dlg.h"
#include "app/video_widget.h"
#include "controls/panel_buttons.h"
#include "viewer/view_controls.h"

namespace vistrela {

void CvistDlg::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
        case Qt::Key_Escape:
            closeRequest();
            return;
        case Qt::Key_F11:
        case Qt::Key_F:
            if (ctrl) break;
            onCommand(windowed ? IDC_FULL_SCREEN : IDC_WINDOWED);
            return;
        case Qt::Key_R:
            if (ctrl) break;
            onCommand(IDC_ROTATE);
            return;
        case Qt::Key_S:
            if (!ctrl) break;
            onCommand(IDC_SAVE_PICTURE);
            return;
        case Qt::Key_K:
            if (!ctrl) break;
            onCommand(cmd::CameraSettings);
            return;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            // One wheel step towards the user (a negative delta) magnifies.
            WheelZoom(theView, -120);
            return;
        case Qt::Key_Minus:
            WheelZoom(theView, 120);
            return;
        case Qt::Key_0:
            onCommand(IDC_RESET_VIEW);
            return;
        case Qt::Key_F1:
            onCommand(cmd::AboutBox);
            return;
        default:
            break;
    }
    QWidget::keyPressEvent(event);  // not QDialog's: Enter must not end the dialog
}

void CvistDlg::wheelEvent(QWheelEvent* event) {
    WheelZoom(theView, event->angleDelta().y());
    event->accept();
}

void CvistDlg::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const VideoArea area = pictureArea();
    if (event->button() == Qt::RightButton) {
        PanDragDown(panDrag_, theView, p.x(), p.y());
    } else if (event->button() == Qt::LeftButton) {
        if (p.x() < 0 || p.y() < 0 || p.x() >= area.width || p.y() >= area.height || strokeActive_)
            return;
        strokeActive_ = true;
        if (pipe_.drawMode != DRAW_ERASE) pipe_.drawMode = DRAW_PEN;
        strokeLast_ = PointerToFrame(theView, area, p.x(), p.y());
        theView.markerX = strokeLast_.x;
        theView.markerY = strokeLast_.y;
    }
}

void CvistDlg::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const VideoArea area = pictureArea();
    if (pipe_.drawMode > DRAW_STAMP) {
        const PicturePoint at = PointerToFrame(theView, area, p.x(), p.y());
        theView.markerX = at.x;
        theView.markerY = at.y;
    }
    // A release outside the window never arrives; the missing button ends the stroke.
    if (strokeActive_ && !(event->buttons() & Qt::LeftButton)) strokeActive_ = false;
    if (strokeActive_) {
        const PicturePoint at{theView.markerX, theView.markerY};
        if (pipe_.drawMode == DRAW_PEN)
            DrawPenSegment(pipe_.overlayImage, strokeLast_.x, strokeLast_.y, at.x, at.y);
        else if (pipe_.drawMode == DRAW_ERASE)
            EraseBlock(pipe_.overlayImage, at.x, at.y);
        strokeLast_ = at;
    }
    PanDragMove(panDrag_, theView, p.x(), p.y(), event->buttons() & Qt::RightButton);
}

void CvistDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) PanDragUp(panDrag_);
    if (event->button() == Qt::LeftButton) strokeActive_ = false;
}

}  // namespace vistrela
