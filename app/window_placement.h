#pragma once
// Where the main window stands: windowed (fitted to the camera's picture, kept on its screen,
// fitted again once the window manager has framed it) or full screen (on its monitor or a
// chosen one). The window owns it and tells it of moves, resizes and activation; it calls
// `relayout` after it changed the window's mode or place. UI thread only.

#include <QObject>
#include <QRect>
#include <QTimer>
#include <functional>

#include "viewer/view_state.h"

class QWidget;

namespace vistrela {

enum class WindowMode { Windowed, FullScreen };

class WindowPlacement : public QObject {
public:
    // `window`, `view` and `panelWidth` (the width reserved for the panel) are not owned and
    // outlive the placement.
    WindowPlacement(QWidget& window, const ViewState& view, const int& panelWidth,
                    std::function<void()> relayout);

    WindowMode mode() const { return mode_; }
    bool fullScreen() const { return mode_ == WindowMode::FullScreen; }
    // Windowed and neither minimised, maximised nor full screen.
    bool plainWindow() const;

    // The start: windowed, fitted to the picture.
    void start();
    // A camera opened: the first one shapes the window; later ones set its minimum size.
    void cameraOpened();
    // Full screen (true) or windowed (false); nothing when the window is already so.
    void setFullScreen(bool on);
    // Full screen on monitor `monitor` (the toolkit's screen order, from 0).
    void fullScreenOn(int monitor);
    // The window moved or changed size, or was (de)activated.
    void moved();
    void activated() { refitOnceFramed(); }
    // The window state to restore a minimised window to.
    Qt::WindowStates restoredState(Qt::WindowStates now) const;

private:
    void fitWindowToVideo();
    // Fits again once the window manager's frame is known (see fitWindowToVideo).
    void refitOnceFramed();
    // The window cannot be dragged smaller than the camera picture (capped to the screen).
    void updateMinimumSize();
    // Moves a plain window whose frame reaches past its screen's available area back onto it.
    void keepOnScreen();
    // Puts the window into its mode.
    void applyMode();

    QWidget& window_;
    const ViewState& view_;
    const int& panelWidth_;
    std::function<void()> relayout_;
    WindowMode mode_ = WindowMode::Windowed;
    QRect windowedRect_;
    bool fittedToCamera_ = false;
    bool refitForFrame_ = false;  // the last fit counted no frame: fit again once framed
    QTimer frameWatch_;           // looks for the frame after such a fit
    int frameWatchTicks_ = 0;
};

}  // namespace vistrela
