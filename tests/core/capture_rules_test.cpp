#include <gtest/gtest.h>

#include <map>

#include "capture/camera_controls.h"
#include "capture/capture_modes.h"
#include "capture/device_table.h"
#include "capture/remembered_controls.h"
#include "settings/profile_store.h"
#include "tests/core/temp_home.h"

using namespace vistrela;

namespace {

DeviceTable TableOf(std::initializer_list<const char*> names) {
    DeviceTable table;
    int i = 0;
    for (const char* n : names) {
        table[i].friendlyName = n;
        table[i].devicePath = std::string("/dev/video") + std::to_string(i);
        ++i;
    }
    return table;
}

}  // namespace

TEST(DeviceTable, UsbRuleSwapsInScanOrderAndMovesWholeRows) {
    DeviceTable t = TableOf({"A", "USB1", "USB2"});
    PreferUsbCameras(t, 3);
    EXPECT_EQ(t[0].friendlyName, "USB2");
    EXPECT_EQ(t[1].friendlyName, "A");
    EXPECT_EQ(t[2].friendlyName, "USB1");
    EXPECT_EQ(t[0].devicePath, "/dev/video2");  // the path travels with its name
    EXPECT_EQ(t[1].devicePath, "/dev/video0");

    DeviceTable lower = TableOf({"Cam", "usb cam", "US"});
    PreferUsbCameras(lower, 3);
    EXPECT_EQ(lower[0].friendlyName, "Cam");
    EXPECT_EQ(lower[1].friendlyName, "usb cam");

    // Rows past the count are never moved.
    DeviceTable beyond = TableOf({"A", "B", "USB"});
    PreferUsbCameras(beyond, 2);
    EXPECT_EQ(beyond[0].friendlyName, "A");
}

TEST(DeviceTable, FindTakesFirstExactMatchWithinCount) {
    DeviceTable t = TableOf({"Cam", "Twin", "Twin", ""});
    EXPECT_EQ(FindDeviceIndex(t, 4, "Twin"), 1);
    EXPECT_EQ(FindDeviceIndex(t, 4, "twin"), -1);
    EXPECT_EQ(FindDeviceIndex(t, 4, ""), 3);
    EXPECT_EQ(FindDeviceIndex(t, 3, ""), -1);
    EXPECT_EQ(FindDeviceIndex(t, 0, "Cam"), -1);
}

TEST(DeviceTable, CameraChoiceFallsBackToRowZero) {
    DeviceTable t = TableOf({"First", "Second", "X"});
    std::string name = "Second";
    EXPECT_EQ(ChooseCamera(t, 3, name), 1);
    EXPECT_EQ(name, "Second");
    for (const char* n : {"", "Q", "Absent"}) {
        name = n;
        EXPECT_EQ(ChooseCamera(t, 3, name), 0) << n;
        EXPECT_EQ(name, "First");
    }
    name = "X";  // listed, but too short to be kept
    EXPECT_EQ(ChooseCamera(t, 3, name), 0);
    EXPECT_EQ(name, "First");
    name = "Kept";
    EXPECT_EQ(ChooseCamera(t, 0, name), -1);
    EXPECT_EQ(name, "Kept");
}

TEST(DeviceTable, PreferredRowPicksAmongNamesakes) {
    // Two cameras of one model: the row chosen in the menu opens, not the first namesake.
    DeviceTable t = TableOf({"USB Camera", "USB Camera", "Doc", "Other"});
    std::string name = "USB Camera";
    EXPECT_EQ(ChooseCamera(t, 3, name, 1), 1);
    EXPECT_EQ(ChooseCamera(t, 3, name, 0), 0);
    EXPECT_EQ(ChooseCamera(t, 3, name), 0);
    // A row that does not carry the name, or is not listed, does not win over the name.
    EXPECT_EQ(ChooseCamera(t, 3, name, 2), 0);
    for (int row : {-1, 3, 4, MAX_DEVICES, 1000}) EXPECT_EQ(ChooseCamera(t, 3, name, row), 0);
    EXPECT_EQ(name, "USB Camera");
    // The name rules still run first: a lost camera's row falls back to row 0 and its name.
    name = "Gone";
    EXPECT_EQ(ChooseCamera(t, 3, name, 1), 0);
    EXPECT_EQ(name, "USB Camera");
    name = "Doc";
    EXPECT_EQ(ChooseCamera(t, 3, name, 2), 2);
    EXPECT_EQ(ChooseCamera(t, 3, name, 1), 2);
}

TEST(TestCameraList, ParsesNamesSizesAndRates) {
    auto cams = ParseTestCameras("Doc Cam@1920x1080,1280x720,640x480@15;Plain;;USB Cam@320x240");
    ASSERT_EQ(cams.size(), 3u);
    EXPECT_EQ(cams[0].name, "Doc Cam");
    EXPECT_EQ(cams[0].sizes,
              (std::vector<TestCameraEntry::Size>{{1920, 1080}, {1280, 720}, {640, 480}}));
    EXPECT_EQ(cams[0].framesPerSecond, 15);
    EXPECT_EQ(cams[1].sizes, (std::vector<TestCameraEntry::Size>{{640, 480}}));
    EXPECT_EQ(cams[1].framesPerSecond, 30);
    EXPECT_EQ(cams[2].sizes, (std::vector<TestCameraEntry::Size>{{320, 240}}));
}

namespace {

DeviceEntry Camera(const char* name, const char* node, const char* serial, const char* port) {
    DeviceEntry row;
    row.friendlyName = name;
    row.devicePath = node;
    row.serial = serial;
    row.portPath = port;
    return row;
}

}  // namespace

TEST(CameraIdentity, LostCameraFoundAgainAfterReplug) {
    DeviceTable before;
    before[0] = Camera("Twin Cam", "/dev/video0", "A1", "1-1");
    before[1] = Camera("Twin Cam", "/dev/video2", "B2", "1-2");
    before[2] = Camera("Plain Cam", "/dev/video4", "", "1-3");
    const std::string lostA = CameraIdentity(before[0]);
    const std::string lostPlain = CameraIdentity(before[2]);
    EXPECT_EQ(lostA, "serial:A1");  // the serial number wins over the port
    EXPECT_EQ(lostPlain, "port:1-3");
    EXPECT_EQ(CameraIdentity(Camera("Plain Cam", "/dev/video4", "", "")), "name:Plain Cam");

    // A comes back in another port with another node, behind its twin.
    DeviceTable after;
    after[0] = Camera("Twin Cam", "/dev/video2", "B2", "1-2");
    after[1] = Camera("Plain Cam", "/dev/video0", "", "2-1");
    after[2] = Camera("Twin Cam", "/dev/video6", "A1", "3-4");
    EXPECT_EQ(FindCameraAgain(after, 3, lostA, "Twin Cam"), 2);
    EXPECT_EQ(FindCameraAgain(after, 3, CameraIdentity(before[1]), "Twin Cam"), 0);
    // Without a serial number another port is another identity: the name finds it.
    EXPECT_EQ(FindCameraAgain(after, 3, lostPlain, "Plain Cam"), 1);
    // While A is away its twin is not taken for it, and rows past the count do not count.
    EXPECT_EQ(FindCameraAgain(after, 2, lostA, "Twin Cam"), -1);
    // A namesake with a serial number is not the camera that had none.
    after[1].serial = "P9";
    EXPECT_EQ(FindCameraAgain(after, 3, lostPlain, "Plain Cam"), -1);
    // Nothing was open yet: the name alone.
    EXPECT_EQ(FindCameraAgain(after, 3, "", "Twin Cam"), 0);
    EXPECT_EQ(FindCameraAgain(after, 3, "", "Gone"), -1);
}

TEST(TestCameraList, CarriesDevicePropertiesAnywhereAfterTheName) {
    auto cams = ParseTestCameras(
        "Twin Cam@1280x720@15@serial=A1B2,port=1-2.3;Twin Cam@serial= C3/D4 ;"
        "Cam@port=2-1@320x240@20;X@serial=1,serial=2,colour=red,junk,port=");
    ASSERT_EQ(cams.size(), 4u);
    EXPECT_EQ(cams[0].sizes, (std::vector<TestCameraEntry::Size>{{1280, 720}}));
    EXPECT_EQ(cams[0].framesPerSecond, 15);
    EXPECT_EQ(cams[0].serial, "A1B2");
    EXPECT_EQ(cams[0].portPath, "1-2.3");
    EXPECT_EQ(cams[1].serial, "C3/D4");
    EXPECT_EQ(cams[1].sizes, (std::vector<TestCameraEntry::Size>{{640, 480}}));
    EXPECT_EQ(cams[2].portPath, "2-1");
    EXPECT_EQ(cams[2].sizes, (std::vector<TestCameraEntry::Size>{{320, 240}}));
    EXPECT_EQ(cams[2].framesPerSecond, 20);
    EXPECT_EQ(cams[3].serial, "2");
    EXPECT_EQ(cams[3].portPath, "");
}

TEST(TestCameraList, RejectsUnsafeSizesAndRates) {
    auto cams = ParseTestCameras(
        "A@99999x480,0x0,-640x480,641x480,x,12x34,800x600junk@0;"
        "B@@1000;C@640x480@abc");
    ASSERT_EQ(cams.size(), 3u);
    EXPECT_EQ(cams[0].sizes, (std::vector<TestCameraEntry::Size>{{640, 480}}));
    EXPECT_EQ(cams[0].framesPerSecond, 30);
    EXPECT_EQ(cams[1].sizes.size(), 1u);
    EXPECT_EQ(cams[1].framesPerSecond, 30);
    EXPECT_EQ(cams[2].framesPerSecond, 30);
}

TEST(CaptureModes, ChoiceBetweenRawAndMjpeg) {
    const std::vector<CameraMode> modes = {
        {PixelFormat::Mjpeg, "", 1920, 1080, 30, 1},
        {PixelFormat::Yuy2, "YUY2", 1920, 1080, 5, 1},
        {PixelFormat::Yuy2, "YUY2", 640, 480, 30, 1},
        {PixelFormat::Mjpeg, "", 640, 480, 60, 1},
        {PixelFormat::Yuy2, "YUY2", 1280, 720, 30, 1},
        {PixelFormat::Mjpeg, "", 1280, 720, 30, 1},
        {PixelFormat::Other, "video/x-h264", 800, 600, 30, 1},
        {PixelFormat::Mjpeg, "", 800, 600, 15, 1},
    };
    EXPECT_EQ(ChooseCaptureMode(modes, 1920, 1080), 0);  // raw too slow above 640x480
    EXPECT_EQ(ChooseCaptureMode(modes, 640, 480), 2);    // small sizes stay uncompressed
    EXPECT_EQ(ChooseCaptureMode(modes, 1280, 720), 4);   // same rate: uncompressed
    EXPECT_EQ(ChooseCaptureMode(modes, 800, 600), 7);    // only MJPEG is usable
    EXPECT_EQ(ChooseCaptureMode(modes, 1024, 768), -1);
    EXPECT_EQ(DefaultCaptureMode(modes), 0);
    EXPECT_EQ(DefaultCaptureMode({{PixelFormat::Other, "video/x-h264", 640, 480, 30, 1}}), -1);
}

TEST(CaptureModes, ResolutionListKeepsYuy2OrderDuplicatesAndLimit) {
    std::vector<CameraMode> modes;
    modes.push_back({PixelFormat::Mjpeg, "", 1920, 1080, 30, 1});
    modes.push_back({PixelFormat::Yuy2, "YUY2", 640, 480, 30, 1});
    modes.push_back({PixelFormat::OtherRaw, "NV12", 320, 240, 30, 1});
    modes.push_back({PixelFormat::Yuy2, "YUY2", 640, 480, 15, 1});
    std::array<ModeSize, MAX_MODES> out;
    ASSERT_EQ(CollectYuy2Modes(modes, out), 2);
    EXPECT_EQ(out[1].width, 640);
    for (int i = 0; i < 250; ++i)
        modes.push_back({PixelFormat::Yuy2, "YUY2", 16 + 2 * i, 16, 30, 1});
    EXPECT_EQ(CollectYuy2Modes(modes, out), MAX_MODES);
    EXPECT_EQ(out[MAX_MODES - 1].width, 16 + 2 * (MAX_MODES - 3));
    EXPECT_EQ(CollectYuy2Modes({{PixelFormat::Mjpeg, "", 640, 480, 30, 1}}, out), 0);
}

namespace {

// Controls kept in memory: a device model for the focus rules, which only ever look at the
// interface.
class TableControls final : public CameraControls {
public:
    std::vector<ControlInfo> controls;
    std::map<std::uint32_t, int> values;
    std::vector<std::pair<std::uint32_t, int>> writes;
    std::vector<ControlInfo> list() override { return controls; }
    std::optional<int> get(std::uint32_t id) override {
        auto it = values.find(id);
        return it == values.end() ? std::nullopt : std::optional<int>(it->second);
    }
    bool set(std::uint32_t id, int value) override {
        writes.emplace_back(id, value);
        values[id] = value;
        return true;
    }
};

ControlInfo Focus(int def) {
    return {7, "Focus", ControlType::Integer, ControlRole::Focus, 0, 255, 1, def, {}};
}
ControlInfo AutoFocus() {
    return {8, "Focus, Auto", ControlType::Boolean, ControlRole::AutoFocus, 0, 1, 1, 1, {}};
}

}  // namespace

TEST(CameraControlRules, FocusResetManualOrAutomatic) {
    TableControls manual;
    manual.controls = {AutoFocus(), Focus(128)};
    EXPECT_EQ(ResetFocus(manual), 128);
    EXPECT_EQ(manual.writes, (std::vector<std::pair<std::uint32_t, int>>{{8, 0}, {7, 128}}));

    TableControls zero;
    zero.controls = {Focus(0), AutoFocus()};
    EXPECT_EQ(ResetFocus(zero), 0);
    EXPECT_EQ(zero.writes, (std::vector<std::pair<std::uint32_t, int>>{{8, 1}}));

    TableControls noRange;
    noRange.controls = {AutoFocus()};
    EXPECT_EQ(ResetFocus(noRange), 0);
    EXPECT_EQ(noRange.values[8], 1);

    TableControls none;
    EXPECT_EQ(ResetFocus(none), 0);
    EXPECT_TRUE(none.writes.empty());
}

TEST(CameraControlRules, RestoreDefaultsWritesEveryControl) {
    TableControls c;
    c.controls = {AutoFocus(), Focus(40)};
    c.values = {{8, 0}, {7, 200}};
    EXPECT_EQ(RestoreDefaults(c), 2);
    EXPECT_EQ(c.values[8], 1);
    EXPECT_EQ(c.values[7], 40);
}

TEST(RememberedControls, KeptPerCameraAndSetAutomaticModesFirst) {
    test::TempHome home;
    ASSERT_TRUE(home.valid());
    ProfileStore profile(QString::fromStdString(home.path("vistrela.conf")));
    // Identities that a careless group name would mix up: a subgroup, a prefix, the escape.
    const std::vector<std::string> ids = {"name:Cam", "name:Cam/2", "name:Cam\\2", "name:Cam_2F2"};
    for (int i = 0; i < 4; ++i) RememberedControls(profile, ids[i]).remember(7, 10 + i);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(RememberedControls(profile, ids[i]).values(),
                  (std::map<std::uint32_t, int>{{7, 10 + i}}))
            << ids[i];
    RememberedControls(profile, ids[0]).forget();
    EXPECT_TRUE(RememberedControls(profile, ids[0]).values().empty());
    EXPECT_EQ(RememberedControls(profile, ids[1]).values().size(), 1u);

    // The device lists the manual value before its automatic mode, as V4L2 numbers them.
    RememberedControls kept(profile, "serial:A1");
    kept.remember(7, 90);
    kept.remember(8, 0);
    kept.remember(9, 500);  // out of the device's range now
    kept.remember(42, 1);   // a control the device no longer has
    TableControls device;
    ControlInfo brightness{
        9, "Brightness", ControlType::Integer, ControlRole::Brightness, 0, 255, 1, 128, {}};
    device.controls = {Focus(128), AutoFocus(), brightness};
    EXPECT_EQ(kept.applyTo(device), 2);
    EXPECT_EQ(device.writes, (std::vector<std::pair<std::uint32_t, int>>{{8, 0}, {7, 90}}));
}
