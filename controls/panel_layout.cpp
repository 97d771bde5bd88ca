#include "controls/panel_layout.h"

#include <algorithm>

#include "controls/button_images.h"
#include "controls/panel_buttons.h"

namespace vistrela {

namespace {

constexpr int kRowZeroY = 10;
constexpr int kRowOneY = 65;
constexpr int kRowPitch = 55;
constexpr int kColumnTwoOffset = 70;
constexpr int kBaseHeight = 480;
constexpr int kPanelMargin = 5;
constexpr int kStripFromRight = 32;
constexpr int kStripAboveMiddle = 90;
constexpr int kPanelExtraBlack = 10;

// Which member of a pair the state shows; controls outside the pairs are always shown.
bool shownFor(int controlId, const PanelLayoutInput& in) {
    switch (controlId) {
        case IDC_HALF_TURN:
            return !in.halfTurn;
        case IDC_HALF_TURN_BACK:
            return in.halfTurn;
        case IDC_FULL_SCREEN:
            return in.windowed;
        case IDC_WINDOWED:
            return !in.windowed;
        case IDC_RECORD:
            return in.recordIdle;
        case IDC_STOP:
            return !in.recordIdle;
        default:
            return true;
    }
}

int imageHeight(int number) {
    for (const auto& image : kButtonImages) {
        if (image.number == number) return image.heightPx;
    }
    return 0;
}

// Whether every button the layout shows ends inside the client area.
bool panelFits(const PanelLayout& layout, int clientHeight) {
    for (const auto& b : layout.buttons) {
        if (!b.shown) continue;
        const int height = b.controlId == IDC_PANEL_STRIP
                               ? imageHeight(stripLook(false).normalImage)
                               : imageHeight(findPanelButton(b.controlId)->normalImage);
        if (b.position.y() < 0 || b.position.y() + height > clientHeight) return false;
    }
    return true;
}

}  // namespace

QPoint PanelLayout::positionOf(int controlId) const {
    for (const auto& b : buttons) {
        if (b.controlId == controlId) return b.position;
    }
    return {};
}

bool PanelLayout::isShown(int controlId) const {
    for (const auto& b : buttons) {
        if (b.controlId == controlId) return b.shown;
    }
    return false;
}

PanelLayout computePanelLayout(const PanelLayoutInput& in) {
    PanelLayout out;
    out.spacingPx = in.windowHeight > kBaseHeight ? (in.windowHeight - kBaseHeight) / 8 : 0;
    const int d = out.spacingPx;

    // A collapsed panel parks every grid button just beyond the right client edge.
    const int x = in.panelWidth >= kPanelShownWidth ? in.windowWidth - in.panelWidth - kPanelMargin
                                                    : in.windowWidth;

    out.buttons.reserve(kPanelButtons.size() + 1);
    for (const auto& entry : kPanelButtons) {
        ButtonPlacement p;
        p.controlId = entry.controlId;
        p.shown = shownFor(entry.controlId, in);
        const int rowY =
            entry.row == 0 ? kRowZeroY : kRowOneY + (entry.row - 1) * kRowPitch + entry.row * d;
        p.position = QPoint(entry.column == 1 ? x : x + kColumnTwoOffset,
                            p.shown ? rowY : rowY - kHiddenOffsetPx);
        out.buttons.push_back(p);
    }
    out.buttons.push_back(
        {IDC_PANEL_STRIP,
         QPoint(in.windowWidth - kStripFromRight, in.windowHeight / 2 - kStripAboveMiddle), true});

    const int panelLeft = in.clientWidth - in.panelWidth - kPanelExtraBlack;
    out.panelRect = QRect(QPoint(panelLeft, 0), QPoint(in.clientWidth - 1, in.clientHeight - 1));

    out.drawOrder.push_back(IDC_PANEL_STRIP);
    if (in.panelWidth == kPanelShownWidth) {
        const int fixedOrder[] = {IDC_LOGO, IDC_SAVE_PICTURE, IDC_TEXT,   IDC_ERASER,    IDC_MENU,
                                  IDC_EXIT, IDC_WEB_PAGE,     IDC_ROTATE, IDC_RESET_VIEW};
        out.drawOrder.insert(out.drawOrder.end(), std::begin(fixedOrder), std::end(fixedOrder));
        out.drawOrder.push_back(in.halfTurn ? IDC_HALF_TURN_BACK : IDC_HALF_TURN);
        out.drawOrder.push_back(in.recordIdle ? IDC_RECORD : IDC_STOP);
        out.drawOrder.push_back(in.windowed ? IDC_FULL_SCREEN : IDC_WINDOWED);
        out.drawOrder.push_back(IDC_ZOOM);
        out.drawOrder.push_back(IDC_PEN);
    }
    return out;
}

QPoint keepTextWindowInside(const QRect& mainRect, const QPoint& textTopLeft) {
    // Edges as a window rectangle has them: right and bottom one past the last pixel.
    const int left = mainRect.x();
    const int top = mainRect.y();
    const int right = mainRect.x() + mainRect.width();
    const int bottom = mainRect.y() + mainRect.height();
    const int tx = textTopLeft.x();
    const int ty = textTopLeft.y();
    const int nx = (left + 20 < tx && tx < right - 100) ? tx : left + 200;
    const int ny = (top + 30 < ty && ty < bottom - 10) ? ty : top + 300;
    return {nx, ny};
}

int panelMinimumClientHeight(int decorationHeight) {
    const int dh = std::max(0, decorationHeight);
    PanelLayoutInput in;
    in.windowWidth = kPanelShownWidth + kPanelMargin;
    in.clientWidth = in.windowWidth;
    in.panelWidth = kPanelShownWidth;
    // Each 8 pixels of height add 1 to the spacing and at most 7 to the lowest row, so the
    // client area catches up with the panel after a few steps.
    int height = kBaseHeight;
    for (; height < kBaseHeight + 8 * (dh + kBaseHeight); ++height) {
        in.windowHeight = height + dh;
        in.clientHeight = height;
        if (panelFits(computePanelLayout(in), height)) break;
    }
    return height;
}

WindowFit fitWindowToVideo(const QSize& frameSize, const QSize& decorationSize, int panelWidth,
                           const QSize& available) {
    const int fw = std::max(0, frameSize.width());
    const int fh = std::max(0, frameSize.height());
    const int dw = std::max(0, decorationSize.width());
    const int dh = std::max(0, decorationSize.height());

    // Shrinks the picture by one factor for both directions, so it keeps its shape.
    auto scaled = [&](int roomW, int roomH) {
        if (fw == 0 || fh == 0 || available.isEmpty()) return QSize(fw, fh);
        const double s =
            std::min({1.0, std::max(0, roomW) / double(fw), std::max(0, roomH) / double(fh)});
        return QSize(int(fw * s), int(fh * s));
    };

    // The panel's buttons need their height whatever the picture's.
    const int panelHeight = panelMinimumClientHeight(dh);
    WindowFit fit;
    const QSize picture = scaled(available.width() - dw - panelWidth, available.height() - dh);
    fit.windowSize =
        QSize(picture.width() + dw + panelWidth, std::max(picture.height(), panelHeight) + dh);
    // The picture capped to the screen, and never larger than the fitted window: on a small
    // screen the whole screen's picture would otherwise push the window's frame off it.
    const QSize smallest = scaled(std::min(available.width(), fit.windowSize.width()),
                                  std::min(available.height(), fit.windowSize.height()));
    fit.minimumSize = QSize(smallest.width(), std::max(smallest.height(), panelHeight + dh));
    return fit;
}

QPoint placeWindowInside(const QSize& outer, const QRect& available) {
    QRect r(QPoint(0, 0), outer);
    r.moveCenter(available.center());
    return QPoint(std::max(r.left(), available.left()), std::max(r.top(), available.top()));
}

QPoint keepWindowOnScreen(const QRect& outer, const QRect& available) {
    if (available.isEmpty()) return outer.topLeft();
    const int x = std::min(outer.left(), available.left() + available.width() - outer.width());
    const int y = std::min(outer.top(), available.top() + available.height() - outer.height());
    return {std::max(x, available.left()), std::max(y, available.top())};
}

QPoint contextMenuOrigin(const QRect& windowRect) {
    return {windowRect.x() + windowRect.width() / 2, windowRect.y() + windowRect.height() / 2};
}

}  // namespace vistrela
