#pragma once
// The ink commands in one table: for each its id, its label (a translatable text of the
// context "InkCommand", Korean as written here), its key and its handler on the annotation
// tools. The keyboard, the context menu and the ink palette read this table. Headless; the
// handlers run on the user-interface thread.

#include <QKeyCombination>
#include <QtGlobal>
#include <span>

#include "annotation/annotation_tools.h"

namespace vistrela {

namespace ink {
inline constexpr int kColourFirst = 2101;  // the colours 1 to 6: kColourFirst + palette index
inline constexpr int kNextWidth = 2110;
inline constexpr int kPen = 2111;
inline constexpr int kHighlight = 2112;
inline constexpr int kLaser = 2113;
inline constexpr int kEraser = 2114;
inline constexpr int kArrow = 2115;
inline constexpr int kRectangle = 2116;
inline constexpr int kEllipse = 2117;
}  // namespace ink

struct InkCommand {
    int id = 0;
    const char* label = nullptr;  // UTF-8; translate with QCoreApplication::translate
    Qt::Key key = Qt::Key_unknown;
    void (*run)(AnnotationTools&, PipelineState&) = nullptr;
    DrawMode tool = DrawMode::None;  // the tool the command chooses, or None
};

inline constexpr const char* kInkCommandContext = "InkCommand";
// The context menu's submenu that lists them.
inline constexpr const char* kInkMenuLabel = QT_TRANSLATE_NOOP("InkCommand", "잉크");

std::span<const InkCommand> InkCommands();

// The command of `id`, or null.
const InkCommand* FindInkCommand(int id);

// The command a key press runs, or null: the plain key (Shift and the keypad flag ignored),
// never with Ctrl, Alt or Meta.
const InkCommand* FindInkCommandForKey(QKeyCombination key);

// The command that chose what `style` and `mode` show now: the tool when an ink tool or the
// eraser is chosen, else the style's tool. For the pen button's look and the palette.
bool InkCommandChecked(const InkCommand& command, const InkStyle& style, DrawMode mode);

}  // namespace vistrela
