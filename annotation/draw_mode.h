#pragma once
// The tool of the main window (`drawMode`): what the left button does and whether the drawing
// is shown. The values are the design's drawMode numbers. Plain value; any thread.

namespace vistrela {

enum class DrawMode {
    None = 0,        // nothing drawn yet: the overlay is not mixed in
    Show = 1,        // the drawing shows; the left button does nothing
    Stamp = 10,      // the text window's line goes into the overlay with the next frame
    Pen = 20,        // the left button draws
    Highlight = 21,  // a wide translucent stroke that multiplies the picture below
    Laser = 22,      // a stroke that fades out after the button is released
    Arrow = 23,      // shapes, drawn from the press to the pointer with a live preview
    Rectangle = 24,
    Ellipse = 25,
    Erase = 30,  // the left button erases
};

// The design's names of the values.
inline constexpr DrawMode DRAW_NONE = DrawMode::None;
inline constexpr DrawMode DRAW_SHOW = DrawMode::Show;
inline constexpr DrawMode DRAW_STAMP = DrawMode::Stamp;
inline constexpr DrawMode DRAW_PEN = DrawMode::Pen;
inline constexpr DrawMode DRAW_ERASE = DrawMode::Erase;

// The overlay is mixed into the picture: in every mode once something was drawn.
constexpr bool ShowsDrawing(DrawMode mode) {
    return mode != DrawMode::None;
}

// A tool that puts ink down (pen, highlighter, laser ink, shapes).
constexpr bool IsInkTool(DrawMode mode) {
    return mode >= DrawMode::Pen && mode <= DrawMode::Ellipse;
}

// A shape tool: the stroke is one figure from the press to the pointer.
constexpr bool IsShapeTool(DrawMode mode) {
    return mode >= DrawMode::Arrow && mode <= DrawMode::Ellipse;
}

// A drawing tool is chosen (ink or eraser): the pointer's marker shows and follows the mouse.
constexpr bool ToolActive(DrawMode mode) {
    return IsInkTool(mode) || mode == DrawMode::Erase;
}

}  // namespace vistrela
