#include "settings/settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <memory>

#include "settings/paths.h"
#include "temp_home.h"
#include "viewer/view_state.h"

namespace vistrela {
namespace {

using test::TempHome;
using test::WriteFile;

// Every test starts from the state before start-up: empty records, no desktop, no ini.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.valid());
        theSettings = Settings{};
        theView = ViewState{};
        desktopPath.clear();
        theIni.SetPathName(nullptr);
    }
    void TearDown() override {
        theSettings = Settings{};
        theView = ViewState{};
        desktopPath.clear();
        theIni.SetPathName(nullptr);
    }
    void LoadFrom(const std::string& text) {
        const std::string path = home.path("capture.ini");
        ASSERT_TRUE(WriteFile(path, text));
        theIni.SetPathName(path.c_str());
        theSettings.Load();
    }

    TempHome home;
};

TEST_F(SettingsTest, SetDefaultsResetsEverythingButCameraAndDevices) {
    theSettings.cameraName = "Doc Cam";
    theSettings.deviceCount = 3;
    theSettings.jpegQuality = 5;
    theSettings.nameMode = 2;
    theSettings.hideAfterCapture = 1;
    theSettings.resolutionMode = "1920*1080";
    theView.zoom = 0.25;
    desktopPath = "/home/u/Desktop";
    theSettings.SetDefaults();

    EXPECT_EQ(theSettings.cameraName, "Doc Cam");
    EXPECT_EQ(theSettings.deviceCount, 3);
    EXPECT_EQ(theSettings.jpegQuality, 99);
    EXPECT_EQ(theSettings.fileName, "image.jpg");
    EXPECT_EQ(theSettings.nameMode, 1);
    EXPECT_EQ(theSettings.hideAfterCapture, 0);
    EXPECT_EQ(theSettings.resolutionMode, "640*480");
    EXPECT_EQ(theSettings.cropWidth, 640);
    EXPECT_EQ(theSettings.cropHeight, 480);
    EXPECT_EQ(theSettings.savePath, "/home/u/Desktop/");
    EXPECT_EQ(theView.frameWidth, 640);
    EXPECT_EQ(theView.frameHeight, 480);
    EXPECT_EQ(theView.zoom, 1.0);
    EXPECT_EQ(theView.zoomLimit, 3);

    desktopPath = "/d/";
    theSettings.SetDefaults();
    EXPECT_EQ(theSettings.savePath, "/d/");
    desktopPath.clear();
    theSettings.SetDefaults();
    EXPECT_EQ(theSettings.savePath, "/");
}

TEST_F(SettingsTest, ParseResolutionReadsWidthStarHeight) {
    struct Case {
        const char* text;
        int width;
        int height;
    };
    const Case cases[] = {
        {"800*600", 800, 600},
        {" 1920* 1080 tail", 1920, 1080},
        {"1*1", 1, 1},
        {"800 *600", 640, 480},
        {"800x600", 640, 480},
        {"0*600", 640, 480},
        {"800*-1", 640, 480},
        {"800", 640, 480},
        {"", 640, 480},
        {"abc*def", 640, 480},
        {"99999999999*600", 640, 480},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        theView.zoom = 0.5;
        theView.zoomSize = 3.0;
        theSettings.resolutionMode = c.text;
        theSettings.ParseResolution();
        EXPECT_EQ(theView.frameWidth, c.width);
        EXPECT_EQ(theView.frameHeight, c.height);
        EXPECT_EQ(theView.zoomSize, c.width);
        EXPECT_EQ(theView.zoomMinSize, c.width);
        EXPECT_EQ(theView.zoomSizeY, c.height);
        EXPECT_EQ(theView.zoomMinSizeY, c.height);
        EXPECT_EQ(theView.zoom, 1.0);
    }
}

TEST_F(SettingsTest, ClampCropAndResetDevices) {
    theView.frameWidth = 1280;
    theView.frameHeight = 720;
    theSettings.cropWidth = 5;
    theSettings.ClampCrop(0.9);
    EXPECT_EQ(theSettings.cropWidth, 1280);
    EXPECT_EQ(theSettings.cropHeight, 720);

    auto handle = std::make_shared<int>(7);
    std::weak_ptr<int> watch = handle;
    theSettings.devices[9].moniker = handle;
    handle.reset();
    theSettings.devices[0].friendlyName = "Cam";
    theSettings.devices[0].devicePath = "/dev/video0";
    theSettings.deviceCount = 2;
    theSettings.cameraName = "Cam";
    theSettings.ResetDevices();
    EXPECT_EQ(theSettings.deviceCount, 0);
    EXPECT_EQ(theSettings.cameraName, "");
    EXPECT_TRUE(watch.expired());
    for (const DeviceEntry& row : theSettings.devices) {
        EXPECT_EQ(row.moniker, nullptr);
        EXPECT_EQ(row.friendlyName, "");
        EXPECT_EQ(row.description, "");
        EXPECT_EQ(row.devicePath, "");
    }
}

TEST_F(SettingsTest, LoadTakesFileValuesAsRead) {
    desktopPath = home.desktop() + "/";
    LoadFrom(
        "[camsi]\ncurfn = USB Doc Cam\nnum=3\n"
        "[main]\njpgq=80\ncroph=123\ncropw=456\npath=/srv/shots\n"
        "fname=\"my pic.jpg\"\nautonum=7\nautohide=1\n");
    EXPECT_EQ(theSettings.cameraName, "USB Doc Cam");
    EXPECT_EQ(theSettings.deviceCount, 3);
    EXPECT_EQ(theSettings.jpegQuality, 80);
    EXPECT_EQ(theSettings.cropWidth, 640);  // the file's crop size never counts
    EXPECT_EQ(theSettings.cropHeight, 480);
    EXPECT_EQ(theSettings.savePath, "/srv/shots");  // no '/' appended
    EXPECT_EQ(theSettings.fileName, "my pic.jpg");
    EXPECT_EQ(theSettings.nameMode, 7);
    EXPECT_EQ(theSettings.hideAfterCapture, 1);
    EXPECT_EQ(theView.frameWidth, 640);
    EXPECT_EQ(theView.zoomLimit, 3);
}

TEST_F(SettingsTest, LoadFallbacksForMissingOrEmptyValues) {
    LoadFrom("[main]\npath=\nfname=  \njpgq=\n");
    EXPECT_EQ(theSettings.savePath, home.home() + "/");
    EXPECT_EQ(theSettings.fileName, "image2.jpg");
    EXPECT_EQ(theSettings.jpegQuality, 99);
    EXPECT_EQ(theSettings.nameMode, 1);
    EXPECT_EQ(theSettings.hideAfterCapture, 0);
    EXPECT_EQ(theSettings.cameraName, "");
    EXPECT_EQ(theSettings.deviceCount, 0);

    theSettings.cameraName = "stale";
    theSettings.deviceCount = 4;
    theIni.SetPathName(home.path("missing.ini").c_str());
    theSettings.Load();
    EXPECT_EQ(theSettings.cameraName, "");
    EXPECT_EQ(theSettings.deviceCount, 0);
    EXPECT_EQ(theSettings.savePath, home.home() + "/");
    EXPECT_EQ(theSettings.fileName, "image2.jpg");
}

TEST_F(SettingsTest, LoadNumbersOutOfRange) {
    LoadFrom("[camsi]\nnum=25\n[main]\njpgq=abc\nautonum=-1\nautohide=99999999999\n");
    EXPECT_EQ(theSettings.deviceCount, 10);
    EXPECT_EQ(theSettings.jpegQuality, 0);  // not a number reads as 0
    EXPECT_EQ(theSettings.nameMode, -1);    // 4294967295 as a signed 32-bit value
    EXPECT_EQ(theSettings.hideAfterCapture, -1);

    LoadFrom("[camsi]\nnum=-1\n[main]\njpgq=300\n");
    EXPECT_EQ(theSettings.deviceCount, 10);
    EXPECT_EQ(theSettings.jpegQuality, 300);
}

TEST_F(SettingsTest, LoadSurvivesBadFiles) {
    const std::string longLine(100000, 'q');
    struct Case {
        const char* name;
        std::string text;
        int jpegQuality;
        std::string cameraName;
    };
    const Case cases[] = {
        {"empty", "", 99, ""},
        {"binary", std::string("\x00\xff\xfe[\x01\x02=\x80\x00\x00\xc3", 11) + "\x1b[main", 99, ""},
        {"bom", "\xEF\xBB\xBF[camsi]\r\ncurfn=Cam\r\n[main]\r\njpgq=70\r\n", 70, "Cam"},
        {"long lines",
         longLine + "\n[camsi]\ncurfn=" + longLine + "\n[main]\n" + longLine + "\njpgq=60\n", 60,
         longLine},
        {"keys without =", "[camsi]\ncurfn\n[main]\njpgq\njpgq 50\njpgq=40\n", 40, ""},
        {"duplicate sections",
         "[main]\njpgq=30\n[main]\njpgq=20\n[camsi]\ncurfn=A\n[camsi]\ncurfn=B\n", 30, "A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadFrom(c.text);
        EXPECT_EQ(theSettings.jpegQuality, c.jpegQuality);
        EXPECT_EQ(theSettings.cameraName, c.cameraName);
        EXPECT_EQ(theSettings.cropWidth, 640);
    }
}

TEST_F(SettingsTest, StartupKeepsOnlyCameraAndDeviceCountFromTheFile) {
    ASSERT_TRUE(
        WriteFile(home.configIni(),
                  "[camsi]\ncurfn=Doc Cam\nnum=25\n"
                  "[main]\njpgq=80\npath=/srv/shots\nfname=x.jpg\nautonum=0\nautohide=1\n"));
    ApplyStartupSettings();
    EXPECT_EQ(theIni.PathName(), home.configIni());
    EXPECT_EQ(desktopPath, home.desktop() + "/");
    EXPECT_EQ(theSettings.cameraName, "Doc Cam");
    EXPECT_EQ(theSettings.deviceCount, 10);
    EXPECT_EQ(theSettings.jpegQuality, 99);
    EXPECT_EQ(theSettings.savePath, home.desktop() + "/");
    EXPECT_EQ(theSettings.fileName, "image.jpg");
    EXPECT_EQ(theSettings.nameMode, 1);
    EXPECT_EQ(theSettings.hideAfterCapture, 0);
    EXPECT_EQ(theView.zoomLimit, 8);
    EXPECT_EQ(theView.zoom, 1.0);
    EXPECT_EQ(theView.panX, 0);
    EXPECT_EQ(theView.rotation, 0);

    // The options command reloads: now the file's values show, the folder exactly as written.
    theSettings.ResetDevices();
    theSettings.Load();
    EXPECT_EQ(theSettings.jpegQuality, 80);
    EXPECT_EQ(theSettings.savePath, "/srv/shots");
    EXPECT_EQ(theSettings.nameMode, 0);
}

TEST_F(SettingsTest, StartupWithoutAnyIni) {
    ApplyStartupSettings();
    EXPECT_EQ(theSettings.cameraName, "");
    EXPECT_EQ(theSettings.deviceCount, 0);
    EXPECT_EQ(theSettings.savePath, home.desktop() + "/");
    EXPECT_EQ(theSettings.nameMode, 1);
    EXPECT_EQ(theSettings.jpegQuality, 99);
}

TEST_F(SettingsTest, DesktopFallsBackToHomeWhenMissing) {
    EXPECT_EQ(DesktopFolder(), home.desktop() + "/");
    ASSERT_TRUE(QDir(QString::fromStdString(home.desktop())).removeRecursively());
    EXPECT_EQ(DesktopFolder(), home.home() + "/");
    EXPECT_EQ(HomeFolder(), home.home() + "/");
}

TEST_F(SettingsTest, IniIsLookedForBesideTheProgramFirst) {
    const std::string app = home.path("app") + "/";
    const std::string config = home.path("config");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(app)));
    EXPECT_EQ(FindIniPath(app, config), config + "/vistrela/capture.ini");
    EXPECT_EQ(FindIniPath(app, config + "/"), config + "/vistrela/capture.ini");
    // A folder of that name is not an ini file.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(app + "capture.ini")));
    EXPECT_EQ(FindIniPath(app, config), config + "/vistrela/capture.ini");
    const std::string app2 = home.path("app2") + "/";
    ASSERT_TRUE(WriteFile(app2 + "capture.ini", "[main]\n"));
    EXPECT_EQ(FindIniPath(app2, config), app2 + "capture.ini");
}

TEST_F(SettingsTest, AppDirIsTheExecutablesFolder) {
    const std::string dir = appDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(QFileInfo(QString::fromStdString(dir + "core_tests")).isExecutable());
    EXPECT_EQ(WithSlash(""), "");
    EXPECT_EQ(WithSlash("/"), "/");
    EXPECT_EQ(WithSlash("/a"), "/a/");
}

}  // namespace
}  // namespace vistrela
