#pragma once
// The live source element inside every test camera (test_camera.h describes the picture).
//
// It costs almost nothing per frame: the still part of the picture (black field and corner
// squares) is built once per negotiated size into a few frame stores the element owns, and for
// each frame only the columns the moving square leaves and enters are repainted. Frames go
// downstream as read-only memory wrapping a store: an element that wants to write gets its own
// copy, and a store is repainted only after every buffer showing it has been released.
//
// Timing: a live source in time format. Frame n carries PTS start + n / rate, start being the
// running time when the first frame was made, and duration 1 / rate; it leaves when the
// pipeline clock reaches it. A frame whose time passed before it could be made is skipped, as a
// camera drops it, so a slow consumer never makes the source run faster than its rate.
// Latency answers one frame.
//
// Threads: NewTestCameraSource may be called on any thread; pictures are made on the element's
// streaming thread.

#include <gst/gst.h>

#include <functional>
#include <vector>

#include "capture/capture_modes.h"

namespace vistrela {

enum class TestCameraFailure { None, Error, Stall, NoStart };

// What the picture shows (test_camera.h): the orientation picture, the clapper (white for the
// frame that holds a whole second of the steady clock, black otherwise), or a printed page.
enum class TestCameraPattern { Orientation, Clapper, Page };

// A new source element (floating reference) offering exactly `modes` as YUY2, in their order;
// when downstream leaves the choice open the first one is taken. A mode without a rate runs at
// 30 frames per second. With a `failure`, the source sends kTestCameraFailAfterFrames frames
// and then nothing more (sleeping until it is stopped); with Error it also posts the stream
// error "Test camera failed on demand" once. `unplugged`, when given, is asked about twice a
// second on the streaming thread; once it answers true the source posts the error "Test camera
// unplugged" and sends nothing more, as a camera pulled out does. Returns nullptr when `modes`
// is empty.
GstElement* NewTestCameraSource(const std::vector<CameraMode>& modes, TestCameraFailure failure,
                                TestCameraPattern pattern = TestCameraPattern::Orientation,
                                std::function<bool()> unplugged = {});

}  // namespace vistrela
