// The main window's keyboard and mouse: keys through the command table and the ink commands,
// the wheel zoom, the right-button pan and the ink and eraser strokes of the left button.

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "annotation/ink_commands.h"
#include "annotation/ui/ink_palette.h"
#include "annotation/ui/text_edit_dlg.h"
#include "app/commands.h"
#include "app/cvist_dlg.h"
#include "app/video_widget.h"
#include "controls/panel_buttons.h"
#include "controls/ui/gdip_button.h"
#include "viewer/view_controls.h"

namespace vistrela {

void CvistDlg::keyPressEvent(QKeyEvent* event) {
    if (const CommandRow* row = commandForKey(event->keyCombination())) {
        runRow(*row);
        return;
    }
    if (const InkCommand* ink = FindInkCommandForKey(event->keyCombination())) {
        runInkCommand(ink->id);
        return;
    }
    QWidget::keyPressEvent(event);  // not QDialog's: Enter must not end the dialog
}

void CvistDlg::escapeKey() {
    if (text_->state() == TextToolState::Open) {
        text_->close();
    } else if (tools_.StrokeActive()) {
        tools_.Release(ctx_.view, pipe_);
    } else if (!lessons_.EscapeStep()) {
        closeRequest();
    }
}

void CvistDlg::wheelEvent(QWheelEvent* event) {
    // Some desktops turn Shift+wheel into a sideways wheel.
    const QPoint delta = event->angleDelta();
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    if (!lessons_.Wheel(delta.y() != 0 ? delta.y() : delta.x(), shift))
        WheelZoom(ctx_.view, delta.y());
    event->accept();
}

LiveInk CvistDlg::liveInk() {
    return {tools_, ctx_.view, pipe_, pictureArea()};
}

void CvistDlg::mousePressEvent(QMouseEvent* event) {
    dismissNotice();
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        PanDragDown(panDrag_, ctx_.view, p.x(), p.y());
    } else if (const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
               event->button() == Qt::LeftButton && !lessons_.Press(p, shift)) {
        tools_.Press(ctx_.view, pipe_, pictureArea(), p.x(), p.y(), shift);
    }
}

void CvistDlg::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    const bool leftHeld = event->buttons().testFlag(Qt::LeftButton);
    if (!lessons_.Move(liveInk(), p, leftHeld))
        tools_.Move(ctx_.view, pipe_, pictureArea(), p.x(), p.y(), leftHeld);
    PanDragMove(panDrag_, ctx_.view, p.x(), p.y(), event->buttons() & Qt::RightButton);
}

void CvistDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) PanDragUp(panDrag_);
    if (event->button() == Qt::LeftButton && !lessons_.Release(liveInk()))
        tools_.Release(ctx_.view, pipe_);
}

void CvistDlg::runInkCommand(int id) {
    const InkCommand* ink = FindInkCommand(id);
    if (ink == nullptr) return;
    ink->run(tools_, pipe_);
    StoreRememberedInk(ctx_.profile, RememberedInkOf(tools_.Style()));
    inkPalette()->showInk(tools_.Style(), pipe_.drawMode);
}

void CvistDlg::penButton() {
    if (IsInkTool(pipe_.drawMode)) {
        inkPalette()->showInk(tools_.Style(), pipe_.drawMode);
        inkPalette()->openBeside(button(IDC_PEN));
    } else {
        pipe_.drawMode = tools_.Style().tool;
    }
}

InkPalette* CvistDlg::inkPalette() const {
    return findChild<InkPalette*>(QString(), Qt::FindDirectChildrenOnly);
}

void CvistDlg::setUpInk() {
    CGdipButton* pen = button(IDC_PEN);
    auto* palette = new InkPalette(this);
    palette->attachTo(pen);
    palette->showInk(tools_.Style(), pipe_.drawMode);
    connect(palette, &InkPalette::commandChosen, this, &CvistDlg::runInkCommand);
    connect(pen, &CGdipButton::rightPressed, this, [this] {
        inkPalette()->showInk(tools_.Style(), pipe_.drawMode);
        inkPalette()->openBeside(button(IDC_PEN));
    });
}

}  // namespace vistrela
