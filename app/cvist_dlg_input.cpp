// The main window's keyboard and mouse: keys through the command table, the wheel zoom, the
// right-button pan and the pen and eraser strokes of the left button.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "annotation/overlay.h"
#include "app/commands.h"
#include "app/cvist_dlg.h"
#include "app/video_widget.h"
#include "controls/panel_buttons.h"
#include "viewer/view_controls.h"

namespace vistrela {

void CvistDlg::keyPressEvent(QKeyEvent* event) {
    if (const CommandEntry* entry = findCommandForKey(event->keyCombination())) {
        runCommand(*entry);
        return;
    }
    QWidget::keyPressEvent(event);  // not QDialog's: Enter must not end the dialog
}

void CvistDlg::wheelEvent(QWheelEvent* event) {
    WheelZoom(ctx_.view, event->angleDelta().y());
    event->accept();
}

void CvistDlg::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const VideoArea area = pictureArea();
    if (event->button() == Qt::RightButton) {
        PanDragDown(panDrag_, ctx_.view, p.x(), p.y());
    } else if (event->button() == Qt::LeftButton) {
        if (p.x() < 0 || p.y() < 0 || p.x() >= area.width || p.y() >= area.height || strokeActive_)
            return;
        strokeActive_ = true;
        if (pipe_.drawMode != DRAW_ERASE) pipe_.drawMode = DRAW_PEN;
        strokeLast_ = PointerToFrame(ctx_.view, area, p.x(), p.y());
        ctx_.view.markerX = strokeLast_.x;
        ctx_.view.markerY = strokeLast_.y;
    }
}

void CvistDlg::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const VideoArea area = pictureArea();
    if (pipe_.drawMode > DRAW_STAMP) {
        const PicturePoint at = PointerToFrame(ctx_.view, area, p.x(), p.y());
        ctx_.view.markerX = at.x;
        ctx_.view.markerY = at.y;
    }
    // A release outside the window never arrives; the missing button ends the stroke.
    if (strokeActive_ && !(event->buttons() & Qt::LeftButton)) strokeActive_ = false;
    if (strokeActive_) {
        const PicturePoint at{ctx_.view.markerX, ctx_.view.markerY};
        if (pipe_.drawMode == DRAW_PEN)
            DrawPenSegment(pipe_.overlayImage, strokeLast_.x, strokeLast_.y, at.x, at.y);
        else if (pipe_.drawMode == DRAW_ERASE)
            EraseBlock(pipe_.overlayImage, at.x, at.y);
        strokeLast_ = at;
    }
    PanDragMove(panDrag_, ctx_.view, p.x(), p.y(), event->buttons() & Qt::RightButton);
}

void CvistDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) PanDragUp(panDrag_);
    if (event->button() == Qt::LeftButton) strokeActive_ = false;
}

}  // namespace vistrela
