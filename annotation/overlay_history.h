#pragma once
// Undo and redo of the drawing overlay. A step is one change of the overlay: a pen or eraser
// stroke, a text burn, a clear. For each step only the rectangle that really changed is kept,
// before and after, each run-length coded (the overlay is mostly black and single-coloured
// ink), so a long history of ordinary strokes costs little memory.
//
// Recording a step: BeginStep, then Touch every rectangle before drawing into it (its rows
// are copied once into a working copy of the overlay), then EndStep, which compares the
// touched rows with the overlay and keeps the smallest rectangle around the pixels that
// differ. A step that changed nothing is not kept.
//
// Orientation: the overlay turns with the picture (quarter turns, half turns). Every step
// remembers the orientation (`turns`, quarter turns to the right, any consistent origin) it
// was recorded at; undo and redo turn its rectangle and pixels to the orientation given then,
// so a step is taken back where its pixels now show.
//
// Bounds: at most kMaxSteps steps and kMaxBytes bytes of kept pixels; past either bound the
// oldest steps go (the newest step is always kept). Recording a step drops every step that
// was undone (the redo branch).
//
// User-interface thread only, like the overlay itself.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "viewer/image.h"

namespace vistrela {

// A rectangle of overlay pixels: `x` columns from the left, `y` rows from the TOP (storage
// order, not the drawing coordinates), `width` x `height`.
struct OverlayRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool empty() const { return width <= 0 || height <= 0; }
    bool operator==(const OverlayRect&) const = default;
};

// The rectangle around drawing coordinates (x from the left, y from the BOTTOM), both corners
// included, of an overlay `overlayHeight` rows high. Not clipped.
OverlayRect DrawingRect(int overlayHeight, int left, int bottom, int right, int top);

// Where rectangle `r` of a `width` x `height` image lies after `turns` quarter turns to the
// right (the way CxImage::Rotate turns).
OverlayRect TurnRect(OverlayRect r, int width, int height, int turns);

class OverlayHistory {
public:
    static constexpr std::size_t kMaxSteps = 100;
    static constexpr std::size_t kMaxBytes = std::size_t{64} << 20;

    // Forgets every step and any step being recorded (a new overlay).
    void Clear();

    // Starts recording a step on `overlay`, whose orientation is `turns`. A step already
    // being recorded is ended first. Nothing happens on an overlay without pixels.
    void BeginStep(const CxImage& overlay, int turns);
    // Saves the pixels of `rect` (clipped to the overlay) before they are drawn over. When the
    // overlay has turned or changed size since BeginStep, the step so far is ended and a new
    // one begun, so each step keeps one orientation.
    void Touch(const CxImage& overlay, int turns, OverlayRect rect);
    void TouchAll(const CxImage& overlay, int turns);
    // Ends the step and keeps it when it changed any pixel.
    void EndStep(const CxImage& overlay, int turns);
    bool Recording() const { return recording_; }

    bool CanUndo() const { return cursor_ > 0; }
    bool CanRedo() const { return cursor_ < steps_.size(); }
    // Takes back the last step (puts its pixels back as they were before) or brings back the
    // last undone step. False when there is none, or when the overlay no longer matches the
    // step's size in any orientation (then the history is stale and is cleared).
    bool Undo(CxImage& overlay, int turns);
    bool Redo(CxImage& overlay, int turns);

    std::size_t UndoCount() const { return cursor_; }
    std::size_t RedoCount() const { return steps_.size() - cursor_; }
    // Memory held by the kept steps, bytes (the working copy of BeginStep not included).
    std::size_t ByteCount() const { return bytes_; }
    // The working copy's memory: the overlay's size once anything was recorded.
    std::size_t WorkingBytes() const { return snapshot_.capacity() * sizeof(std::uint32_t); }

private:
    // Pixels of a rectangle, run-length coded ({pixel, count} pairs, runs never crossing a
    // row) or, when that would be larger, as they are. Pixel 0 stands for one the step did
    // not change.
    struct Patch {
        bool raw = false;
        std::vector<std::uint32_t> data;
    };
    struct Step {
        int turns = 0;
        int overlayWidth = 0;  // the overlay's size in that orientation
        int overlayHeight = 0;
        OverlayRect rect;
        Patch before;
        Patch after;
        std::size_t bytes() const;
    };

    static Patch Encode(const std::uint32_t* pixels, int width, int height);
    static std::vector<std::uint32_t> Decode(const Patch& patch, int width, int height);
    static void Write(CxImage& overlay, OverlayRect rect, const Patch& patch);
    // Turns a step to the orientation `turns`; false when the result does not fit `overlay`.
    bool Orient(Step& step, const CxImage& overlay, int turns);
    bool Apply(CxImage& overlay, int turns, bool undo);
    void Push(Step step);

    std::deque<Step> steps_;
    std::size_t cursor_ = 0;  // steps_[0, cursor_) can be undone, the rest redone
    std::size_t bytes_ = 0;

    // The step being recorded.
    bool recording_ = false;
    int pendingTurns_ = 0;
    int pendingWidth_ = 0;
    int pendingHeight_ = 0;
    OverlayRect touched_;                  // union of the touched rectangles
    std::vector<std::uint32_t> snapshot_;  // the overlay's rows as they were, where saved
    std::vector<std::uint8_t> rowSaved_;
};

}  // namespace vistrela
