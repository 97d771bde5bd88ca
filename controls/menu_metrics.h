#pragma once
// Measuring and label rules of the program's own menus (CMenuXP), kept free of widgets so
// they can be checked without a window. Pixels.

#include <QRect>
#include <QSize>
#include <QString>

namespace vistrela {

// Side of the icon square the menu reserves; this program's menus carry no icons.
inline constexpr int kMenuIconSizePx = 16;

// Size of an ordinary item whose label measures `boldTextWidth` x `textHeight` in the bold
// menu font (bold so that the default item fits too): as high as the text but at least
// 20 (icon + 4), as wide as the text plus room for the icon square and the submenu arrow
// (2 x icon + 12). A button-only item is square.
QSize menuItemSize(int boldTextWidth, int textHeight, bool buttonOnly = false);

// Where the label is drawn inside `itemRect`: right of the icon square (as wide as the item
// is high) + 2, up to the right edge less one icon size.
QRect menuTextRect(const QRect& itemRect);

// A label split at its first tab: `left` is drawn left-aligned, `right` (the accelerator)
// right-aligned. A label starting with a tab has an empty left part and shows no accelerator.
struct MenuLabelParts {
    QString left;
    QString right;
};
MenuLabelParts splitMenuLabel(const QString& label);

}  // namespace vistrela
