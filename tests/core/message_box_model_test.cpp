#include "controls/message_box_model.h"

#include <gtest/gtest.h>

#include <cstdint>

using namespace vistrela;

namespace {

std::vector<int> ids(const MessageBoxButtons& set) {
    std::vector<int> out;
    for (const MessageBoxButton& b : set.buttons) out.push_back(b.id);
    return out;
}

std::vector<QString> labels(const MessageBoxButtons& set) {
    std::vector<QString> out;
    for (const MessageBoxButton& b : set.buttons) out.push_back(messageBoxString(b.stringId));
    return out;
}

// The classic dialog font: 8 point "MS Sans Serif" at 96 dpi.
constexpr DialogBaseUnits kClassicUnits{6, 13};

MessageBoxLayoutInput messageOnly(const DialogBaseUnits& du, QSize text) {
    MessageBoxLayoutInput in;
    in.units = du;
    in.textSize = text;
    in.buttonSize = messageBoxButtonSize(du, QSize());
    return in;
}

}  // namespace

TEST(MessageBoxButtons, SetsByTheLowBits) {
    for (std::uint32_t style : {0u, 10u, 11u, 12u, 13u, 15u}) {
        const MessageBoxButtons set = messageBoxButtons(style);
        EXPECT_EQ(ids(set), std::vector<int>{IDOK}) << style;
        EXPECT_EQ(set.defaultId, IDOK);
        EXPECT_EQ(set.cancelId, IDOK);
    }
    EXPECT_EQ(labels(messageBoxButtons(0)), std::vector<QString>{"&Ok"});

    const MessageBoxButtons abort = messageBoxButtons(2);
    EXPECT_EQ(labels(abort), (std::vector<QString>{"&Abort", "&Retry", "&Ignore"}));
    EXPECT_EQ(abort.cancelId, -1);

    const MessageBoxButtons cancelFirst = messageBoxButtons(6);
    EXPECT_EQ(ids(cancelFirst), (std::vector<int>{IDCANCEL, IDTRYAGAIN, IDCONTINUE}));
    EXPECT_EQ(labels(cancelFirst), (std::vector<QString>{"&Cancel", "&Retry", "&Continue"}));
    EXPECT_EQ(cancelFirst.defaultId, IDCANCEL);
    EXPECT_EQ(cancelFirst.cancelId, IDCANCEL);

    const MessageBoxButtons skip = messageBoxButtons(8);
    EXPECT_EQ(labels(skip), (std::vector<QString>{"&Skip", "Skip &all", "&Cancel"}));
    EXPECT_EQ(ids(messageBoxButtons(9)), (std::vector<int>{IDIGNORE, IDIGNOREALL, IDCANCEL}));
    EXPECT_EQ(labels(messageBoxButtons(9))[1], "Ignore &all");

    const MessageBoxButtons none = messageBoxButtons(kMbNoButtons);
    EXPECT_TRUE(none.buttons.empty());
    EXPECT_EQ(none.defaultId, -1);
    EXPECT_EQ(none.cancelId, -1);
}

TEST(MessageBoxButtons, YesNoExtrasAndHelpFollowTheirBits) {
    const MessageBoxButtons plain = messageBoxButtons(3);
    EXPECT_EQ(ids(plain), (std::vector<int>{IDYES, IDNO, IDCANCEL}));

    const MessageBoxButtons full = messageBoxButtons(3 | kMbYesToAll | kMbNoToAll | kMbHelp);
    EXPECT_EQ(ids(full), (std::vector<int>{IDYES, IDYESTOALL, IDNO, IDNOTOALL, IDCANCEL, IDHELP}));
    EXPECT_EQ(labels(full), (std::vector<QString>{"&Yes", "Yes to &all", "&No", "No to a&ll",
                                                  "&Cancel", "&Help"}));
    EXPECT_EQ(full.defaultId, IDYES);
    EXPECT_EQ(full.cancelId, IDCANCEL);

    // Set 4 has no cancel button; the extras only ever join the Yes/No sets.
    const MessageBoxButtons noOnly = messageBoxButtons(4 | kMbNoToAll);
    EXPECT_EQ(ids(noOnly), (std::vector<int>{IDYES, IDNO, IDNOTOALL}));
    EXPECT_EQ(noOnly.cancelId, -1);
    EXPECT_EQ(ids(messageBoxButtons(1 | kMbYesToAll | kMbNoToAll)),
              (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(ids(messageBoxButtons(kMbNoButtons | kMbHelp)), std::vector<int>{IDHELP});
}

TEST(MessageBoxButtons, DefaultBitsPickOnlyButtonsThatExist) {
    EXPECT_EQ(messageBoxButtons(3 | 0x100).defaultId, IDNO);
    EXPECT_EQ(messageBoxButtons(3 | 0x200).defaultId, IDCANCEL);
    EXPECT_EQ(messageBoxButtons(3 | 0x300).defaultId, IDYES);  // only three buttons
    EXPECT_EQ(messageBoxButtons(0 | 0x100).defaultId, IDOK);
    EXPECT_EQ(messageBoxButtons(1 | kMbHelp | 0x200).defaultId, IDHELP);

    const std::uint32_t six = 3 | kMbYesToAll | kMbNoToAll | kMbHelp;
    EXPECT_EQ(messageBoxButtons(six | 0x400).defaultId, IDCANCEL);
    EXPECT_EQ(messageBoxButtons(six | 0x500).defaultId, IDHELP);
    EXPECT_EQ(messageBoxButtons(six | 0x600).defaultId, IDYES);  // beyond the 6th: ignored
    EXPECT_EQ(messageBoxButtons(kMbNoButtons | 0x100).defaultId, -1);
}

TEST(MessageBoxValueName, IdElseWeightedSignedBytes) {
    EXPECT_EQ(messageBoxValueName("whatever", 4711), "4711");
    EXPECT_EQ(messageBoxValueName("", 0), "0");
    // Position 0 weighs nothing: 1 × 'b'.
    EXPECT_EQ(messageBoxValueName("ab", 0), "98");
    EXPECT_EQ(messageBoxValueName("ba", 0), "97");
    // "동" is EB 8F 99 in UTF-8; as signed bytes 1 × -113 + 2 × -103.
    EXPECT_EQ(messageBoxValueName(QString("동").toUtf8(), 0), "-319");

    // A long text overflows 32 bits; the sum wraps instead of being undefined.
    const qsizetype n = 70000;
    const QByteArray longText(n, 'a');
    const std::uint64_t exact = 97ull * static_cast<std::uint64_t>(n) * (n - 1) / 2;
    ASSERT_GT(exact, 0xFFFFFFFFull);
    EXPECT_EQ(messageBoxValueName(longText, 0),
              QString::number(static_cast<std::int32_t>(static_cast<std::uint32_t>(exact))));
}

TEST(MessageBoxUnits, BaseUnitsAndRounding) {
    // 312 / 52 = 6 exactly; 337 / 52 = 6.48 and 338 / 52 = 6.5 round to 6 and 7.
    EXPECT_EQ(dialogBaseUnitsFrom(312, 13).horizontal, 6);
    EXPECT_EQ(dialogBaseUnitsFrom(337, 13).horizontal, 6);
    EXPECT_EQ(dialogBaseUnitsFrom(338, 13).horizontal, 7);
    EXPECT_EQ(dialogBaseUnitsFrom(338, 17).vertical, 17);

    EXPECT_EQ(kClassicUnits.x(8), 12);
    EXPECT_EQ(kClassicUnits.x(1), 2);             // 1.5 rounds up
    EXPECT_EQ(kClassicUnits.y(4), 7);             // 6.5
    EXPECT_EQ(kClassicUnits.y(14), 23);           // 22.75
    EXPECT_EQ((DialogBaseUnits{7, 17}.x(1)), 2);  // 1.75
    EXPECT_EQ((DialogBaseUnits{5, 10}.x(1)), 1);  // 1.25

    EXPECT_EQ(messageTextWidthLimit(1366, kClassicUnits, 0), 783);
    EXPECT_EQ(messageTextWidthLimit(1366, kClassicUnits, 32), 783 - 32 - 24);
    EXPECT_EQ(messageBoxButtonSize(kClassicUnits, QSize(30, 13)), QSize(60 + 12, 23 + 4));
    EXPECT_EQ(messageBoxButtonSize(kClassicUnits, QSize(90, 30)), QSize(90 + 12, 30 + 4));
}

TEST(MessageBoxLayout, NoButtonsTakesBackTheRowWithoutCuttingTheMessage) {
    // In that font the 40 pixels are exactly the empty row: Y8 + Y14 + 2·X1.
    const MessageBoxLayout classic = layoutMessageBox(messageOnly(kClassicUnits, {200, 13}));
    EXPECT_EQ(classic.message, QRect(12, 13, 200, 13));
    EXPECT_EQ(classic.clientSize, QSize(12 + 200 + 24, 13 + 7 + 26));
    EXPECT_TRUE(classic.buttons.empty());

    // A larger font keeps the difference below the message.
    const DialogBaseUnits large{7, 17};
    const MessageBoxLayout big = layoutMessageBox(messageOnly(large, {300, 17}));
    const int content = 17 + large.y(4) + 2 * large.y(8);
    EXPECT_EQ(big.clientSize.height(), content + large.y(8) + large.y(14) + 2 * large.x(1) - 40);

    // A smaller font's row is lower than 40 pixels: the message and its margin stay whole.
    const DialogBaseUnits small{5, 10};
    const MessageBoxLayout tiny = layoutMessageBox(messageOnly(small, {150, 10}));
    EXPECT_GE(tiny.clientSize.height(), tiny.message.bottom() + 1 + small.y(8));
}

TEST(MessageBoxLayout, IconCheckBoxAndButtonRow) {
    MessageBoxLayoutInput in = messageOnly(kClassicUnits, {100, 26});
    in.iconSize = QSize(32, 32);
    in.checkBoxSize = messageBoxCheckBoxSize(kClassicUnits, QSize(180, 13));
    in.buttonSize = messageBoxButtonSize(kClassicUnits, QSize(20, 13));
    in.buttonCount = 3;
    const MessageBoxLayout out = layoutMessageBox(in);

    EXPECT_EQ(out.icon, QRect(12, 13, 32, 32));
    EXPECT_EQ(out.message.topLeft(), QPoint(12 + 32 + 12, 13));
    EXPECT_EQ(out.checkBox, QRect(56, 13 + 26 + 7 + 13, 180 + 21, 13));
    // The check box is the widest content; the box holds it and X8.
    EXPECT_EQ(out.clientSize.width(), out.checkBox.right() + 1 + 12);

    ASSERT_EQ(out.buttons.size(), 3u);
    const int rowWidth = 3 * 72 + 2 * 6;
    EXPECT_EQ(out.buttons[0].left(), (out.clientSize.width() - rowWidth) / 2);
    EXPECT_EQ(out.buttons[1].left() - out.buttons[0].right() - 1, kClassicUnits.x(4));
    EXPECT_EQ(out.buttons[2].bottom() + 1 + kClassicUnits.y(8), out.clientSize.height());
    EXPECT_GE(out.buttons[0].top(), out.checkBox.bottom() + 1 + kClassicUnits.y(8));

    in.rightAlignButtons = true;
    const MessageBoxLayout right = layoutMessageBox(in);
    EXPECT_EQ(right.buttons[2].right() + 1, right.clientSize.width() - kClassicUnits.x(8));

    // A row wider than the content widens the box.
    in.buttonCount = 6;
    const MessageBoxLayout wide = layoutMessageBox(in);
    EXPECT_EQ(wide.clientSize.width(), 6 * 72 + 5 * 6 + 2 * 12);
    EXPECT_EQ(wide.buttons.front().left(), 12);
}

TEST(MessageBoxLayout, ProgressRowUnderTheMessageGrowsTheBox) {
    MessageBoxLayoutInput in = messageOnly(kClassicUnits, {150, 13});
    const QSize before = layoutMessageBox(in).clientSize;
    in.progressBarSize = QSize(kClassicUnits.x(100), 20);
    in.progressLabelSize = QSize(30, 13);
    const MessageBoxLayout out = layoutMessageBox(in);

    EXPECT_EQ(out.progressBar.left(), out.message.left());
    EXPECT_GE(out.progressBar.top(), out.message.bottom() + 1 + kClassicUnits.y(4));
    EXPECT_GE(out.progressBar.width(), kClassicUnits.x(100));
    EXPECT_EQ(out.progressLabel.left(), out.progressBar.right() + 1 + kClassicUnits.x(4));
    EXPECT_LE(out.progressLabel.right() + 1 + kClassicUnits.x(8), out.clientSize.width());
    EXPECT_GT(out.clientSize.height(), before.height());
    EXPECT_GE(out.clientSize.height(), out.progressBar.bottom() + 1 + kClassicUnits.y(8));
}
