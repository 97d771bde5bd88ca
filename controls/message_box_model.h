#pragma once
// The rules of the program's own message box (CMessageBoxDialog) kept free of widgets: which
// buttons a style gives, their labels and the default and cancel buttons, the name under which
// a remembered answer is kept in the application profile, and the layout arithmetic in dialog
// units. The shell measures fonts and controls, calls these and places its widgets.
// Pixels are the dialog's logical pixels.

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <vector>

namespace vistrela {

// Style flags; the low bits follow the platform's message-box values.
inline constexpr std::uint32_t kMbButtonSetMask = 0x0000000F;
inline constexpr std::uint32_t kMbNoButtons = 14;  // button set without any button
inline constexpr std::uint32_t kMbIconMask = 0x000000F0;
inline constexpr std::uint32_t kMbIconHand = 0x00000010;
inline constexpr std::uint32_t kMbIconQuestion = 0x00000020;
inline constexpr std::uint32_t kMbIconExclamation = 0x00000030;
inline constexpr std::uint32_t kMbIconAsterisk = 0x00000040;
inline constexpr std::uint32_t kMbDefaultButtonMask = 0x00000F00;  // 0x100..0x500: 2nd..6th
inline constexpr std::uint32_t kMbSystemModal = 0x00001000;
inline constexpr std::uint32_t kMbHelp = 0x00004000;
inline constexpr std::uint32_t kMbSetForeground = 0x00010000;
inline constexpr std::uint32_t kMbTopmost = 0x00040000;
inline constexpr std::uint32_t kMbRightText = 0x00080000;
inline constexpr std::uint32_t kMbRtlReading = 0x00100000;
inline constexpr std::uint32_t kMbDontDisplayAgain = 0x01000000;
inline constexpr std::uint32_t kMbDontAskAgain = 0x02000000;
inline constexpr std::uint32_t kMbYesToAll = 0x04000000;
inline constexpr std::uint32_t kMbNoToAll = 0x08000000;
inline constexpr std::uint32_t kMbRightButtons = 0x10000000;
inline constexpr std::uint32_t kMbNoSound = 0x20000000;

// Command ids of the buttons; a box ends with one of them.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr int IDHELP = 9;
inline constexpr int IDTRYAGAIN = 10;
inline constexpr int IDCONTINUE = 11;
inline constexpr int IDYESTOALL = 14;
inline constexpr int IDNOTOALL = 15;
inline constexpr int IDSKIP = 16;
inline constexpr int IDSKIPALL = 17;
inline constexpr int IDIGNOREALL = 18;
inline constexpr int IDC_DONT_AGAIN = 19;  // the don't-again check box

// Label string ids, 9001..9016 in this order: "&Ok", "&Cancel", "&Abort", "&Retry", "&Ignore",
// "Ignore &all", "&Yes", "Yes to &all", "&No", "No to a&ll", "&Continue", "&Skip", "Skip &all",
// "&Help", "Don't display this &message again.", "Don't ask this &question again.".
inline constexpr int IDS_MB_FIRST = 9001;
inline constexpr int IDS_MB_LAST = 9016;
inline constexpr int IDS_MB_DONT_DISPLAY = 9015;
inline constexpr int IDS_MB_DONT_ASK = 9016;
// The label of string `stringId`; empty outside 9001..9016. '&' marks the mnemonic.
QString messageBoxString(int stringId);

struct MessageBoxButton {
    int id = 0;        // command id
    int stringId = 0;  // label string id
};

struct MessageBoxButtons {
    std::vector<MessageBoxButton> buttons;  // left to right
    int defaultId = -1;                     // -1 when none
    int cancelId = -1;                      // -1 when none
};

// The buttons of `style`: the set of its low four bits, the optional Yes-to-all and No-to-all
// buttons of the Yes/No sets, a trailing Help button, and the default chosen by the default
// bits when the box has that many buttons.
MessageBoxButtons messageBoxButtons(std::uint32_t style);

// Whether `style` offers the don't-display-again or don't-ask-again check box.
inline bool offersDontAgain(std::uint32_t style) {
    return (style & (kMbDontDisplayAgain | kMbDontAskAgain)) != 0;
}

// Name of the remembered answer in the profile group "MessageBoxes": the message id in
// decimal, or with id 0 the decimal sum over the message's bytes (UTF-8) of position × byte,
// positions from 0, bytes signed, summed in 32 bits with wrap-around. It depends only on the
// text (or the id), never on the title.
QString messageBoxValueName(const QByteArray& messageUtf8, int messageId);

// Dialog base units of a font, as the platform defines them: the horizontal unit is the
// average character width (the width of kDialogUnitAlphabet / 52, rounded), the vertical unit
// the font's height.
inline constexpr char kDialogUnitAlphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
struct DialogBaseUnits {
    int horizontal = 0;
    int vertical = 0;

    // n dialog units in pixels, rounded to nearest as the platform maps dialog rectangles.
    int x(int n) const;
    int y(int n) const;
};
DialogBaseUnits dialogBaseUnitsFrom(int alphabetWidthPx, int fontHeightPx);

// Width in which the message is measured and wrapped: half the screen width + 100, less the
// icon and twice 8 horizontal units when there is an icon.
int messageTextWidthLimit(int screenWidthPx, const DialogBaseUnits& du, int iconWidthPx);

// Size of every button from the largest caption: as wide as the wider of 40 horizontal units
// and the caption plus twice 4 horizontal units, as high as the higher of 14 vertical units
// and the caption plus twice 1 horizontal unit.
QSize messageBoxButtonSize(const DialogBaseUnits& du, const QSize& largestCaptionPx);

// Size of the check box: its text plus 14 horizontal units (the box in front of it) wide, as
// high as its text.
QSize messageBoxCheckBoxSize(const DialogBaseUnits& du, const QSize& textPx);

struct MessageBoxLayoutInput {
    DialogBaseUnits units;
    QSize iconSize;           // empty without icon
    QSize textSize;           // the measured message
    QSize checkBoxSize;       // empty without check box
    QSize progressBarSize;    // empty without progress row; the bar's least width and height
    QSize progressLabelSize;  // the widest percentage text ("100%")
    QSize buttonSize;         // of each button
    int buttonCount = 0;
    bool rightAlignButtons = false;
};

struct MessageBoxLayout {
    QRect icon;  // empty without icon
    QRect message;
    QRect checkBox;              // empty without check box
    QRect progressBar;           // empty without progress row
    QRect progressLabel;         // right of the bar
    std::vector<QRect> buttons;  // left to right
    QSize clientSize;
};

// Places icon, message, check box, progress row and buttons, in units of the input:
// icon at (X8, Y8), the message right of it (or at X8) at height Y8; the check box under the
// message at text height + Y4 + Y8, aligned with it; the progress row likewise under the check
// box (or the message); the button row centred (or right-aligned) under everything, X4 apart,
// Y8 from the bottom. Without buttons the box is 40 pixels lower than the row would make it,
// but never so low that the content below the message is cut.
MessageBoxLayout layoutMessageBox(const MessageBoxLayoutInput& in);

}  // namespace vistrela
