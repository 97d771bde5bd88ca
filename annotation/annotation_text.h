#pragma once
// The text annotation: a line of text that stands on the live picture at the place of the text
// window, drawn on every frame while the window is open, and burnt into the drawing overlay
// when the user applies it (drawMode DRAW_STAMP for one frame, then DRAW_SHOW).
//
// Places are given in video-area pixels (x right, y down from the area's top-left corner) and
// mapped onto the shown picture through the frame geometry, so zoom, pan, turn and the black
// bars are taken into account. Text is drawn with its line's top-left corner at the mapped
// point, rows counted from the TOP of the picture.
//
// User-interface thread only, like the pipeline that calls it.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <functional>
#include <string>

#include "viewer/geometry.h"
#include "viewer/image.h"
#include "viewer/pipeline.h"

namespace vistrela {

inline constexpr Rgb kAnnotationTextColour{255, 144, 2};
inline constexpr Rgb kAnnotationShadowColour{79, 64, 2};
inline constexpr const char* kAnnotationTextFace = "Arial";
inline constexpr int kAnnotationTextSizePx = 40;
inline constexpr int kAnnotationTextWeight = 500;

// The text window: its size, and where the layout puts it when it stands outside the allowed
// range (video-area pixels).
inline constexpr QSize kTextWindowSize{342, 56};
inline constexpr QPoint kTextWindowHome{200, 300};

// The picture point under video-area point (x, y): x from the left, y from the TOP of the
// picture. Points off the shown part map off it (no bounds test); truncates toward zero.
// Without zoom and pan, with an area of the picture's size, (x, y) maps to (x, y).
PicturePoint MapAreaToPictureFromTop(const FrameGeometry& geometry, int x, int y);

// The top-left positions the layout leaves the text window at, inside a video area of `area`:
// more than 20 pixels right of its left edge and 100 left of its right edge, below its top
// edge and more than 10 pixels above its bottom edge. Empty when the area is too small.
QRect TextWindowRange(QSize area);

// Where the layout puts a text window whose top-left corner is at `at`: there, when it lies in
// TextWindowRange; else kTextWindowHome, pulled towards the top-left as far as needed for the
// whole window to fit in a small area (never to negative coordinates).
QPoint KeepTextWindowInside(QPoint at, QSize area);

// The apply button: the next frame that finds the text window open burns its text.
void RequestTextStamp(PipelineState& state);

// What the frame step needs from the open text window.
struct TextAnnotation {
    std::string text;  // UTF-8; empty draws nothing
    QPoint areaPos;    // the window's top-left corner, video-area pixels
};

// Draws the text with its shadow on `frame` at the window's place (shadow one pixel right and
// down, then the text). When state.drawMode is DRAW_STAMP, draws the same into the overlay and
// sets DRAW_SHOW; returns true exactly then. `beforeBurn`, when set, is called once just before
// the overlay is changed (not for an empty line, which leaves the overlay as it is).
bool DrawAnnotationText(CxImage& frame, PipelineState& state, const FrameGeometry& geometry,
                        const TextAnnotation& text, const std::function<void()>& beforeBurn = {});

// Burns the text into the overlay at the window's place when state.drawMode is DRAW_STAMP and
// sets DRAW_SHOW; returns true exactly then. The frame step does this; so does closing the
// window while an apply is still waiting for a frame, so that an applied text is never lost
// or burnt later somewhere else. `beforeBurn` as for DrawAnnotationText.
bool BurnAnnotationText(PipelineState& state, const FrameGeometry& geometry,
                        const TextAnnotation& text, const std::function<void()>& beforeBurn = {});

// The pipeline's annotation step for an open text window. The window fills `annotation`
// before each frame and passes the step to ProcessFrame only while it is open.
class TextAnnotationStep : public AnnotationHook {
public:
    void DrawAnnotation(CxImage& frameImage, PipelineState& state,
                        const FrameGeometry& geometry) override;

    TextAnnotation annotation;
    // Called right before the text is burnt into the overlay (for the undo history).
    std::function<void()> beforeBurn;
};

}  // namespace vistrela
