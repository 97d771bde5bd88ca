// The main window's geometry: the button panel, fitting the window to the picture, full
// screen, collapsing the panel, the half turn and the context menu.

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
        const CommandEntry* command = findCommand(entry.controlId);
        QString tip;
        if (command != nullptr && command->toolTip != nullptr)
            tip = QString::fromUtf8(command->toolTip);
        if (command != nullptr && command->keyText != nullptr) {
            const QString keys = QString::fromUtf8(command->keyText);
            tip = tip.isEmpty() ? keys : QStringLiteral("%1 (%2)").arg(tip, keys);
        }
        b->setToolTipText(tip);
    }
    applyStripLook();
}

void CvistDlg::applyStripLook() {
    const StripLook strip = stripLook(panelWidth != kPanelShownWidth);
    CGdipButton* s = button(IDC_PANEL_STRIP);
    s->loadNormalImage(strip.normalImage);
    s->loadHoverImage(strip.hoverImage);
    s->setToolTipText(QString::fromUtf8(strip.toolTip));
}

void CvistDlg::layoutControls() {
    if (startTime < 1) return;
    const QRect outer = frameGeometry();
    windowWidth = outer.width();
    windowHeight = outer.height();

    PanelLayoutInput in;
    in.windowWidth = windowWidth;
    in.windowHeight = windowHeight;
    in.clientWidth = width();
    in.clientHeight = height();
    in.panelWidth = panelWidth;
    in.windowed = windowed != 0;
    in.halfTurn = halfTurn_ != 0;
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
    placeTextWindow();
    update();
}

bool CvistDlg::plainWindow() const {
    // Active is a flag of the state too; only minimised, maximised and full screen count.
    return windowed == 1 &&
           !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void CvistDlg::placeTextWindow() {
    if (textDialog == nullptr || !textDialog->isOpen()) return;
    // Video-area coordinates: the text stands where the window's corner is over the picture.
    const QPoint origin = videoStatic->pos();
    const QSize area = videoStatic->size();
    const QPoint at = KeepTextWindowInside(textDialog->pos() - origin, area);
    textDialog->SetDragRange(TextWindowRange(area).translated(origin));
    textDialog->MoveTo(origin.x() + at.x(), origin.y() + at.y());
}

void CvistDlg::finishTextBurn() {
    if (!textBurnOpen_) return;
    textBurnOpen_ = false;
    tools_.EndChange(ctx_.view, pipe_);
}

void CvistDlg::ShowTextWindow() {
    if (textDialog == nullptr) {
        textDialog = new CTextEditDlg(this);
        textDialog->SetupEditFont();
        textDialog->SetApplyCallback([this] { RequestTextStamp(pipe_); });
        // A text burn is one step of the undo history: it opens just before the text goes
        // into the overlay and closes once the burn is done (finishTextBurn).
        textStep_.beforeBurn = [this] {
            tools_.BeginChange(ctx_.view, pipe_);
            textBurnOpen_ = true;
        };
        connect(textDialog, &CTextEditDlg::closed, this, [this] {
            // An apply that no frame has burnt yet is burnt now, where it was applied, rather
            // than lost or burnt wherever the window is when it next opens.
            if (pipe_.drawMode == DRAW_STAMP) {
                readTextWindow();
                BurnAnnotationText(pipe_, ComputeGeometry(ctx_.view, pictureArea()),
                                   textStep_.annotation, textStep_.beforeBurn);
                finishTextBurn();
            }
            // The keyboard goes back to the main window's commands.
            setFocus();
        });
    }
    textDialog->Open();
    layoutControls();
    textDialog->FocusEdit();
}

void CvistDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (plainWindow()) windowedRect = geometry();
    layoutControls();
    refitOnceFramed();
}

void CvistDlg::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (plainWindow()) windowedRect = geometry();
    layoutControls();
    refitOnceFramed();
}

void CvistDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) layoutControls();
    if (event->type() == QEvent::ActivationChange) refitOnceFramed();
}

namespace {

// The window manager's frame around the client area. The platform window knows it first
// (asking it looks the frame up); the widget's frame geometry follows later.
QMargins frameMargins(QWidget* window) {
    if (QWindow* handle = window->windowHandle()) {
        const QMargins m = handle->frameMargins();
        if (!m.isNull()) return m;
    }
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                    frame.right() - client.right(), frame.bottom() - client.bottom());
}

QSize frameExtent(QWidget* window) {
    const QMargins m = frameMargins(window);
    return QSize(m.left() + m.right(), m.top() + m.bottom());
}

WindowFit fitFor(QWidget* window, const ViewState& view, int panelWidth, QSize& decoration) {
    QScreen* scr = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QSize available = scr ? scr->availableGeometry().size() : QSize();
    decoration = frameExtent(window);
    return fitWindowToVideo(QSize(view.frameWidth, view.frameHeight), decoration, panelWidth,
                            available);
}

}  // namespace

void CvistDlg::updateMinimumSize() {
    QSize decoration;
    const WindowFit fit = fitFor(this, ctx_.view, panelWidth, decoration);
    // A larger minimum grows the window where it stands, maybe past the screen's edge.
    setMinimumSize(fit.minimumSize - decoration);
    keepOnScreen();
}

void CvistDlg::keepOnScreen() {
    QScreen* scr = screen() ? screen() : QGuiApplication::primaryScreen();
    if (scr == nullptr || !plainWindow()) return;
    const QMargins m = frameMargins(this);
    const QRect outer = geometry().marginsAdded(m);
    const QPoint at = keepWindowOnScreen(outer, scr->availableGeometry());
    if (at != outer.topLeft()) setGeometry(QRect(at + QPoint(m.left(), m.top()), size()));
}

void CvistDlg::fitWindowToVideo() {
    QSize decoration;
    const WindowFit fit = fitFor(this, ctx_.view, panelWidth, decoration);
    QScreen* scr = screen() ? screen() : QGuiApplication::primaryScreen();
    setMinimumSize(fit.minimumSize - decoration);
    const QSize client = fit.windowSize - decoration;
    if (scr) {
        // The client area goes inside the frame's place, by the frame's own margins: move()
        // would count a frame only once Qt itself has noticed it.
        const QPoint frameAt = placeWindowInside(fit.windowSize, scr->availableGeometry());
        const QMargins m = frameMargins(this);
        setGeometry(QRect(frameAt + QPoint(m.left(), m.top()), client));
    } else {
        resize(client);
    }
    windowedRect = geometry();
    // The window manager's frame is known only once the window is shown and framed: until
    // then the fit counted none, so it is done again when the frame appears.
    refitForFrame_ = decoration.isNull();
    // No event says that the frame has arrived; look for it a few times a second for a while.
    if (refitForFrame_) {
        frameWatchTicks_ = 0;
        frameWatch_.start();
    }
}

void CvistDlg::refitOnceFramed() {
    if (!refitForFrame_ || !plainWindow() || windowHandle() == nullptr) return;
    if (frameExtent(this).isNull()) return;
    refitForFrame_ = false;
    frameWatch_.stop();
    QTimer::singleShot(0, this, [this] {
        if (plainWindow()) fitWindowToVideo();
    });
}

void CvistDlg::toggleFullScreen() {
    if (windowed == 0) {
        windowedRect = geometry();
        // Full screen on the monitor the window is on (Qt picks the window's screen).
        showFullScreen();
    } else {
        if (windowState() & Qt::WindowFullScreen) showNormal();
        if (windowedRect.isValid()) setGeometry(windowedRect);
        show();
        raise();
        // The place left may not hold the window's present minimum (another camera).
        keepOnScreen();
    }
    layoutControls();
}

void CvistDlg::setFullScreen(bool on) {
    const int wanted = on ? 0 : 1;
    if (windowed == wanted) return;
    windowed = wanted;
    toggleFullScreen();
}

void CvistDlg::fullScreenOn(int monitor) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (monitor < 0 || monitor >= screens.size()) return;
    QScreen* target = screens[monitor];
    if (windowed == 1) windowedRect = geometry();
    windowed = 0;
    // Leave full screen first, so the window can move to the other monitor and fill it there.
    if (windowState() & Qt::WindowFullScreen) showNormal();
    setGeometry(target->geometry());
    if (windowHandle() != nullptr) windowHandle()->setScreen(target);
    showFullScreen();
    layoutControls();
}

void CvistDlg::togglePanel() {
    const bool collapse = panelWidth == kPanelShownWidth;
    panelWidth = collapse ? kPanelCollapsedWidth : kPanelShownWidth;
    applyPanelState(menuModel_, collapse);
    applyStripLook();
    button(IDC_PANEL_STRIP)->refreshImages();
    layoutControls();
}

void CvistDlg::halfTurn(bool on) {
    if (!SetHalfTurn(pipe_, on)) return;
    halfTurn_ = on ? 1 : 0;
    layoutControls();
}

}  // namespace vistrela
