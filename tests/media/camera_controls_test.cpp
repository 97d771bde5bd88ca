#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "capture/media/capture_device.h"
#include "capture/media/capture_graph.h"
#include "capture/media/test_camera.h"
#include "capture/media/v4l2_control_names.h"
#include "capture/media/v4l2_controls.h"
#include "common/media/gstreamer_init.h"
#include "test_support.h"

using namespace vistrela;
using namespace vistrela::testing;

namespace {

std::shared_ptr<CaptureDevice> OnlyTestCamera(const char* list) {
    auto all = ListCaptureDevices(TestCameras(list));
    return all.empty() ? nullptr : all[0];
}

}  // namespace

// Controls and menu entries the program knows are named in its language; others keep the
// driver's words.
TEST(CameraControlNames, KnownIdsAndEntriesAreNamedUnknownOnesKeptAsTheDriverSays) {
    EXPECT_EQ(V4l2ControlName(V4L2_CID_BRIGHTNESS, "Brightness"), "밝기");
    EXPECT_EQ(V4l2ControlName(V4L2_CID_FOCUS_ABSOLUTE, "Focus, Absolute"), "초점");
    EXPECT_EQ(V4l2ControlName(V4L2_CID_POWER_LINE_FREQUENCY, "Power Line Frequency"),
              "전원 주파수");
    EXPECT_EQ(V4l2ControlName(V4L2_CID_CAMERA_CLASS_BASE + 0x7f, "LED1 Mode"), "LED1 Mode");
    EXPECT_EQ(V4l2MenuLabel("Manual Mode"), "수동");
    EXPECT_EQ(V4l2MenuLabel("50 Hz"), "50 Hz");
}

TEST(TestCameraControls, ActOnTheRunningPictureAndPersistPerName) {
    auto device = OnlyTestCamera("Balance Cam@160x120");
    ASSERT_TRUE(device);
    auto controls = device->openControls();
    ASSERT_TRUE(controls);
    ASSERT_EQ(controls->list().size(), 5u);

    CaptureGraph graph;
    RecordingReceiver receiver;
    graph.SetWindow(&receiver);
    int w = 160, h = 120;
    ASSERT_EQ(graph.Open(ToMoniker(device), w, h), kCaptureOk);
    ASSERT_TRUE(RunUntil([&] { return receiver.frames >= 1; }));
    const int c = TestCameraMarkerSide(160, 120) / 2;
    const Bgr white = receiver.pixel(159 - c, 119 - c);
    EXPECT_GT(white.g, 220);

    // Darker while the picture runs: the white square follows.
    EXPECT_TRUE(controls->set(kTestControlBrightness, -60));
    ASSERT_TRUE(RunUntil([&] { return receiver.pixel(159 - c, 119 - c).g < 160; }));
    EXPECT_FALSE(controls->set(kTestControlBrightness, 101));  // outside the range
    EXPECT_EQ(controls->get(kTestControlBrightness), -60);

    // Saturation 0 turns the red square grey.
    EXPECT_TRUE(controls->set(kTestControlSaturation, 0));
    EXPECT_TRUE(controls->set(kTestControlBrightness, 0));
    ASSERT_TRUE(RunUntil([&] {
        const Bgr p = receiver.pixel(c, c);
        return std::abs(p.r - p.g) < 30 && std::abs(p.r - p.b) < 30;
    }));

    // A new enumeration finds the values the camera kept.
    auto again = OnlyTestCamera("Balance Cam@160x120")->openControls();
    EXPECT_EQ(again->get(kTestControlSaturation), 0);
    EXPECT_EQ(RestoreDefaults(*again), 5);
    ASSERT_TRUE(RunUntil([&] { return receiver.pixel(c, c).r > 200; }));
    graph.Close();
}

TEST(TestCameraControls, OpenResetsFocusToManualDefault) {
    auto device = OnlyTestCamera("Focus Cam@160x120");
    auto controls = device->openControls();
    controls->set(kTestControlFocus, 10);
    controls->set(kTestControlAutoFocus, 1);

    CaptureGraph graph;
    graph.ResetFocus(0);  // closed: nothing happens
    EXPECT_EQ(controls->get(kTestControlFocus), 10);

    RecordingReceiver receiver;
    graph.SetWindow(&receiver);
    int w = 160, h = 120;
    ASSERT_EQ(graph.Open(ToMoniker(device), w, h), kCaptureOk);
    EXPECT_EQ(graph.focusValue, 128);
    EXPECT_EQ(controls->get(kTestControlFocus), 128);
    EXPECT_EQ(controls->get(kTestControlAutoFocus), 0);
}

TEST(Resolutions, ListIsTheCamerasYuy2SizesInOrder) {
    auto device = OnlyTestCamera("Doc Cam@1920x1080,1280x720,640x480,640x480@15");
    CaptureGraph graph;
    RecordingReceiver receiver;
    graph.SetWindow(&receiver);
    EXPECT_EQ(graph.ListResolutions(), 0);  // nothing open

    int w = 640, h = 480;
    ASSERT_EQ(graph.Open(ToMoniker(device), w, h), kCaptureOk);
    ASSERT_EQ(graph.ListResolutions(), 4);
    EXPECT_EQ(graph.modes[0].width, 1920);
    EXPECT_EQ(graph.modes[1].height, 720);
    EXPECT_EQ(graph.modes[3].width, 640);  // duplicates stay
    graph.Close();
    EXPECT_EQ(graph.ListResolutions(), 0);
    EXPECT_EQ(graph.modeCount, 0);
}

TEST(Resolutions, ModesFromDeviceCapsExpandFormatsAndRates) {
    EnsureGStreamer();
    GstCaps* caps = gst_caps_from_string(
        "video/x-raw,format={YUY2,NV12},width=640,height=480,framerate={30/1,15/1};"
        "image/jpeg,width=1920,height=1080,framerate=[1/1,60/1];"
        "video/x-raw,format=YUY2,width=[1,100],height=[1,100];"
        "video/x-h264,width=1280,height=720,framerate=30/1");
    ASSERT_NE(caps, nullptr);
    const std::vector<CameraMode> modes = ModesFromCaps(caps);
    gst_caps_unref(caps);
    ASSERT_EQ(modes.size(), 4u);
    EXPECT_EQ(modes[0].format, PixelFormat::Yuy2);
    EXPECT_EQ(modes[0].fps(), 30.0);
    EXPECT_EQ(modes[1].format, PixelFormat::OtherRaw);
    EXPECT_EQ(modes[1].formatName, "NV12");
    EXPECT_EQ(modes[2].format, PixelFormat::Mjpeg);
    EXPECT_EQ(modes[2].fps(), 60.0);
    EXPECT_EQ(modes[3].format, PixelFormat::Other);
}

TEST(V4l2ControlsTest, MissingNodeHasNoControls) {
    V4l2Controls controls("/nonexistent/video99");
    EXPECT_FALSE(controls.isOpen());
    EXPECT_TRUE(controls.list().empty());
    EXPECT_FALSE(controls.get(1).has_value());
    EXPECT_FALSE(controls.set(1, 0));
}

namespace {

// A sysfs tree laid out as the kernel lays out a USB camera: the class entry links to the
// video device below the USB interface, whose parent is the USB device.
void AddUsbCamera(const std::filesystem::path& root, const std::string& node,
                  const std::string& port, const char* serial) {
    namespace fs = std::filesystem;
    const fs::path usb = root / "devices/pci0000:00/0000:00:14.0/usb1" / port;
    const fs::path interface = usb / (port + ":1.0");
    const fs::path video = interface / "video4linux" / node;
    fs::create_directories(video);
    std::ofstream(usb / "idVendor") << "046d\n";
    std::ofstream(interface / "bInterfaceClass") << "0e\n";
    if (serial != nullptr) std::ofstream(usb / "serial") << serial;
    fs::create_directory_symlink(fs::path("../../..") / (port + ":1.0"), video / "device");
    fs::create_directories(root / "class/video4linux");
    fs::create_directory_symlink(fs::relative(video, root / "class/video4linux"),
                                 root / "class/video4linux" / node);
}

}  // namespace

TEST(UsbPlace, SerialAndPortOfTheUsbDeviceBehindTheNode) {
    namespace fs = std::filesystem;
    const fs::path root =
        fs::temp_directory_path() / ("vistrela-sysfs-" + std::to_string(getpid()));
    fs::remove_all(root);
    AddUsbCamera(root, "video0", "1-2.3", "A1B2C3 \n");
    AddUsbCamera(root, "video2", "1-4", nullptr);
    AddUsbCamera(root, "video4", "3-1", "0000000000\n");
    const std::string sysfs = root.string();

    const UsbPlace withSerial = UsbPlaceOfNode("/dev/video0", sysfs);
    EXPECT_EQ(withSerial.serial, "A1B2C3");
    EXPECT_EQ(withSerial.portPath, "1-2.3");
    const UsbPlace noSerial = UsbPlaceOfNode("/dev/video2", sysfs);
    EXPECT_EQ(noSerial.serial, "");
    EXPECT_EQ(noSerial.portPath, "1-4");
    EXPECT_EQ(UsbPlaceOfNode("/dev/video4", sysfs).serial, "");  // a placeholder, not a serial
    EXPECT_EQ(UsbPlaceOfNode("/dev/video4", sysfs).portPath, "3-1");
    EXPECT_EQ(UsbPlaceOfNode("/dev/video9", sysfs).portPath, "");
    fs::remove_all(root);
}
