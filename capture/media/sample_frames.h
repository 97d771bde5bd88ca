#pragma once
// Turns the capture sink's samples into the receiver's 24-bit BGR frames. BGR samples are
// handed over in place; YUY2, I420 and NV12 samples are converted, with the colour matrix and
// range their caps state, into one BGR buffer kept here and reused for every frame.
//
// Threads: one thread only (the user-interface thread of the capture graph).

#include <functional>
#include <memory>
#include <vector>

#include "capture/pixel_convert.h"
#include "viewer/frame.h"

typedef struct _GstSample GstSample;
typedef struct _GstCaps GstCaps;

namespace vistrela {

// The caps the capture sink accepts: the YUV layouts converted here, and BGR for the rest.
// Caller owns the result.
GstCaps* NewSampleFramesCaps();

// The colorimetry of YUV caps: their matrix and range, BT.601 where the matrix is not one of
// YUV's (missing fields take GStreamer's defaults for the frame size). False when `caps` are
// not video caps.
bool ColorimetryOfCaps(const GstCaps* caps, YuvColorimetry& colorimetry);

class SampleFrames {
public:
    SampleFrames();
    ~SampleFrames();
    SampleFrames(const SampleFrames&) = delete;
    SampleFrames& operator=(const SampleFrames&) = delete;

    // Calls `receive` once with the sample's frame and returns true; returns false without
    // calling it when the sample has no buffer, caps of another format or fewer bytes than
    // its caps promise. The view is valid only during the call.
    bool Deliver(GstSample* sample, const std::function<void(const FrameView&)>& receive);

private:
    bool readCaps(GstCaps* caps);

    GstCaps* caps_ = nullptr;  // the caps the fields below were read from (one reference)
    struct Format;
    std::unique_ptr<Format> format_;  // describes caps_; null when they are not ours
    std::vector<std::uint8_t> bgr_;   // converted frames, rows width * 3 bytes apart
};

}  // namespace vistrela
