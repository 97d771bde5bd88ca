// The main window's geometry: the button panel, fitting the window to the picture, full
// screen, collapsing the panel, the half turn and the context menu.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "annotation/annotation_text.h"
#include "annotation/overlay.h"
#include "annotation/ui/text_edit_dlg.h"
#include "app/commands.h"
#include "app/cvist_dlg.h"
#include "app/video_widget.h"
#include "capture/device_table.h"
#include "capture/media/capture_device.h"
#include "controls/panel_buttons.h"
#include "controls/panel_layout.h"
#include "controls/ui/gdip_button.h"
#include "controls/ui/menu_xp.h"
#include "recording/ui/recording_control.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "viewer/view_controls.h"

namespace vistrela {

CGdipButton* CvistDlg::button(int id) const {
    for (CGdipButton* b : buttons_)
        if (b != nullptr && b->property("controlId").toInt() == id) return b;
    return nullptr;
}

void CvistDlg::createPanel() {
    std::size_t slot = 0;
    auto make = [&](int id) {
        auto* b = new CGdipButton(this);
        b->setProperty("controlId", id);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QAbstractButton::clicked, this, [this, id] {
            dismissNotice();
            onCommand(id);
        });
        buttons_[slot++] = b;
    };
    for (const PanelButtonEntry& entry : kPanelButtons) make(entry.controlId);
    make(IDC_PANEL_STRIP);
    setUpInk();
}

void CvistDlg::refreshPanelImages() {
    for (const PanelButtonEntry& entry : kPanelButtons) {
        CGdipButton* b = button(entry.controlId);
        b->loadNormalImage(entry.normalImage);
        b->loadHoverImage(entry.hoverImage);
        const CommandRow* command = commandForControl(entry.controlId);
        QString tip;
        if (command != nullptr && command->toolTip != nullptr)
            tip = QCoreApplication::translate(kCommandContext, command->toolTip);
        const QString keys = command != nullptr ? keyText(*command) : QString();
        if (!keys.isEmpty()) tip = tip.isEmpty() ? keys : QStringLiteral("%1 (%2)").arg(tip, keys);
        b->setToolTipText(tip);
    }
    applyStripLook();
}

void CvistDlg::applyStripLook() {
    const StripLook strip = stripLook(panelWidth != kPanelShownWidth);
    CGdipButton* s = button(IDC_PANEL_STRIP);
    s->loadNormalImage(strip.normalImage);
    s->loadHoverImage(strip.hoverImage);
    s->setToolTipText(QCoreApplication::translate("Command", strip.toolTip));
}

void CvistDlg::layoutControls() {
    if (startTime < 1) return;
    const QRect outer = frameGeometry();

    PanelLayoutInput in;
    in.windowWidth = outer.width();
    in.windowHeight = outer.height();
    in.clientWidth = width();
    in.clientHeight = height();
    in.panelWidth = panelWidth;
    in.windowed = !placement_.fullScreen();
    in.halfTurn = pipe_.flipRows;
    // The record button shows unless a recording runs or waits for its join.
    in.recordIdle = recording_ == nullptr || recording_->recordIdle();
    const PanelLayout layout = computePanelLayout(in);
    for (const ButtonPlacement& place : layout.buttons) {
        CGdipButton* b = button(place.controlId);
        if (b == nullptr) continue;
        b->setPosition(place.position.x(), place.position.y());
        b->setVisible(place.shown);
    }
    videoStatic->setGeometry(0, 0, std::max(0, width() - panelWidth), height());
    text_->place();
    update();
}

void CvistDlg::ShowTextWindow() {
    text_->open();
    layoutControls();
    text_->focus();
}

void CvistDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    placement_.moved();
}

void CvistDlg::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    placement_.moved();
}

void CvistDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) layoutControls();
    if (event->type() == QEvent::ActivationChange) placement_.activated();
}

void CvistDlg::togglePanel() {
    const bool collapse = panelWidth == kPanelShownWidth;
    panelWidth = collapse ? kPanelCollapsedWidth : kPanelShownWidth;
    applyCommandState();
    applyStripLook();
    button(IDC_PANEL_STRIP)->refreshImages();
    layoutControls();
}

void CvistDlg::halfTurn(bool on) {
    if (!SetHalfTurn(pipe_, on)) return;
    layoutControls();
}

}  // namespace vistrela
