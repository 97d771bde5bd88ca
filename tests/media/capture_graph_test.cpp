#include "capture/media/capture_graph.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>

#include "capture/media/capture_device.h"
#include "capture/media/test_camera.h"
#include "test_support.h"

using namespace vistrela;
using namespace vistrela::testing;

namespace {

class CaptureGraphTest : public ::testing::Test {
protected:
    void SetUp() override { graph.SetWindow(&receiver); }
    void UseTestCameras(const std::string& list) { graph.SetSources(TestCameras(list)); }
    void TearDown() override {
        graph.Close();
        graph.SetWindow(nullptr);
    }

    // Enumerates and returns the moniker of the row named `name`.
    std::shared_ptr<void> Device(const std::string& name) {
        graph.EnumerateDevices(devices, count);
        std::shared_ptr<void> moniker;
        EXPECT_GE(graph.FindDevice(devices, count, name, moniker), 0) << name;
        return moniker;
    }

    CaptureGraph graph;
    RecordingReceiver receiver;
    DeviceTable devices;
    int count = 0;
};

}  // namespace

TEST_F(CaptureGraphTest, TestCamerasAreListedInOrderWithUsbRule) {
    UseTestCameras("Laptop Camera;USB Cam A;USB Cam B");
    ASSERT_EQ(graph.EnumerateDevices(devices, count), kCaptureOk);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(devices[0].friendlyName, "USB Cam B");
    EXPECT_EQ(devices[1].friendlyName, "Laptop Camera");
    EXPECT_EQ(devices[2].friendlyName, "USB Cam A");
    EXPECT_EQ(devices[0].devicePath, "test:USB Cam B");
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(devices[i].moniker);

    UseTestCameras("C0;C1;C2;C3;C4;C5;C6;C7;C8;C9;C10");
    graph.EnumerateDevices(devices, count);
    EXPECT_EQ(count, MAX_DEVICES);
    EXPECT_EQ(devices[9].friendlyName, "C9");

    // A refill drops every old moniker, also in rows past the new count.
    UseTestCameras("Only");
    graph.EnumerateDevices(devices, count);
    EXPECT_EQ(count, 1);
    EXPECT_FALSE(devices[5].moniker);
}

TEST_F(CaptureGraphTest, OpenCameraFallsBackToRowZeroAndTakesItsName) {
    UseTestCameras("Laptop Camera@320x240;USB Cam A@320x240;USB Cam B@320x240");
    for (const char* asked : {"", "L", "Unplugged Cam"}) {
        std::string name = asked;
        int w = 320, h = 240;
        ASSERT_EQ(OpenCamera(graph, devices, count, name, w, h), kCaptureOk) << asked;
        EXPECT_EQ(name, "USB Cam B");
        EXPECT_EQ(DeviceFromMoniker(devices[0].moniker)->friendlyName(),
                  graph.device()->friendlyName());
        graph.Close();
    }
    std::string name = "Laptop Camera";
    int w = 320, h = 240;
    ASSERT_EQ(OpenCamera(graph, devices, count, name, w, h), kCaptureOk);
    EXPECT_EQ(name, "Laptop Camera");
    EXPECT_EQ(graph.device()->friendlyName(), "Laptop Camera");
}

TEST_F(CaptureGraphTest, NoCameraOpensNothing) {
    UseTestCameras("");
    std::string name = "Anything";
    int w = 640, h = 480;
    EXPECT_EQ(OpenCamera(graph, devices, count, name, w, h), kCaptureNoCamera);
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(graph.isOpen());
    EXPECT_EQ(name, "Anything");
    EXPECT_EQ(w, 640);
}

TEST_F(CaptureGraphTest, CameraPluggedInLaterThroughTheListFileIsFoundAndOpens) {
    const std::string path =
        ::testing::TempDir() + "vistrela-cameras-" + std::to_string(getpid()) + ".txt";
    std::remove(path.c_str());
    UseTestCameras(("@" + path).c_str());
    graph.EnumerateDevices(devices, count);
    EXPECT_EQ(count, 0);  // no file yet
    std::ofstream(path).close();
    graph.EnumerateDevices(devices, count);
    EXPECT_EQ(count, 0);  // empty file

    std::ofstream(path) << "Late Cam@640x480@30\n";
    std::string name;
    int w = 320, h = 240;
    ASSERT_EQ(OpenCamera(graph, devices, count, name, w, h), kCaptureOk);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(name, "Late Cam");
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    ASSERT_TRUE(RunUntil([&] { return receiver.frames >= 1; }));
    EXPECT_EQ(receiver.last.width, 640);
    graph.Close();

    // One camera a line, as the variable's ';'; unplugged again when the line goes.
    std::ofstream(path) << "Late Cam@640x480@30\r\nUSB Second@320x240\n";
    graph.EnumerateDevices(devices, count);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(devices[0].friendlyName, "USB Second");
    EXPECT_EQ(devices[1].friendlyName, "Late Cam");
    std::ofstream(path) << "USB Second@320x240\n";
    graph.EnumerateDevices(devices, count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(devices[0].friendlyName, "USB Second");
    std::remove(path.c_str());
}

// The test cameras' patterns and formats through the real pipeline: JPEG frames (4:2:0 and
// 4:2:2) through jpegdec, the clapper's white frame stamped at a whole second of the steady
// clock, the printed page; and a camera whose line leaves its @FILE list fails as unplugged.
TEST_F(CaptureGraphTest, TestCameraPatternsFormatsAndUnplugging) {
    auto open = [&](const std::string& list) {
        UseTestCameras(list.c_str());
        std::string name;
        int w = 320, h = 240;
        receiver.frames = 0;
        EXPECT_EQ(OpenCamera(graph, devices, count, name, w, h), kCaptureOk) << list;
        return RunUntil([&] { return receiver.frames >= 3; });
    };
    auto pixel = [&](int x, int y) {
        const std::uint8_t* p = receiver.lastPixels.data() + (y * receiver.last.width + x) * 3;
        return p[0] + p[1] + p[2];
    };
    for (const char* format : {"MJPG", "MJPG422"}) {
        ASSERT_TRUE(open(std::string("Doc@320x240@30@format=") + format)) << format;
        EXPECT_EQ(graph.device()->modes().at(0).format, PixelFormat::Mjpeg);
        EXPECT_GT(pixel(10, 10), 200) << "the red corner came through the JPEG frames";
        EXPECT_LT(pixel(160, 20), 60);
        graph.Close();
    }

    std::int64_t whiteAtNs = 0;
    receiver.onFrame = [&](const FrameView& f) {
        if (f.data[0] > 200 && whiteAtNs == 0) whiteAtNs = f.captureNs;
    };
    ASSERT_TRUE(open("Clap@320x240@30@pattern=clapper"));
    ASSERT_TRUE(RunUntil([&] { return whiteAtNs != 0; }, 3000));
    const std::int64_t intoSecond = whiteAtNs % 1'000'000'000;
    EXPECT_TRUE(intoSecond == 0 || intoSecond > 1'000'000'000 - 33'400'000) << intoSecond;
    receiver.onFrame = nullptr;
    graph.Close();

    ASSERT_TRUE(open("Page@640x480@30@pattern=page"));
    int dark = 0;
    for (int x = 0; x < 640; ++x)
        for (int y = 100; y < 380; y += 7) dark += pixel(x, y) < 300;
    EXPECT_GT(dark, 640 * 40 / 100) << "print";
    EXPECT_LT(dark, 640 * 40 * 40 / 100) << "on white paper";
    graph.Close();

    const std::string path =
        ::testing::TempDir() + "vistrela-unplug-" + std::to_string(getpid()) + ".txt";
    std::ofstream(path) << "Plug Cam@320x240@30\n";
    ASSERT_TRUE(open("@" + path));
    std::ofstream(path) << "Other Cam@320x240@30\n";
    ASSERT_TRUE(RunUntil([&] { return !receiver.failures.empty(); }, 5000));
    EXPECT_NE(receiver.failures[0].find("unplugged"), std::string::npos) << receiver.failures[0];
    std::remove(path.c_str());
}

TEST_F(CaptureGraphTest, DeliversFramesOfTheConnectedSizeAndFallsBackToOwnSize) {
    UseTestCameras("Doc Cam@1280x720,640x480,322x240");
    auto moniker = Device("Doc Cam");
    int w = 640, h = 480;
    ASSERT_EQ(graph.Open(moniker, w, h), kCaptureOk);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    ASSERT_TRUE(RunUntil([&] { return receiver.frames >= 2; }));
    EXPECT_EQ(receiver.last.width, 640);
    EXPECT_EQ(receiver.last.height, 480);
    EXPECT_EQ(receiver.last.strideBytes, 640 * 3);
    EXPECT_EQ(receiver.last.lengthBytes, 921600u);
    graph.Close();

    // Rows of a width that is not a multiple of four are padded; the view says so.
    w = 322, h = 240;
    ASSERT_EQ(graph.Open(moniker, w, h), kCaptureOk);
    ASSERT_TRUE(RunUntil([&] { return receiver.last.width == 322; }));
    EXPECT_GE(receiver.last.strideBytes, 322 * 3);
    EXPECT_TRUE(receiver.last.complete());
    graph.Close();

    w = 800, h = 600;
    ASSERT_EQ(graph.Open(moniker, w, h), kCaptureOk);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 720);
    ASSERT_TRUE(RunUntil([&] { return receiver.last.width == 1280; }));
    EXPECT_EQ(receiver.last.height, 720);
}

TEST_F(CaptureGraphTest, ResultCodesAndStates) {
    UseTestCameras("Cam@320x240");
    auto moniker = Device("Cam");
    int w = 320, h = 240;
    EXPECT_EQ(graph.Close(), kCaptureOk);  // closed: nothing to do
    EXPECT_EQ(graph.Open(nullptr, w, h), kCaptureInvalidArg);
    EXPECT_FALSE(graph.isOpen());
    ASSERT_EQ(graph.Open(moniker, w, h), kCaptureOk);
    EXPECT_TRUE(graph.isOpen());
    int w2 = 320, h2 = 240;
    EXPECT_EQ(graph.Open(moniker, w2, h2), kCaptureUnexpected);
    EXPECT_TRUE(graph.isOpen());
    EXPECT_EQ(graph.Close(), kCaptureOk);
    EXPECT_FALSE(graph.isOpen());
    EXPECT_EQ(graph.Close(), kCaptureOk);
}

TEST_F(CaptureGraphTest, PictureShowsOrientationMarkersAndMoves) {
    UseTestCameras("Cam@320x240");
    auto moniker = Device("Cam");
    int w = 320, h = 240;
    ASSERT_EQ(graph.Open(moniker, w, h), kCaptureOk);
    ASSERT_TRUE(RunUntil([&] { return receiver.frames >= 1; }));
    const int side = TestCameraMarkerSide(320, 240);
    const int c = side / 2;
    auto isRed = [](Bgr p) { return p.r > 200 && p.g < 60 && p.b < 60; };
    auto isGreen = [](Bgr p) { return p.g > 200 && p.r < 60 && p.b < 60; };
    auto isBlue = [](Bgr p) { return p.b > 200 && p.r < 60 && p.g < 60; };
    auto isWhite = [](Bgr p) { return p.r > 220 && p.g > 220 && p.b > 220; };
    EXPECT_TRUE(isRed(receiver.pixel(c, c)));
    EXPECT_TRUE(isGreen(receiver.pixel(319 - c, c)));
    EXPECT_TRUE(isBlue(receiver.pixel(c, 239 - c)));
    EXPECT_TRUE(isWhite(receiver.pixel(319 - c, 239 - c)));

    const std::vector<std::uint8_t> first = receiver.lastPixels;
    const int seen = receiver.frames;
    ASSERT_TRUE(RunUntil([&] { return receiver.frames >= seen + 3; }));
    EXPECT_NE(first, receiver.lastPixels);
    EXPECT_TRUE(isRed(receiver.pixel(c, c)));
}

TEST_F(CaptureGraphTest, ReceiverIsNeverReenteredByANestedEventLoop) {
    UseTestCameras("Cam@160x120@60");
    auto moniker = Device("Cam");
    int nestedLoops = 0;
    receiver.onFrame = [&](const FrameView&) {
        if (nestedLoops >= 3) return;
        ++nestedLoops;
        // A modal dialog in the handler runs its own loop for a while; frames keep arriving.
        QEventLoop loop;
        QTimer::singleShot(150, &loop, &QEventLoop::quit);
        loop.exec();
    };
    int w = 160, h = 120;
    ASSERT_EQ(graph.Open(moniker, w, h), kCaptureOk);
    ASSERT_TRUE(RunUntil([&] { return receiver.frames >= 10; }));
    EXPECT_EQ(receiver.maxDepth, 1);
    EXPECT_EQ(nestedLoops, 3);
}

TEST_F(CaptureGraphTest, CloseInsideTheHandlerStopsDelivery) {
    UseTestCameras("Cam@160x120@60");
    auto moniker = Device("Cam");
    receiver.onFrame = [&](const FrameView&) {
        if (receiver.frames == 3) graph.Close();
    };
    int w = 160, h = 120;
    ASSERT_EQ(graph.Open(moniker, w, h), kCaptureOk);
    ASSERT_TRUE(RunUntil([&] { return !graph.isOpen(); }));
    DrainPostedTasks();  // notifications posted before the close find it closed
    EXPECT_EQ(receiver.frames, 3);
}

TEST_F(CaptureGraphTest, ManyOpenCloseCyclesWithFramesInFlight) {
    UseTestCameras("Cam@320x240@60");
    auto moniker = Device("Cam");
    for (int i = 0; i < 200; ++i) {
        int w = 320, h = 240;
        ASSERT_EQ(graph.Open(moniker, w, h), kCaptureOk) << "cycle " << i;
        // Alternate between closing with a notification still queued and after delivery.
        if (i % 2 == 1) {
            const int seen = receiver.frames;
            ASSERT_TRUE(RunUntil([&] { return receiver.frames > seen; }));
        }
        graph.Close();
    }
    EXPECT_GE(receiver.frames, 100);
    // Nothing a closed pipeline owned (the pipeline, its elements, pads and streaming tasks, its
    // bus and messages, buffers in flight) stays alive.
    const std::vector<std::string> live = LiveGstObjectsWhenSettled();
    EXPECT_TRUE(live.empty()) << live.size() << " objects alive after 200 cycles:\n"
                              << JoinLines(live);
}

TEST_F(CaptureGraphTest, StreamErrorIsReportedOnceAndCameraCanBeClosedThere) {
    UseTestCameras("Bad Cam!error@160x120");
    auto moniker = Device("Bad Cam!error");
    receiver.onFailure = [&](const std::string&) { graph.Close(); };
    int w = 160, h = 120;
    ASSERT_EQ(graph.Open(moniker, w, h), kCaptureOk);
    ASSERT_TRUE(RunUntil([&] { return !receiver.failures.empty(); }));
    DrainPostedTasks();  // reports and notifications posted before the close
    EXPECT_EQ(receiver.failures.size(), 1u);
    EXPECT_NE(receiver.failures[0].find("Test camera failed on demand"), std::string::npos);
    EXPECT_FALSE(graph.isOpen());
    // Frames before the error arrive, up to the camera's count; a busy event loop may see the
    // newest of several only (one buffer, newest wins).
    EXPECT_GT(receiver.frames, 0);
    EXPECT_LE(receiver.frames, kTestCameraFailAfterFrames);
}

TEST_F(CaptureGraphTest, StalledCameraIsReportedOnce) {
    UseTestCameras("Frozen!stall@160x120");
    auto moniker = Device("Frozen!stall");
    int w = 160, h = 120;
    ASSERT_EQ(graph.Open(moniker, w, h), kCaptureOk);
    ASSERT_TRUE(RunUntil([&] { return !receiver.failures.empty(); }, 3 * kStallTimeoutMs + 5000));
    RunUntil([] { return false; }, kStallTimeoutMs);
    EXPECT_EQ(receiver.failures.size(), 1u);
    EXPECT_TRUE(graph.isOpen());  // the receiver decides when to close
}
