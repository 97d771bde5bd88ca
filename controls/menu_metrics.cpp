#include "controls/menu_metrics.h"

#include <algorithm>

namespace vistrela {

QSize menuItemSize(int boldTextWidth, int textHeight, bool buttonOnly) {
    const int height = std::max(kMenuIconSizePx + 4, textHeight);
    if (buttonOnly) return {height, height};
    return {2 * kMenuIconSizePx + 12 + boldTextWidth, height};
}

QRect menuTextRect(const QRect& itemRect) {
    const int left = itemRect.left() + itemRect.height() + 2;
    const int right = itemRect.left() + itemRect.width() - kMenuIconSizePx;
    return QRect(left, itemRect.top(), std::max(0, right - left), itemRect.height());
}

MenuLabelParts splitMenuLabel(const QString& label) {
    const qsizetype tab = label.indexOf(QLatin1Char('\t'));
    if (tab < 0) return {label, {}};
    MenuLabelParts parts{label.left(tab), {}};
    if (tab > 0) parts.right = label.mid(tab + 1);
    return parts;
}

}  // namespace vistrela
