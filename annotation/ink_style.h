#pragma once
// The ink the left button puts down: its colour, its width and the ink tool a press in the
// picture draws with when no tool is chosen. Plain values; user-interface thread.
//
// Overlay pixels (see overlay.h) tell the kind of ink by their fourth byte:
// - kNoInk (0xff000000): no ink, transparent;
// - fourth byte 0xff, any colour but black: opaque ink, written as the design's pen writes it;
// - 0xfe000000: opaque black ink (black itself is the overlay's transparent colour);
// - fourth byte 0x7f: highlighter ink, which multiplies the picture below it (IsMultiplyInk),
//   so dark print under it stays dark.

#include <array>
#include <cstdint>

#include "annotation/draw_mode.h"
#include "settings/remembered_choices.h"
#include "viewer/image.h"

namespace vistrela {

inline constexpr std::uint32_t kBlackInk = 0xfe000000u;
inline constexpr std::uint32_t kHighlightTag = 0x7f000000u;

// The palette, in the order of the keys 1 to 6: the design's green pen first.
inline constexpr std::array<Rgb, 6> kInkColours = {{
    {0, 255, 34},     // green (the design's pen)
    {0, 0, 0},        // black
    {230, 25, 25},    // red
    {25, 80, 235},    // blue
    {255, 255, 255},  // white
    {255, 230, 0},    // yellow
}};
inline constexpr int kYellowInk = 5;

// Pen widths in overlay pixels: thin, medium and the design's thick pen (the default).
inline constexpr std::array<int, 3> kInkWidths = {2, 4, 6};
// The highlighter is this many times as wide as the pen.
inline constexpr int kHighlightWidthFactor = 4;

struct InkStyle {
    int colour = 0;                    // index into kInkColours: pen, laser ink and shapes
    int highlightColour = kYellowInk;  // index into kInkColours: the highlighter
    int width = 2;                     // index into kInkWidths
    DrawMode tool = DrawMode::Pen;     // the ink tool a press picks when no tool is chosen

    bool operator==(const InkStyle&) const = default;
};

// The style with every index held to its range and a tool that puts ink down.
InkStyle ValidInkStyle(InkStyle style);

// The style as the profile keeps it, and back (held to the ranges).
RememberedInk RememberedInkOf(const InkStyle& style);
InkStyle InkStyleOf(const RememberedInk& ink);

// The overlay pixel a stroke of `tool` writes in `style`.
std::uint32_t InkPixel(const InkStyle& style, DrawMode tool);
// The stroke width of `tool` in `style`, overlay pixels.
int InkWidth(const InkStyle& style, DrawMode tool);

constexpr std::uint32_t OpaqueInkPixel(Rgb colour) {
    return colour.pixel() == kNoInk ? kBlackInk : colour.pixel();
}
constexpr std::uint32_t HighlightPixel(Rgb colour) {
    return kHighlightTag | (colour.pixel() & kRgbMask);
}

}  // namespace vistrela
