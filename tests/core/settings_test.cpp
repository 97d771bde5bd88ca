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
    void SetUp() override { ASSERT_TRUE(home.valid()); }
    void LoadFrom(const std::string& text) {
        const std::string path = home.path("capture.ini");
        ASSERT_TRUE(WriteFile(path, text));
        ini.SetPathName(path.c_str());
        settings = LoadSettings(ini, desktopPath);
    }

    TempHome home;
    CIni ini;
    Settings settings;
    ViewState view;
    std::string desktopPath;
};

TEST_F(SettingsTest, SetDefaultsResetsEverythingButCameraAndDevices) {
    settings.cameraName = "Doc Cam";
    settings.deviceCount = 3;
    settings.jpegQuality = 5;
    settings.nameMode = 2;
    settings.hideAfterCapture = 1;
    settings.resolutionMode = "1920*1080";
    view.zoom = 0.25;
    view.frameWidth = 1920;
    settings.SetDefaults("/home/u/Desktop");

    EXPECT_EQ(settings.cameraName, "Doc Cam");
    EXPECT_EQ(settings.deviceCount, 3);
    EXPECT_EQ(settings.jpegQuality, 99);
    EXPECT_EQ(settings.fileName, "image.jpg");
    EXPECT_EQ(settings.nameMode, 1);
    EXPECT_EQ(settings.hideAfterCapture, 0);
    EXPECT_EQ(settings.resolutionMode, "640*480");
    EXPECT_EQ(settings.cropWidth, 640);
    EXPECT_EQ(settings.cropHeight, 480);
    EXPECT_EQ(settings.savePath, "/home/u/Desktop/");
    // The view is the caller's: the defaults leave it alone until it asks for their view.
    EXPECT_EQ(view.frameWidth, 1920);
    EXPECT_EQ(view.zoom, 0.25);
    ApplyDefaultView(settings, view);
    EXPECT_EQ(view.frameWidth, 640);
    EXPECT_EQ(view.frameHeight, 480);
    EXPECT_EQ(view.zoom, 1.0);
    EXPECT_EQ(view.zoomLimit, 3);

    settings.SetDefaults("/d/");
    EXPECT_EQ(settings.savePath, "/d/");
    settings.SetDefaults("");
    EXPECT_EQ(settings.savePath, "/");
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
        view.zoom = 0.5;
        view.zoomSize = 3.0;
        ParseResolution(c.text, view);
        EXPECT_EQ(view.frameWidth, c.width);
        EXPECT_EQ(view.frameHeight, c.height);
        EXPECT_EQ(view.zoomSize, c.width);
        EXPECT_EQ(view.zoomMinSize, c.width);
        EXPECT_EQ(view.zoomSizeY, c.height);
        EXPECT_EQ(view.zoomMinSizeY, c.height);
        EXPECT_EQ(view.zoom, 1.0);
    }
}

TEST_F(SettingsTest, ClampCropAndResetDevices) {
    view.frameWidth = 1280;
    view.frameHeight = 720;
    settings.cropWidth = 5;
    settings.ClampCrop(view, 0.9);
    EXPECT_EQ(settings.cropWidth, 1280);
    EXPECT_EQ(settings.cropHeight, 720);

    auto handle = std::make_shared<int>(7);
    std::weak_ptr<int> watch = handle;
    settings.devices[9].moniker = handle;
    handle.reset();
    settings.devices[0].friendlyName = "Cam";
    settings.devices[0].devicePath = "/dev/video0";
    settings.deviceCount = 2;
    settings.cameraName = "Cam";
    settings.ResetDevices();
    EXPECT_EQ(settings.deviceCount, 0);
    EXPECT_EQ(settings.cameraName, "");
    EXPECT_TRUE(watch.expired());
    for (const DeviceEntry& row : settings.devices) {
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
    EXPECT_EQ(settings.cameraName, "USB Doc Cam");
    EXPECT_EQ(settings.deviceCount, 3);
    EXPECT_EQ(settings.jpegQuality, 80);
    EXPECT_EQ(settings.cropWidth, 640);  // the file's crop size never counts
    EXPECT_EQ(settings.cropHeight, 480);
    EXPECT_EQ(settings.savePath, "/srv/shots");  // no '/' appended
    EXPECT_EQ(settings.fileName, "my pic.jpg");
    EXPECT_EQ(settings.nameMode, 7);
    EXPECT_EQ(settings.hideAfterCapture, 1);

    // A relative folder lies in the program's folder, whatever folder the program runs in.
    LoadFrom("[main]\npath=shots/\n");
    EXPECT_EQ(settings.savePath, appDir() + "shots/");
}

TEST_F(SettingsTest, LoadFallbacksForMissingOrEmptyValues) {
    LoadFrom("[main]\npath=\nfname=  \njpgq=\n");
    EXPECT_EQ(settings.savePath, home.home() + "/");
    EXPECT_EQ(settings.fileName, "image2.jpg");
    EXPECT_EQ(settings.jpegQuality, 99);
    EXPECT_EQ(settings.nameMode, 1);
    EXPECT_EQ(settings.hideAfterCapture, 0);
    EXPECT_EQ(settings.cameraName, "");
    EXPECT_EQ(settings.deviceCount, 0);

    settings.cameraName = "stale";
    settings.deviceCount = 4;
    ini.SetPathName(home.path("missing.ini").c_str());
    settings.Load(ini, desktopPath);
    EXPECT_EQ(settings.cameraName, "");
    EXPECT_EQ(settings.deviceCount, 0);
    EXPECT_EQ(settings.savePath, home.home() + "/");
    EXPECT_EQ(settings.fileName, "image2.jpg");
}

TEST_F(SettingsTest, LoadNumbersOutOfRange) {
    LoadFrom("[camsi]\nnum=25\n[main]\njpgq=abc\nautonum=-1\nautohide=99999999999\n");
    EXPECT_EQ(settings.deviceCount, 10);
    EXPECT_EQ(settings.jpegQuality, 0);  // not a number reads as 0
    EXPECT_EQ(settings.nameMode, -1);    // 4294967295 as a signed 32-bit value
    EXPECT_EQ(settings.hideAfterCapture, -1);

    LoadFrom("[camsi]\nnum=-1\n[main]\njpgq=300\n");
    EXPECT_EQ(settings.deviceCount, 10);
    EXPECT_EQ(settings.jpegQuality, 300);
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
        EXPECT_EQ(settings.jpegQuality, c.jpegQuality);
        EXPECT_EQ(settings.cameraName, c.cameraName);
        EXPECT_EQ(settings.cropWidth, 640);
    }
}

TEST_F(SettingsTest, StartupKeepsOnlyCameraAndDeviceCountFromTheFile) {
    ASSERT_TRUE(
        WriteFile(home.configIni(),
                  "[camsi]\ncurfn=Doc Cam\nnum=25\n"
                  "[main]\njpgq=80\npath=/srv/shots\nfname=x.jpg\nautonum=0\nautohide=1\n"));
    EXPECT_EQ(IniPath(), home.configIni());
    ini.SetPathName(IniPath().c_str());
    desktopPath = DesktopFolder();
    EXPECT_EQ(desktopPath, home.desktop() + "/");
    view.zoom = 0.5;
    settings = StartupSettings(ini, desktopPath, view);
    EXPECT_EQ(settings.cameraName, "Doc Cam");
    EXPECT_EQ(settings.deviceCount, 10);
    EXPECT_EQ(settings.jpegQuality, 99);
    EXPECT_EQ(settings.savePath, home.desktop() + "/");
    EXPECT_EQ(settings.fileName, "image.jpg");
    EXPECT_EQ(settings.nameMode, 1);
    EXPECT_EQ(settings.hideAfterCapture, 0);
    EXPECT_EQ(view.zoomLimit, 8);
    EXPECT_EQ(view.zoom, 1.0);
    EXPECT_EQ(view.panX, 0);
    EXPECT_EQ(view.rotation, 0);

    // The options command reloads: now the file's values show, the folder exactly as written.
    settings.ResetDevices();
    settings.Load(ini, desktopPath);
    EXPECT_EQ(settings.jpegQuality, 80);
    EXPECT_EQ(settings.savePath, "/srv/shots");
    EXPECT_EQ(settings.nameMode, 0);
}

TEST_F(SettingsTest, StartupWithoutAnyIni) {
    ini.SetPathName(IniPath().c_str());
    settings = StartupSettings(ini, DesktopFolder(), view);
    EXPECT_EQ(settings.cameraName, "");
    EXPECT_EQ(settings.deviceCount, 0);
    EXPECT_EQ(settings.savePath, home.desktop() + "/");
    EXPECT_EQ(settings.nameMode, 1);
    EXPECT_EQ(settings.jpegQuality, 99);
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
