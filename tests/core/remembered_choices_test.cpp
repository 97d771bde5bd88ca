#include "settings/remembered_choices.h"

#include <gtest/gtest.h>

#include "settings/profile_store.h"
#include "temp_home.h"
#include "viewer/view_state.h"

namespace vistrela {
namespace {

using test::TempHome;
using test::WriteFile;

DeviceEntry Camera(const char* name, const char* serial = "") {
    DeviceEntry row;
    row.friendlyName = name;
    row.serial = serial;
    return row;
}

class RememberedChoicesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(home.valid()); }
    QString ProfilePath() const { return QString::fromStdString(home.path("vistrela.conf")); }
    // The start-up of the main window over an ini that sets everything it can.
    Settings Startup() {
        const std::string path = home.path("capture.ini");
        EXPECT_TRUE(WriteFile(path,
                              "[camsi]\ncurfn=Doc Cam\n[main]\njpgq=80\npath=/srv/ini\n"
                              "fname=ini.jpg\nautonum=2\nautohide=1\n"));
        ini.SetPathName(path.c_str());
        return StartupSettings(ini, "/home/u/Desktop/", view);
    }

    TempHome home;
    CIni ini;
    ViewState view;
};

TEST_F(RememberedChoicesTest, AppliedOnTopOfTheStartupAndGoneWhenForgotten) {
    DeviceTable devices;
    devices[0] = Camera("Doc Cam");
    devices[1] = Camera("Laptop Camera");
    Settings chosen = Startup();
    chosen.cameraName = "Laptop Camera";
    chosen.resolutionMode = "1280*720";
    chosen.jpegQuality = 70;
    chosen.savePath = "/srv/chosen/";
    chosen.fileName = "board.jpg";
    chosen.nameMode = kNameFixed;
    chosen.hideAfterCapture = 1;
    chosen.timeLapseSeconds = 5;
    {
        ProfileStore profile(ProfilePath());
        StoreRememberedChoices(profile, ChoicesOf(chosen, &devices[1]));
    }

    // The next start: the standard reset first (the ini's "main" values do not count), then
    // what was remembered.
    Settings next = Startup();
    EXPECT_EQ(next.jpegQuality, 99);
    EXPECT_EQ(next.cameraName, "Doc Cam");
    ProfileStore profile(ProfilePath());
    const std::optional<RememberedChoices> loaded = LoadRememberedChoices(profile);
    ASSERT_TRUE(loaded.has_value());
    ApplyRememberedChoices(*loaded, next);
    EXPECT_EQ(next.cameraName, "Laptop Camera");
    EXPECT_EQ(next.resolutionMode, "1280*720");
    EXPECT_EQ(next.cropWidth, 1280);
    EXPECT_EQ(next.cropHeight, 720);
    EXPECT_EQ(next.jpegQuality, 70);
    EXPECT_EQ(next.savePath, "/srv/chosen/");
    EXPECT_EQ(next.fileName, "board.jpg");
    EXPECT_EQ(next.nameMode, kNameFixed);
    EXPECT_EQ(next.hideAfterCapture, 1);
    EXPECT_EQ(next.timeLapseSeconds, 5);
    // The record button's menu changes only that one choice.
    StoreRememberedTimeLapse(profile, 2);
    EXPECT_EQ(LoadRememberedChoices(profile)->timeLapseSeconds, 2);
    EXPECT_EQ(RememberedCameraRow(*loaded, devices, 2), 1);

    // Turned off: nothing is left, and the start-up is the standard one again.
    ForgetRememberedChoices(profile);
    EXPECT_FALSE(LoadRememberedChoices(profile).has_value());
    EXPECT_TRUE(profile.childGroups().isEmpty());
    // Not remembering: the menu's choice is not kept.
    StoreRememberedTimeLapse(profile, 2);
    EXPECT_TRUE(profile.childGroups().isEmpty());
}

TEST_F(RememberedChoicesTest, TheIdentityPicksItsRowAmongNamesakes) {
    DeviceTable devices;
    devices[0] = Camera("USB Camera", "AAA");
    devices[1] = Camera("USB Camera", "BBB");
    devices[2] = Camera("Doc Cam");
    Settings settings;
    settings.cameraName = "USB Camera";
    ProfileStore profile(ProfilePath());
    StoreRememberedChoices(profile, ChoicesOf(settings, &devices[1]));
    RememberedChoices choices = *LoadRememberedChoices(profile);
    EXPECT_EQ(choices.cameraIdentity, "serial:BBB");
    EXPECT_EQ(RememberedCameraRow(choices, devices, 3), 1);

    // Unplugged and replugged elsewhere in the list: found by its serial, not its place.
    std::swap(devices[0], devices[1]);
    EXPECT_EQ(RememberedCameraRow(choices, devices, 3), 0);

    // Gone: a namesake is the camera of that name (the usual name rule); with no namesake
    // either, no row, and the choice of the first camera decides.
    devices[0] = Camera("Doc Cam", "CCC");
    EXPECT_EQ(RememberedCameraRow(choices, devices, 3), 1);
    devices[1] = Camera("Laptop");
    devices[2] = Camera("Doc Cam");
    ASSERT_EQ(RememberedCameraRow(choices, devices, 3), -1);
    std::string name = choices.cameraName;
    EXPECT_EQ(ChooseCamera(devices, 3, name), 0);
    EXPECT_EQ(name, "Doc Cam");
}

}  // namespace
}  // namespace vistrela
