#pragma once
// The test cameras of VISTRELA_TEST_CAMERAS: live GStreamer sources that look like cameras.
//
// Picture: black, with a grey square sliding along the middle row (it moves every frame) and
// four solid squares in the corners so that orientation can be checked on pixels:
//   top-left RED, top-right GREEN, bottom-left BLUE, bottom-right WHITE.
// Each corner square has side TestCameraMarkerSide(width, height); the moving square never
// touches them.
//
// Modes: exactly the camera's sizes, as YUY2 at its rate (as JPEG with format=MJPG or
// format=MJPG422); the first size is its default.
//
// Patterns: pattern=clapper shows a white picture for the frame that holds a whole second of
// the steady clock and black otherwise; pattern=page a page of dense print with sensor noise.
//
// Unplugging: a camera of a VISTRELA_TEST_CAMERAS=@FILE list whose line is removed from FILE
// posts a stream error within half a second and sends nothing more, as an unplugged one does.
// Controls (same interface as V4L2): "Brightness" -100..100 (0), "Contrast" 0..200 (100),
// "Saturation" 0..200 (100) acting on the picture through videobalance, and a focus pair
// "Focus, Automatic Continuous" (boolean, 0) and "Focus, Absolute" 0..255 step 1 (128).
// Control values belong to the camera (its name, serial number and port together) and outlive
// enumerations, as on a real device; a camera listed on another port starts from the
// defaults, as a real one does after a replug.
//
// Device properties: the serial number and port path of its entry ("" when not given).
//
// Failing on demand: a camera whose name ends in "!error" posts a stream error after
// kTestCameraFailAfterFrames frames; one whose name ends in "!stall" stops sending frames then;
// one whose name ends in "!nostart" posts the error before its first frame.

#include <linux/videodev2.h>

#include <memory>

#include "capture/device_table.h"
#include "capture/media/capture_device.h"

namespace vistrela {

inline constexpr int kTestCameraFailAfterFrames = 10;

inline constexpr std::uint32_t kTestControlBrightness = V4L2_CID_BRIGHTNESS;
inline constexpr std::uint32_t kTestControlContrast = V4L2_CID_CONTRAST;
inline constexpr std::uint32_t kTestControlSaturation = V4L2_CID_SATURATION;
inline constexpr std::uint32_t kTestControlAutoFocus = V4L2_CID_FOCUS_AUTO;
inline constexpr std::uint32_t kTestControlFocus = V4L2_CID_FOCUS_ABSOLUTE;

int TestCameraMarkerSide(int width, int height);

struct TestCameraState;

class TestCamera final : public CaptureDevice {
public:
    explicit TestCamera(TestCameraEntry entry);

    std::string friendlyName() const override { return entry_.name; }
    std::string description() const override { return "Vistrela test camera"; }
    std::string devicePath() const override { return "test:" + entry_.name; }
    std::string serial() const override { return entry_.serial; }
    std::string portPath() const override { return entry_.portPath; }
    GstElement* createSource() override;
    std::vector<CameraMode> modes() override;
    std::unique_ptr<CameraControls> openControls() override;

private:
    TestCameraEntry entry_;
    std::shared_ptr<TestCameraState> state_;
};

}  // namespace vistrela
