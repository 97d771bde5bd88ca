#pragma once
// Geometry of the main window's button panel, the floating text window and the fitted window
// size, as pure functions of sizes. The shell measures its window, calls these and moves its
// widgets; nothing here touches a window. All values are pixels.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace vistrela {

// A pair member that is not shown is moved this far above its place instead of being hidden.
inline constexpr int kHiddenOffsetPx = 9999;

struct PanelLayoutInput {
    int windowWidth = 0;  // outer size of the main window, frame included
    int windowHeight = 0;
    int clientWidth = 0;  // client area of the main window
    int clientHeight = 0;
    int panelWidth = 165;    // 165 shown, 30 collapsed
    bool windowed = true;    // selects 1026 (true) or 1027 (false)
    bool halfTurn = true;    // selects 1023 (true) or 1021 (false)
    bool recordIdle = true;  // selects 1024 (true) or 1025 (false)
};

struct ButtonPlacement {
    int controlId = 0;
    QPoint position;    // top-left in the main window's client coordinates
    bool shown = true;  // false for the member of a pair that waits off screen
};

struct PanelLayout {
    int spacingPx = 0;                     // extra pixels between two rows (`d`)
    std::vector<ButtonPlacement> buttons;  // the 17 grid buttons, then the strip 1047
    QRect panelRect;                       // black panel, client coordinates
    // Buttons to paint over the panel, in order: the strip first, the grid only while the
    // panel is fully shown.
    std::vector<int> drawOrder;

    // Position of `controlId`, or (0, 0) when it is not part of the layout.
    QPoint positionOf(int controlId) const;
    bool isShown(int controlId) const;
};

// Places every panel button for the given window state.
PanelLayout computePanelLayout(const PanelLayoutInput& in);

// Where the floating text window goes so that it stays reachable inside the main window.
// `mainRect` and the result are in screen coordinates; `textTopLeft` is the text window's
// current top-left. The x stays when it lies more than 20 px inside the left edge and more
// than 100 px inside the right edge (else it becomes left + 200); the y stays when it lies
// more than 30 px below the top and more than 10 px above the bottom (else top + 300).
QPoint keepTextWindowInside(const QRect& mainRect, const QPoint& textTopLeft);

// The smallest client height at which the whole shown panel fits: every grid button and the
// strip lie inside the client area, and the height is not below the one the rows are laid out
// for. The row spacing follows the outer height, so the decoration height (outer minus client)
// takes part.
int panelMinimumClientHeight(int decorationHeight);

// Fitting the window to the camera picture. `decorationSize` is the outer size minus the
// client size; `available` the screen's available area (an empty size means no limit).
// The client height is never below panelMinimumClientHeight, even on a screen too small
// for it, so a short picture leaves a taller video area (the picture is then drawn centred
// with black bars above and below it). The panel floor does not depend on `panelWidth`: a
// collapsed panel may be shown again at any time.
struct WindowFit {
    QSize windowSize;   // outer size: picture (or panel height) + panel + decoration
    QSize minimumSize;  // smallest outer size the user may drag the window to
};
WindowFit fitWindowToVideo(const QSize& frameSize, const QSize& decorationSize, int panelWidth,
                           const QSize& available);

// Where a window of outer size `outer` goes on a screen whose available area is `available`:
// centred, and never with its top-left corner (title bar, window menu) off that area, even
// when the window is larger than the area.
QPoint placeWindowInside(const QSize& outer, const QRect& available);

// Where a window whose outer rectangle is `outer` goes so that the whole of it lies on the
// available area `available` of its screen: moved left and up only as far as needed, never
// past the area's top-left corner; a window that lies inside already stays where it is.
QPoint keepWindowOnScreen(const QRect& outer, const QRect& available);

// Top-left corner of the context menu: the centre of the window (integer halves).
QPoint contextMenuOrigin(const QRect& windowRect);

}  // namespace vistrela
