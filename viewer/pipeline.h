#pragma once
// The frame pipeline: what happens to every camera frame before it is painted. A plain
// function over the view state, the pipeline state and the frame; the clock values come in as
// parameters. It builds the processed picture in `frameImage` (mirrored, turned, with overlay
// and annotation text) and says where to paint it; saving, recording and painting are the
// caller's. The tool marker and the zoom help are for the screen only: DrawScreenMarks adds
// them after the picture was saved and recorded. User-interface thread only; the frame's bytes are
// read during the call and not kept.

#include <cstdint>

#include "annotation/draw_mode.h"
#include "annotation/laser_ink.h"
#include "viewer/frame.h"
#include "viewer/geometry.h"
#include "viewer/image.h"
#include "viewer/view_state.h"

namespace vistrela {

// State the main window keeps for the pipeline.
struct PipelineState {
    // Frame rate: `fps` is read by the title line and the recording start.
    double fps = 0.0;
    std::uint32_t fpsFirstTick = 0;   // ms tick of the first measured frame; 0 = not started
    std::uint32_t fpsWindowTick = 0;  // ms tick where the current counting window began
    int fpsWindowFrames = 0;
    // Picture orientation, always set together (SetHalfTurn). Both false: the camera's picture
    // upright; both true (the start-up state): turned by 180 degrees.
    bool flipRows = false;
    bool mirror = false;
    DrawMode drawMode = DrawMode::None;
    CxImage overlayImage;  // drawing layer, orientation of the shown picture
    LaserInk laser;        // laser ink in progress and fading
};

// Draws the annotation text into the frame (and, when it stamps, into the overlay). Called
// after the overlay mix and before the tool marker; may change `state.drawMode`. The text
// window's step is TextAnnotationStep (annotation/annotation_text.h); the caller passes it
// only while the window is open.
class AnnotationHook {
public:
    virtual ~AnnotationHook() = default;
    virtual void DrawAnnotation(CxImage& frameImage, PipelineState& state,
                                const FrameGeometry& geometry) = 0;
};

struct FrameResult {
    bool skipped = false;      // the frame was incomplete; nothing changed, nothing to paint
    bool sizeAdopted = false;  // frameWidth x frameHeight changed to this frame's size
    FrameGeometry geometry;    // shown part of frameImage and where it goes in the area
};

// Clears the rate counters (camera opened or closed).
void ResetFrameRate(PipelineState& state);
// Counts one frame at `nowTickMs` (wrapping 32-bit milliseconds). The window restarts once,
// with the first frame 4000 to 5000 ms after the first one.
void CountFrameRate(PipelineState& state, std::uint32_t nowTickMs);

// The two zoom-help lines (source texts of the translation context "Picture"), drawn while
// nowSeconds < noticeUntil.
extern const char* const kZoomHelpLine1;
extern const char* const kZoomHelpLine2;
inline constexpr Rgb kZoomHelpColour{223, 208, 18};

// Draws the pointer's tool marker and, while nowSec < noticeUntil, the zoom help into
// `frameImage`: the screen's picture only, never a saved picture or a movie.
void DrawScreenMarks(const ViewState& view, const PipelineState& state, CxImage& frameImage,
                     double nowSec);

FrameResult ProcessFrame(ViewState& view, PipelineState& state, CxImage& frameImage,
                         const FrameView& frame, VideoArea area, std::uint32_t nowTickMs,
                         double nowSec, AnnotationHook* hook);

}  // namespace vistrela
