#include "controls/message_box_model.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace vistrela {

namespace {

constexpr std::array<const char*, IDS_MB_LAST - IDS_MB_FIRST + 1> kStrings = {
    "&Ok",
    "&Cancel",
    "&Abort",
    "&Retry",
    "&Ignore",
    "Ignore &all",
    "&Yes",
    "Yes to &all",
    "&No",
    "No to a&ll",
    "&Continue",
    "&Skip",
    "Skip &all",
    "&Help",
    "Don't display this &message again.",
    "Don't ask this &question again.",
};

// String ids of the labels, by meaning.
constexpr int kOk = 9001, kCancel = 9002, kAbort = 9003, kRetry = 9004, kIgnore = 9005,
              kIgnoreAll = 9006, kYes = 9007, kYesToAll = 9008, kNo = 9009, kNoToAll = 9010,
              kContinue = 9011, kSkip = 9012, kSkipAll = 9013, kHelp = 9014;

// a × b / c rounded to nearest, halves away from zero (the platform's MulDiv).
int mulDiv(int a, int b, int c) {
    if (c == 0) return 0;
    const long long num = static_cast<long long>(a) * b;
    const long long q = (std::llabs(num) + std::llabs(static_cast<long long>(c)) / 2) /
                        std::llabs(static_cast<long long>(c));
    return static_cast<int>(((num < 0) != (c < 0)) ? -q : q);
}

}  // namespace

QString messageBoxString(int stringId) {
    if (stringId < IDS_MB_FIRST || stringId > IDS_MB_LAST) return {};
    return QString::fromLatin1(kStrings[static_cast<std::size_t>(stringId - IDS_MB_FIRST)]);
}

MessageBoxButtons messageBoxButtons(std::uint32_t style) {
    MessageBoxButtons set;
    auto add = [&set](int id, int stringId) { set.buttons.push_back({id, stringId}); };
    auto yesNo = [&](bool withCancel) {
        add(IDYES, kYes);
        if (style & kMbYesToAll) add(IDYESTOALL, kYesToAll);
        add(IDNO, kNo);
        if (style & kMbNoToAll) add(IDNOTOALL, kNoToAll);
        if (withCancel) add(IDCANCEL, kCancel);
        set.defaultId = IDYES;
        set.cancelId = withCancel ? IDCANCEL : -1;
    };
    switch (style & kMbButtonSetMask) {
        case 1:
            add(IDOK, kOk);
            add(IDCANCEL, kCancel);
            set.defaultId = IDOK;
            set.cancelId = IDCANCEL;
            break;
        case 2:
            add(IDABORT, kAbort);
            add(IDRETRY, kRetry);
            add(IDIGNORE, kIgnore);
            set.defaultId = IDABORT;
            break;
        case 3:
            yesNo(true);
            break;
        case 4:
            yesNo(false);
            break;
        case 5:
            add(IDRETRY, kRetry);
            add(IDCANCEL, kCancel);
            set.defaultId = IDRETRY;
            set.cancelId = IDCANCEL;
            break;
        case 6:
            add(IDCANCEL, kCancel);
            add(IDTRYAGAIN, kRetry);
            add(IDCONTINUE, kContinue);
            set.defaultId = IDCANCEL;
            set.cancelId = IDCANCEL;
            break;
        case 7:
            add(IDCONTINUE, kContinue);
            add(IDABORT, kAbort);
            set.defaultId = IDCONTINUE;
            break;
        case 8:
            add(IDSKIP, kSkip);
            add(IDSKIPALL, kSkipAll);
            add(IDCANCEL, kCancel);
            set.defaultId = IDSKIP;
            set.cancelId = IDCANCEL;
            break;
        case 9:
            add(IDIGNORE, kIgnore);
            add(IDIGNOREALL, kIgnoreAll);
            add(IDCANCEL, kCancel);
            set.defaultId = IDIGNORE;
            set.cancelId = IDCANCEL;
            break;
        case kMbNoButtons:
            break;
        default:  // 0, 10..13, 15
            add(IDOK, kOk);
            set.defaultId = IDOK;
            set.cancelId = IDOK;
            break;
    }
    if (style & kMbHelp) add(IDHELP, kHelp);

    const int index = static_cast<int>((style & kMbDefaultButtonMask) >> 8);
    if (index >= 1 && index <= 5 && index < static_cast<int>(set.buttons.size()))
        set.defaultId = set.buttons[static_cast<std::size_t>(index)].id;
    return set;
}

QString messageBoxValueName(const QByteArray& messageUtf8, int messageId) {
    if (messageId != 0) return QString::number(messageId);
    // Unsigned arithmetic wraps where a signed sum of a long text would overflow.
    std::uint32_t sum = 0;
    for (qsizetype i = 0; i < messageUtf8.size(); ++i) {
        const auto byte = static_cast<std::int32_t>(static_cast<signed char>(messageUtf8[i]));
        sum += static_cast<std::uint32_t>(i) * static_cast<std::uint32_t>(byte);
    }
    return QString::number(static_cast<std::int32_t>(sum));
}

int DialogBaseUnits::x(int n) const {
    return mulDiv(n, horizontal, 4);
}

int DialogBaseUnits::y(int n) const {
    return mulDiv(n, vertical, 8);
}

DialogBaseUnits dialogBaseUnitsFrom(int alphabetWidthPx, int fontHeightPx) {
    return {(alphabetWidthPx / 26 + 1) / 2, fontHeightPx};
}

int messageTextWidthLimit(int screenWidthPx, const DialogBaseUnits& du, int iconWidthPx) {
    int width = screenWidthPx / 2 + 100;
    if (iconWidthPx > 0) width -= iconWidthPx + 2 * du.x(8);
    return std::max(1, width);
}

QSize messageBoxButtonSize(const DialogBaseUnits& du, const QSize& largestCaptionPx) {
    return {std::max(du.x(40), largestCaptionPx.width()) + 2 * du.x(4),
            std::max(du.y(14), largestCaptionPx.height()) + 2 * du.x(1)};
}

QSize messageBoxCheckBoxSize(const DialogBaseUnits& du, const QSize& textPx) {
    return {textPx.width() + du.x(14), textPx.height()};
}

MessageBoxLayout layoutMessageBox(const MessageBoxLayoutInput& in) {
    const DialogBaseUnits& du = in.units;
    MessageBoxLayout out;
    const bool hasIcon = !in.iconSize.isEmpty();

    int left = du.x(8);
    if (hasIcon) {
        out.icon = QRect(QPoint(du.x(8), du.y(8)), in.iconSize);
        left += in.iconSize.width() + du.x(8);
    }
    out.message = QRect(QPoint(left, du.y(8)), in.textSize);

    int width = left + in.textSize.width() + 2 * du.x(8);
    int height = std::max((hasIcon ? in.iconSize.height() + 3 * du.y(8) : 2 * du.y(8)),
                          in.textSize.height() + du.y(4) + 2 * du.y(8));

    int below = out.message.top() + in.textSize.height() + du.y(4) + du.y(8);
    if (!in.checkBoxSize.isEmpty()) {
        out.checkBox = QRect(QPoint(left, below), in.checkBoxSize);
        width = std::max(width, out.checkBox.left() + out.checkBox.width() + du.x(8));
        height = std::max(height, out.checkBox.top() + out.checkBox.height() + du.y(8));
        below = out.checkBox.top() + out.checkBox.height() + du.y(4);
    }

    if (!in.progressBarSize.isEmpty()) {
        const QSize label = in.progressLabelSize;
        const int rowWidth =
            std::max(in.textSize.width(), in.progressBarSize.width() + du.x(4) + label.width());
        const int rowHeight = std::max(in.progressBarSize.height(), label.height());
        const int barWidth = rowWidth - du.x(4) - label.width();
        out.progressBar = QRect(left, below + (rowHeight - in.progressBarSize.height()) / 2,
                                barWidth, in.progressBarSize.height());
        out.progressLabel =
            QRect(left + barWidth + du.x(4), below + (rowHeight - label.height()) / 2,
                  label.width(), label.height());
        width = std::max(width, left + rowWidth + du.x(8));
        height = std::max(height, below + rowHeight + du.y(8));
    }

    const int n = in.buttonCount;
    const int contentHeight = height;
    const int rowWidth = n * in.buttonSize.width() + (n - 1) * du.x(4);
    width = std::max(width, rowWidth + 2 * du.x(8));
    height += du.y(8) + in.buttonSize.height();
    const int rowTop = height - in.buttonSize.height() - du.y(8);
    int x = in.rightAlignButtons ? width - rowWidth - du.x(8) : (width - rowWidth) / 2;
    for (int i = 0; i < n; ++i) {
        out.buttons.emplace_back(QPoint(x, rowTop), in.buttonSize);
        x += in.buttonSize.width() + du.x(4);
    }
    // The 40 pixels take back the empty button row as an 8-point dialog font measures it; where a
    // smaller font makes that row lower, the box keeps its content's height instead of cutting
    // the content.
    if (n == 0) height = std::max(height - 40, contentHeight);

    out.clientSize = QSize(width, height);
    return out;
}

}  // namespace vistrela
