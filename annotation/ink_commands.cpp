#include "annotation/ink_commands.h"

#include <QtGlobal>
#include <array>

namespace vistrela {

namespace {

using T = AnnotationTools;
using S = PipelineState;

template <int Index>
void PickColour(T& tools, S& state) {
    tools.ChooseColour(state, Index);
}

template <DrawMode Mode>
void PickTool(T& tools, S& state) {
    tools.ChooseTool(state, Mode);
}

constexpr std::array<InkCommand, 14> kTable = {{
    {ink::kColourFirst + 0, QT_TRANSLATE_NOOP("InkCommand", "초록"), Qt::Key_1, PickColour<0>},
    {ink::kColourFirst + 1, QT_TRANSLATE_NOOP("InkCommand", "검정"), Qt::Key_2, PickColour<1>},
    {ink::kColourFirst + 2, QT_TRANSLATE_NOOP("InkCommand", "빨강"), Qt::Key_3, PickColour<2>},
    {ink::kColourFirst + 3, QT_TRANSLATE_NOOP("InkCommand", "파랑"), Qt::Key_4, PickColour<3>},
    {ink::kColourFirst + 4, QT_TRANSLATE_NOOP("InkCommand", "하양"), Qt::Key_5, PickColour<4>},
    {ink::kColourFirst + 5, QT_TRANSLATE_NOOP("InkCommand", "노랑"), Qt::Key_6, PickColour<5>},
    {ink::kNextWidth, QT_TRANSLATE_NOOP("InkCommand", "굵기"), Qt::Key_W,
     [](T& tools, S&) { tools.NextWidth(); }},
    {ink::kPen, QT_TRANSLATE_NOOP("InkCommand", "펜"), Qt::Key_P, PickTool<DrawMode::Pen>,
     DrawMode::Pen},
    {ink::kHighlight, QT_TRANSLATE_NOOP("InkCommand", "형광펜"), Qt::Key_H,
     PickTool<DrawMode::Highlight>, DrawMode::Highlight},
    {ink::kLaser, QT_TRANSLATE_NOOP("InkCommand", "레이저 펜"), Qt::Key_L,
     PickTool<DrawMode::Laser>, DrawMode::Laser},
    {ink::kEraser, QT_TRANSLATE_NOOP("InkCommand", "지우개"), Qt::Key_E, PickTool<DrawMode::Erase>,
     DrawMode::Erase},
    {ink::kArrow, QT_TRANSLATE_NOOP("InkCommand", "화살표"), Qt::Key_A, PickTool<DrawMode::Arrow>,
     DrawMode::Arrow},
    {ink::kRectangle, QT_TRANSLATE_NOOP("InkCommand", "사각형"), Qt::Key_Q,
     PickTool<DrawMode::Rectangle>, DrawMode::Rectangle},
    {ink::kEllipse, QT_TRANSLATE_NOOP("InkCommand", "타원"), Qt::Key_O, PickTool<DrawMode::Ellipse>,
     DrawMode::Ellipse},
}};

}  // namespace

std::span<const InkCommand> InkCommands() {
    return kTable;
}

const InkCommand* FindInkCommand(int id) {
    for (const InkCommand& c : InkCommands())
        if (c.id == id) return &c;
    return nullptr;
}

const InkCommand* FindInkCommandForKey(QKeyCombination key) {
    if (key.keyboardModifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return nullptr;
    for (const InkCommand& c : InkCommands())
        if (c.key == key.key()) return &c;
    return nullptr;
}

bool InkCommandChecked(const InkCommand& command, const InkStyle& style, DrawMode mode) {
    const DrawMode tool = ToolActive(mode) ? mode : style.tool;
    if (command.id >= ink::kColourFirst &&
        command.id < ink::kColourFirst + static_cast<int>(kInkColours.size())) {
        const int colour = tool == DrawMode::Highlight ? style.highlightColour : style.colour;
        return command.id - ink::kColourFirst == colour;
    }
    return command.tool != DrawMode::None && command.tool == tool;
}

}  // namespace vistrela
