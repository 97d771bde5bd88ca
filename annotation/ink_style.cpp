#include "annotation/ink_style.h"

#include <algorithm>

namespace vistrela {

InkStyle ValidInkStyle(InkStyle style) {
    const int lastColour = static_cast<int>(kInkColours.size()) - 1;
    style.colour = std::clamp(style.colour, 0, lastColour);
    style.highlightColour = std::clamp(style.highlightColour, 0, lastColour);
    style.width = std::clamp(style.width, 0, static_cast<int>(kInkWidths.size()) - 1);
    if (!IsInkTool(style.tool)) style.tool = DrawMode::Pen;
    return style;
}

RememberedInk RememberedInkOf(const InkStyle& style) {
    return {style.colour, style.highlightColour, style.width, static_cast<int>(style.tool)};
}

InkStyle InkStyleOf(const RememberedInk& ink) {
    return ValidInkStyle(
        {ink.colour, ink.highlightColour, ink.width, static_cast<DrawMode>(ink.tool)});
}

std::uint32_t InkPixel(const InkStyle& style, DrawMode tool) {
    if (tool == DrawMode::Highlight)
        return HighlightPixel(kInkColours[static_cast<std::size_t>(style.highlightColour)]);
    return OpaqueInkPixel(kInkColours[static_cast<std::size_t>(style.colour)]);
}

int InkWidth(const InkStyle& style, DrawMode tool) {
    const int width = kInkWidths[static_cast<std::size_t>(style.width)];
    return tool == DrawMode::Highlight ? width * kHighlightWidthFactor : width;
}

}  // namespace vistrela
