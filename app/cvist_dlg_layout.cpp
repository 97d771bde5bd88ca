// The main window's geometry: the button panel, fitting the window to the picture, full
// screen, collapsing the panel, the half turn, the context menu and the about box.

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QUrl>
#include <QWindow>

#include "app/cvist_dlg.h"
#include "app/shortcuts.h"
#include "app/video_widget.h"
#include "capture/device_table.h"
#include "controls/panel_buttons.h"
#include "controls/panel_layout.h"
#include "controls/ui/gdip_button.h"
#include "controls/ui/menu_xp.h"
#include "settings/paths.h"
#include "settings/settings.h"
#include "viewer/view_controls.h"

namespace vistrela {

namespace {

// The program's own documentation: beside the program, one folder up (a build tree), or
// where a package installs it.
QString documentationPage() {
    const QString dir = QString::fromStdString(appDir());
    for (const QString& candidate : {dir + "README.md", dir + "../README.md",
                                     QStringLiteral("/usr/share/doc/vistrela/README.md")}) {
        if (QFileInfo::exists(candidate)) return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}

}  // namespace

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
        connect(b, &QAbstractButton::clicked, this, [this, id] { onCommand(id); });
        buttons_[slot++] = b;
    };
    for (const PanelButtonEntry& entry : kPanelButtons) make(entry.controlId);
    make(IDC_PANEL_STRIP);
}

void CvistDlg::refreshPanelImages() {
    for (const PanelButtonEntry& entry : kPanelButtons) {
        CGdipButton* b = button(entry.controlId);
        b->loadNormalImage(entry.normalImage);
        b->loadHoverImage(entry.hoverImage);
        QString tip = QString::fromUtf8(entry.toolTip != nullptr ? entry.toolTip : "");
        if (const char* keys = shortcutOf(entry.controlId))
            tip = tip.isEmpty() ? QString::fromUtf8(keys)
                                : QStringLiteral("%1 (%2)").arg(tip, QString::fromUtf8(keys));
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
    in.recordIdle = recordIdle != 0;
    const PanelLayout layout = computePanelLayout(in);
    for (const ButtonPlacement& place : layout.buttons) {
        CGdipButton* b = button(place.controlId);
        if (b == nullptr) continue;
        b->setPosition(place.position.x(), place.position.y());
        b->setVisible(place.shown);
    }
    videoStatic->setGeometry(0, 0, std::max(0, width() - panelWidth), height());
    update();
}

void CvistDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (windowed == 1 && windowState() == Qt::WindowNoState) windowedRect = geometry();
    layoutControls();
}

void CvistDlg::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    if (windowed == 1 && windowState() == Qt::WindowNoState) windowedRect = geometry();
    layoutControls();
}

void CvistDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) layoutControls();
}

namespace {

WindowFit fitFor(QWidget* window, QSize& decoration) {
    QScreen* scr = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QSize available = scr ? scr->availableGeometry().size() : QSize();
    decoration = window->frameGeometry().size() - window->geometry().size();
    return fitWindowToVideo(QSize(theView.frameWidth, theView.frameHeight), decoration, panelWidth,
                            available);
}

}  // namespace

void CvistDlg::updateMinimumSize() {
    QSize decoration;
    const WindowFit fit = fitFor(this, decoration);
    setMinimumSize(fit.minimumSize - decoration);
}

void CvistDlg::fitWindowToVideo() {
    QSize decoration;
    const WindowFit fit = fitFor(this, decoration);
    QScreen* scr = screen() ? screen() : QGuiApplication::primaryScreen();
    setMinimumSize(fit.minimumSize - decoration);
    resize(fit.windowSize - decoration);
    if (scr) {
        QRect r(QPoint(0, 0), fit.windowSize);
        r.moveCenter(scr->availableGeometry().center());
        move(r.topLeft());
    }
    windowedRect = geometry();
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
    }
    layoutControls();
}

void CvistDlg::togglePanel() {
    const bool collapse = panelWidth == kPanelShownWidth;
    panelWidth = collapse ? kPanelCollapsedWidth : kPanelShownWidth;
    applyPanelState(menuModel_, collapse);
    if (contextMenu) {
        contextMenu->setCommandEnabled(ID_PANEL_HIDE, !collapse);
        contextMenu->setCommandEnabled(ID_PANEL_SHOW, collapse);
    }
    applyStripLook();
    button(IDC_PANEL_STRIP)->refreshImages();
    layoutControls();
}

void CvistDlg::halfTurn(bool on) {
    if (!SetHalfTurn(pipe_, on)) return;
    halfTurn_ = on ? 1 : 0;
    layoutControls();
}

void CvistDlg::buildContextMenu() {
    menuModel_ = buildContextMenuModel(
        std::span<const DeviceEntry>(theSettings.devices.data(), theSettings.deviceCount),
        FindDeviceIndex(theSettings.devices, theSettings.deviceCount, theSettings.cameraName));
    contextMenu = CMenuXP::fromModel(menuModel_, this);
    connect(contextMenu.get(), &CMenuXP::commandChosen, this,
            [this](int id) { onMenuCommand(id); });
}

void CvistDlg::popupContextMenu() {
    if (!contextMenu) return;
    contextMenu->popup(contextMenuOrigin(frameGeometry()));
}

void CvistDlg::openWebPage() {
    const QString page = documentationPage();
    if (!page.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(page));
}

void CvistDlg::showAbout() {
    QMessageBox box(QMessageBox::NoIcon, "Vistrela Viewer 정보", "Vistrela Viewer 2.0",
                    QMessageBox::NoButton, this);
    box.addButton("확인", QMessageBox::AcceptRole);
    box.exec();
}

}  // namespace vistrela
