#include "controls/menu_model.h"

#include <gtest/gtest.h>

#include <vector>

#include "controls/menu_metrics.h"

using namespace vistrela;

namespace {

std::vector<DeviceEntry> cameras(std::initializer_list<const char*> names) {
    std::vector<DeviceEntry> list;
    for (const char* name : names) {
        DeviceEntry e;
        e.friendlyName = name;
        list.push_back(e);
    }
    return list;
}

}  // namespace

TEST(MenuModel, ThreeCamerasAndTheCommands) {
    const auto devices = cameras({"Doc Cam", "USB Webcam", "HD Pro"});
    const MenuCommandText commands[] = {{10, "메뉴숨기기"}, {17, "실행 취소"}};
    const MenuModel menu = buildContextMenuModel(devices, 1, commands);
    ASSERT_EQ(menu.items.size(), 3u);

    const MenuItemModel& camera = menu.items[0];
    EXPECT_EQ(camera.commandId, 0);
    EXPECT_EQ(camera.text, "카메라");
    ASSERT_EQ(camera.submenu.size(), 3u);
    const char* texts[] = {"[1] Doc Cam", "[2] USB Webcam", "[3] HD Pro"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(camera.submenu[i].commandId, 30 + i);
        EXPECT_EQ(camera.submenu[i].text, texts[i]);
        EXPECT_EQ(camera.submenu[i].isDefault, i == 1);
        EXPECT_TRUE(camera.submenu[i].enabled);
    }

    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(menu.items[i + 1].commandId, commands[i].commandId);
        EXPECT_EQ(menu.items[i + 1].text, commands[i].text);
        EXPECT_TRUE(menu.items[i + 1].enabled);
        EXPECT_FALSE(menu.items[i + 1].isDefault);
        EXPECT_TRUE(menu.items[i + 1].submenu.empty());
    }
}

TEST(MenuModel, TheOpenRowIsTheDefaultEvenAmongNamesakes) {
    // Two cameras of one model at different sizes: the entry of the device that is open is
    // bold, not the first or last one with its name.
    const auto devices = cameras({"USB Camera", "USB Camera", "Doc"});
    auto defaults = [](const MenuModel& m) {
        std::vector<int> rows;
        const auto& sub = m.items[0].submenu;
        for (std::size_t i = 0; i < sub.size(); ++i)
            if (sub[i].isDefault) rows.push_back(int(i));
        return rows;
    };
    EXPECT_EQ(defaults(buildContextMenuModel(devices, 0)), std::vector<int>{0});
    EXPECT_EQ(defaults(buildContextMenuModel(devices, 1)), std::vector<int>{1});
    EXPECT_EQ(defaults(buildContextMenuModel(devices, 2)), std::vector<int>{2});
    // Nothing open, or a row the menu does not list: no entry is bold.
    for (int row : {-1, 3, 10})
        EXPECT_TRUE(defaults(buildContextMenuModel(devices, row)).empty()) << row;
    EXPECT_TRUE(buildContextMenuModel({}, 0).items[0].submenu.empty());
}

TEST(MenuModel, AtMostTenCamerasAreListed) {
    std::vector<DeviceEntry> many(12);
    for (int i = 0; i < 12; ++i) many[i].friendlyName = "Cam " + std::to_string(i);
    const MenuModel menu = buildContextMenuModel(many, 11);
    ASSERT_EQ(menu.items[0].submenu.size(), 10u);
    EXPECT_EQ(menu.items[0].submenu.back().commandId, 39);
    EXPECT_EQ(classifyMenuCommand(40, many, 0).action, MenuAction::Ignored);
}

TEST(MenuModel, FindLooksInsideTheSubmenu) {
    const MenuCommandText commands[] = {{ID_ZOOM_RESET, "줌취소"}};
    const MenuModel menu = buildContextMenuModel(cameras({"A"}), 0, commands);
    EXPECT_EQ(menu.find(ID_ZOOM_RESET)->text, "줌취소");
    ASSERT_NE(menu.find(30), nullptr);
    EXPECT_EQ(menu.find(30)->text, "[1] A");
    EXPECT_EQ(menu.find(31), nullptr);
}

TEST(MenuCommands, UnusedIdsAndCamerasPastTheListAreIgnored) {
    const auto devices = cameras({"A", "B", "C"});
    // The commands' own entries (10 to 29) are not cameras or monitors.
    for (int id = 10; id <= 29; ++id)
        EXPECT_EQ(classifyMenuCommand(id, devices, 0).action, MenuAction::Ignored) << id;
    for (int id = 33; id < ID_MONITOR_BASE; ++id)
        EXPECT_EQ(classifyMenuCommand(id, devices, 0).action, MenuAction::Ignored) << id;
    EXPECT_EQ(classifyMenuCommand(60, devices, 0).action, MenuAction::Ignored);
    for (int id : {-1, 0, 9, 61, 1000})
        EXPECT_EQ(classifyMenuCommand(id, devices, 0).action, MenuAction::Ignored) << id;
    EXPECT_EQ(classifyMenuCommand(30, {}, 0).action, MenuAction::Ignored);
}

TEST(MenuCommands, MonitorEntriesOnlyWithTwoOrMoreMonitors) {
    MenuModel one = buildContextMenuModel(cameras({"A"}), 0);
    const std::size_t before = one.items.size();
    appendMonitorEntries(one, 1);
    EXPECT_EQ(one.items.size(), before);
    appendMonitorEntries(one, 3);
    ASSERT_EQ(one.items.size(), before + 3);
    EXPECT_EQ(one.items.back().text, "모니터 3 전체화면");
    EXPECT_EQ(one.items.back().commandId, ID_MONITOR_BASE + 2);
    const MenuCommand third = classifyMenuCommand(ID_MONITOR_BASE + 2, cameras({"A"}), 0);
    EXPECT_EQ(third.action, MenuAction::MonitorFullScreen);
    EXPECT_EQ(third.monitorIndex, 2);
}

TEST(MenuCommands, CameraIdsSwitchUnlessTheRowIsOpen) {
    const auto devices = cameras({"USB Camera", "USB Camera", "C"});
    const MenuCommand same = classifyMenuCommand(31, devices, 1);
    EXPECT_EQ(same.action, MenuAction::SameCamera);
    EXPECT_EQ(same.cameraIndex, 1);
    // The namesake of the open camera is another device: choosing it switches to its row.
    const MenuCommand namesake = classifyMenuCommand(30, devices, 1);
    EXPECT_EQ(namesake.action, MenuAction::SwitchCamera);
    EXPECT_EQ(namesake.cameraIndex, 0);
    const MenuCommand other = classifyMenuCommand(32, devices, 1);
    EXPECT_EQ(other.action, MenuAction::SwitchCamera);
    EXPECT_EQ(other.cameraIndex, 2);
    // With nothing open every listed row is a switch.
    EXPECT_EQ(classifyMenuCommand(31, devices, -1).action, MenuAction::SwitchCamera);
}

TEST(MenuMetrics, ItemSizeFollowsTheMeasuringRule) {
    EXPECT_EQ(menuItemSize(60, 14), QSize(104, 20));  // never lower than icon + 4
    EXPECT_EQ(menuItemSize(60, 25), QSize(104, 25));
    EXPECT_EQ(menuItemSize(60, 14, true), QSize(20, 20));
    EXPECT_EQ(menuItemSize(0, 0), QSize(44, 20));
}

TEST(MenuMetrics, TextRectLeavesIconSquareAndArrowRoom) {
    EXPECT_EQ(menuTextRect(QRect(0, 40, 120, 20)), QRect(22, 40, 82, 20));
    EXPECT_EQ(menuTextRect(QRect(5, 0, 30, 30)).width(), 0);  // too narrow: nothing, not negative
}

TEST(MenuMetrics, LabelSplitsAtTheFirstTab) {
    auto parts = splitMenuLabel(QStringLiteral("줌취소"));
    EXPECT_EQ(parts.left, QStringLiteral("줌취소"));
    EXPECT_TRUE(parts.right.isEmpty());
    parts = splitMenuLabel(QStringLiteral("Open\tCtrl+O\tx"));
    EXPECT_EQ(parts.left, QStringLiteral("Open"));
    EXPECT_EQ(parts.right, QStringLiteral("Ctrl+O\tx"));
    parts = splitMenuLabel(QStringLiteral("\tCtrl+O"));
    EXPECT_TRUE(parts.left.isEmpty());
    EXPECT_TRUE(parts.right.isEmpty());
}
