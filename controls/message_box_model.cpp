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

// A button of a set; `onlyWith` is the style flag it needs (0: always there).
struct SetButton {
    int id = 0;
    int stringId = 0;
    std::uint32_t onlyWith = 0;
};

// The buttons of one button set, left to right (id 0 ends the list), with its default and
// cancel buttons (-1: none).
struct ButtonSet {
    std::array<SetButton, 5> buttons;
    int defaultId = -1;
    int cancelId = -1;
};

constexpr ButtonSet kOkSet = {{{{IDOK, kOk}}}, IDOK, IDOK};
constexpr ButtonSet kNoButtonSet = {};

// By the style's low four bits; sets 10..13 and 15 are the plain OK box.
constexpr std::array<ButtonSet, 10> kButtonSets = {{
    kOkSet,
    {{{{IDOK, kOk}, {IDCANCEL, kCancel}}}, IDOK, IDCANCEL},
    {{{{IDABORT, kAbort}, {IDRETRY, kRetry}, {IDIGNORE, kIgnore}}}, IDABORT, -1},
    {{{{IDYES, kYes},
       {IDYESTOALL, kYesToAll, kMbYesToAll},
       {IDNO, kNo},
       {IDNOTOALL, kNoToAll, kMbNoToAll},
       {IDCANCEL, kCancel}}},
     IDYES,
     IDCANCEL},
    {{{{IDYES, kYes},
       {IDYESTOALL, kYesToAll, kMbYesToAll},
       {IDNO, kNo},
       {IDNOTOALL, kNoToAll, kMbNoToAll}}},
     IDYES,
     -1},
    {{{{IDRETRY, kRetry}, {IDCANCEL, kCancel}}}, IDRETRY, IDCANCEL},
    {{{{IDCANCEL, kCancel}, {IDTRYAGAIN, kRetry}, {IDCONTINUE, kContinue}}}, IDCANCEL, IDCANCEL},
    {{{{IDCONTINUE, kContinue}, {IDABORT, kAbort}}}, IDCONTINUE, -1},
    {{{{IDSKIP, kSkip}, {IDSKIPALL, kSkipAll}, {IDCANCEL, kCancel}}}, IDSKIP, IDCANCEL},
    {{{{IDIGNORE, kIgnore}, {IDIGNOREALL, kIgnoreAll}, {IDCANCEL, kCancel}}}, IDIGNORE, IDCANCEL},
}};

const ButtonSet& buttonSetOf(std::uint32_t style) {
    const std::uint32_t set = style & kMbButtonSetMask;
    if (set == kMbNoButtons) return kNoButtonSet;
    return set < kButtonSets.size() ? kButtonSets[set] : kOkSet;
}

}  // namespace

QString messageBoxString(int stringId) {
    if (stringId < IDS_MB_FIRST || stringId > IDS_MB_LAST) return {};
    return QString::fromLatin1(kStrings[static_cast<std::size_t>(stringId - IDS_MB_FIRST)]);
}

MessageBoxButtons messageBoxButtons(std::uint32_t style) {
    const ButtonSet& row = buttonSetOf(style);
    MessageBoxButtons set;
    for (const SetButton& button : row.buttons) {
        if (button.id == 0) break;
        if (button.onlyWith == 0 || (style & button.onlyWith) != 0)
            set.buttons.push_back({button.id, button.stringId});
    }
    set.defaultId = row.defaultId;
    set.cancelId = row.cancelId;
    if (style & kMbHelp) set.buttons.push_back({IDHELP, kHelp});

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
