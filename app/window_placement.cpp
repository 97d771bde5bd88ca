#include "app/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "controls/panel_layout.h"

namespace vistrela {

namespace {
constexpr int kFrameWatchIntervalMs = 50;
constexpr int kFrameWatchTicks = 600;
}  // namespace

WindowPlacement::WindowPlacement(QWidget& window, const ViewState& view, const int& panelWidth,
                                 std::function<void()> relayout)
    : window_(window), view_(view), panelWidth_(panelWidth), relayout_(std::move(relayout)) {
    // A window manager frames a new window within moments; one that has not framed it after
    // kFrameWatchTicks looks does not draw frames at all.
    frameWatch_.setInterval(kFrameWatchIntervalMs);
    connect(&frameWatch_, &QTimer::timeout, this, [this] {
        if (++frameWatchTicks_ >= kFrameWatchTicks) frameWatch_.stop();
        refitOnceFramed();
    });
}

bool WindowPlacement::plainWindow() const {
    // Active is a flag of the state too; only minimised, maximised and full screen count.
    return mode_ == WindowMode::Windowed &&
           !(window_.windowState() &
             (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void WindowPlacement::start() {
    mode_ = WindowMode::Windowed;
    fitWindowToVideo();
    applyMode();
}

void WindowPlacement::cameraOpened() {
    if (!fittedToCamera_ && mode_ == WindowMode::Windowed) {
        // The window takes the shape of the picture the camera really delivers.
        fittedToCamera_ = true;
        fitWindowToVideo();
    } else {
        updateMinimumSize();
    }
}

void WindowPlacement::moved() {
    if (plainWindow()) windowedRect_ = window_.geometry();
    relayout_();
    refitOnceFramed();
}

Qt::WindowStates WindowPlacement::restoredState(Qt::WindowStates now) const {
    return (now & ~(Qt::WindowMinimized | Qt::WindowFullScreen)) |
           (fullScreen() ? Qt::WindowFullScreen : Qt::WindowNoState);
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

void WindowPlacement::updateMinimumSize() {
    QSize decoration;
    const WindowFit fit = fitFor(&window_, view_, panelWidth_, decoration);
    // A larger minimum grows the window where it stands, maybe past the screen's edge.
    window_.setMinimumSize(fit.minimumSize - decoration);
    keepOnScreen();
}

void WindowPlacement::keepOnScreen() {
    QScreen* scr = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
    if (scr == nullptr || !plainWindow()) return;
    const QMargins m = frameMargins(&window_);
    const QRect outer = window_.geometry().marginsAdded(m);
    const QPoint at = keepWindowOnScreen(outer, scr->availableGeometry());
    if (at != outer.topLeft())
        window_.setGeometry(QRect(at + QPoint(m.left(), m.top()), window_.size()));
}

void WindowPlacement::fitWindowToVideo() {
    QSize decoration;
    const WindowFit fit = fitFor(&window_, view_, panelWidth_, decoration);
    QScreen* scr = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
    window_.setMinimumSize(fit.minimumSize - decoration);
    const QSize client = fit.windowSize - decoration;
    if (scr) {
        // The client area goes inside the frame's place, by the frame's own margins: move()
        // would count a frame only once Qt itself has noticed it.
        const QPoint frameAt = placeWindowInside(fit.windowSize, scr->availableGeometry());
        const QMargins m = frameMargins(&window_);
        window_.setGeometry(QRect(frameAt + QPoint(m.left(), m.top()), client));
    } else {
        window_.resize(client);
    }
    windowedRect_ = window_.geometry();
    // The window manager's frame is known only once the window is shown and framed: until
    // then the fit counted none, so it is done again when the frame appears.
    refitForFrame_ = decoration.isNull();
    // No event says that the frame has arrived; look for it a few times a second for a while.
    if (refitForFrame_) {
        frameWatchTicks_ = 0;
        frameWatch_.start();
    }
}

void WindowPlacement::refitOnceFramed() {
    if (!refitForFrame_ || !plainWindow() || window_.windowHandle() == nullptr) return;
    if (frameExtent(&window_).isNull()) return;
    refitForFrame_ = false;
    frameWatch_.stop();
    QTimer::singleShot(0, this, [this] {
        if (plainWindow()) fitWindowToVideo();
    });
}

void WindowPlacement::applyMode() {
    if (mode_ == WindowMode::FullScreen) {
        windowedRect_ = window_.geometry();
        // Full screen on the monitor the window is on (Qt picks the window's screen).
        window_.showFullScreen();
    } else {
        if (window_.windowState() & Qt::WindowFullScreen) window_.showNormal();
        if (windowedRect_.isValid()) window_.setGeometry(windowedRect_);
        window_.show();
        window_.raise();
        // The place left may not hold the window's present minimum (another camera).
        keepOnScreen();
    }
    relayout_();
}

void WindowPlacement::setFullScreen(bool on) {
    const WindowMode wanted = on ? WindowMode::FullScreen : WindowMode::Windowed;
    if (mode_ == wanted) return;
    mode_ = wanted;
    applyMode();
}

void WindowPlacement::fullScreenOn(int monitor) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (monitor < 0 || monitor >= screens.size()) return;
    QScreen* target = screens[monitor];
    if (mode_ == WindowMode::Windowed) windowedRect_ = window_.geometry();
    mode_ = WindowMode::FullScreen;
    // Leave full screen first, so the window can move to the other monitor and fill it there.
    if (window_.windowState() & Qt::WindowFullScreen) window_.showNormal();
    window_.setGeometry(target->geometry());
    if (window_.windowHandle() != nullptr) window_.windowHandle()->setScreen(target);
    window_.showFullScreen();
    relayout_();
}

}  // namespace vistrela
