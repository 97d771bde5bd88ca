// The main window's context menu, driven as a user drives it: the camera list (also with two
// cameras of one name), the panel entries, a camera plugged in later, and freeze.

#include <map>
#include <set>

#include "annotation/ink_commands.h"
#include "tests/ui/main_window_fixture.h"

using namespace vistrela;
using namespace vistrela::test;

class MainWindowMenuTest : public MainWindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpCase(); }
    void cleanupTestCase() { tearDownCase(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    // Every command has one row; its ids and keys are its own; a user reaches it by the menu, a
    // key or the panel.
    void registryRowsAreUniqueAndReachable() {
        std::set<int> controls, menus, commands;
        std::set<std::pair<int, int>> keys;
        for (const CommandRow& row : commandRows()) {
            QVERIFY(commands.insert(int(row.command)).second);
            QCOMPARE(&commandRow(row.command), &row);
            if (row.controlId != 0) QVERIFY(controls.insert(row.controlId).second);
            if (row.menuId != 0) QVERIFY(menus.insert(row.menuId).second);
            QVERIFY(row.run != nullptr);
            QCOMPARE(row.menuId != 0, row.label != nullptr);
            bool keyed = false;
            for (const QKeyCombination& k : row.keys) {
                if (k.key() == Qt::Key_unknown) continue;
                keyed = true;
                QVERIFY(keys.insert({int(k.key()), int(k.keyboardModifiers())}).second);
                QCOMPARE(commandForKey(k), &row);
            }
            const bool onPanel =
                findPanelButton(row.controlId) != nullptr || row.controlId == IDC_PANEL_STRIP;
            QVERIFY2(row.menuId != 0 || keyed || onPanel,
                     qPrintable(QString::number(int(row.command))));
        }
        // The ink commands share the keys and the menu's ids: none may shadow a row.
        for (const InkCommand& ink : InkCommands()) {
            QVERIFY(menus.insert(ink.id).second);
            QVERIFY(keys.insert({int(ink.key), int(Qt::NoModifier)}).second);
            QCOMPARE(commandForKey(QKeyCombination(ink.key)), nullptr);
            QCOMPARE(FindInkCommandForKey(QKeyCombination(ink.key)), &ink);
        }
        QCOMPARE(int(commands.size()), int(Command::PresentFullScreen) + 1);
        for (const PanelButtonEntry& entry : kPanelButtons)
            QVERIFY(commandForControl(entry.controlId) != nullptr);
    }

    void contextMenuListsCamerasAndSwitches() {
        start("Laptop Camera@320x240;USB Cam A@320x240;USB Cam B@320x240");
        QVERIFY(dlg_->cameraOpen());
        QVERIFY(waitFrames(2));
        // "USB" cameras move to the front, the last of them first.
        QCOMPARE(QString::fromStdString(ctx_->settings.cameraName), QStringLiteral("USB Cam B"));

        const MenuModel& menu = dlg_->menuModel();
        QVERIFY(!menu.items.empty());
        const MenuItemModel& cameras = menu.items.front();
        QCOMPARE(QString::fromStdString(cameras.text), QStringLiteral("카메라"));
        QCOMPARE(cameras.submenu.size(), std::size_t{3});
        const char* expected[] = {"[1] USB Cam B", "[2] Laptop Camera", "[3] USB Cam A"};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(cameras.submenu[i].commandId, ID_CAMERA_BASE + i);
            QCOMPARE(cameras.submenu[i].text, std::string(expected[i]));
            QCOMPARE(cameras.submenu[i].isDefault, i == 0);
        }
        // The panel is shown: only "hide" is offered.
        for (int id = ID_PANEL_HIDE; id <= ID_ERASE_TOOL; ++id) {
            QVERIFY(menu.find(id) != nullptr);
            QCOMPARE(menu.find(id)->enabled, id != ID_PANEL_SHOW);
        }

        // The current camera: nothing stops, nothing reopens.
        const std::shared_ptr<CaptureDevice> device = ctx_->capture.device();
        dlg_->onCommand(ID_CAMERA_BASE);
        QVERIFY(dlg_->cameraOpen());
        QCOMPARE(ctx_->capture.device(), device);

        // Ids without a command and cameras past the list change nothing.
        for (int id : {17, 21, 29, 33, 39, 60}) dlg_->onCommand(id);
        QCOMPARE(ctx_->capture.device(), device);
        QCOMPARE(dlg_->panelWidthNow(), kPanelShownWidth);
        QCOMPARE(ctx_->view.zoom, 1.0);
        QCOMPARE(dlg_->pipelineState().drawMode, DRAW_NONE);
        QVERIFY(waitFrames(2));

        // Collapsing: only "show" is offered, the grid waits beyond the right edge.
        dlg_->onCommand(IDC_PANEL_STRIP);
        QCOMPARE(dlg_->panelWidthNow(), kPanelCollapsedWidth);
        QVERIFY(!dlg_->menuModel().find(ID_PANEL_HIDE)->enabled);
        QVERIFY(dlg_->menuModel().find(ID_PANEL_SHOW)->enabled);
        const int windowWidth = dlg_->frameGeometry().width();
        const std::map<int, QString> tips = {
            {IDC_ROTATE, "화면이 우측 90도씩 회전합니다. (R)"},
            {IDC_FULL_SCREEN, "F11, F"},
            {IDC_ZOOM, "마우스 스크롤을 돌리면 확대가 됩니다. (+, -)"},
            {IDC_SAVE_PICTURE,
             "현재의 화면을 바탕화면에 저장합니다. 글씨 및 그림도 함께 저장됩니다. (Ctrl+S)"},
            {IDC_EXIT, "Esc"},
            {IDC_PEN, ""}};
        int parked = 0;
        for (CGdipButton* b : dlg_->findChildren<CGdipButton*>()) {
            const int id = b->property("controlId").toInt();
            if (id == IDC_PANEL_STRIP) {
                QVERIFY(b->x() < dlg_->width());
                QCOMPARE(b->toolTipText(), QStringLiteral("메뉴보이기"));
                continue;
            }
            // Column 1 at the window's outer width, column 2 the usual 70 further.
            const PanelButtonEntry* entry = findPanelButton(id);
            QVERIFY(entry != nullptr);
            if (tips.count(id) != 0) QCOMPARE(b->toolTipText(), tips.at(id));
            QCOMPARE(b->x(), entry->column == 1 ? windowWidth : windowWidth + 70);
            QVERIFY(b->x() >= dlg_->width());
            ++parked;
        }
        QCOMPARE(parked, 17);
        QCOMPARE(video()->width(), dlg_->width() - kPanelCollapsedWidth);

        // Another camera: closed, renamed, reopened; the panel entries still follow the panel.
        dlg_->onCommand(ID_CAMERA_BASE + 2);
        QCOMPARE(QString::fromStdString(ctx_->settings.cameraName), QStringLiteral("USB Cam A"));
        QVERIFY(dlg_->cameraOpen());
        QVERIFY(ctx_->capture.device() != device);
        QCOMPARE(QString::fromStdString(ctx_->capture.device()->friendlyName()),
                 QStringLiteral("USB Cam A"));
        QVERIFY(waitFrames(2));
        QVERIFY(dlg_->menuModel().find(ID_CAMERA_BASE + 2)->isDefault);
        QVERIFY(!dlg_->menuModel().find(ID_CAMERA_BASE)->isDefault);
        QVERIFY(!dlg_->menuModel().find(ID_PANEL_HIDE)->enabled);
        QVERIFY(dlg_->menuModel().find(ID_PANEL_SHOW)->enabled);

        // "Hide" while collapsed still toggles: the panel comes back.
        dlg_->onCommand(ID_PANEL_HIDE);
        QCOMPARE(dlg_->panelWidthNow(), kPanelShownWidth);
        QCOMPARE(panelButton(IDC_SAVE_PICTURE)->x(),
                 dlg_->frameGeometry().width() - kPanelShownWidth - 5);
        QVERIFY(!dlg_->menuModel().find(ID_PANEL_SHOW)->enabled);
        QVERIFY(prompts_.notices.empty());
    }

    // The camera list of the real menu, chosen by mouse and then by keyboard: the menu's own
    // handler is still running when the choice is made, and the new camera must open.
    void cameraChosenFromTheRealMenuByMouseAndKeyboard() {
        // Small pictures: the test runs under ThreadSanitizer's slowdown too.
        start("Laptop Camera@320x240;USB Cam@640x360");
        QVERIFY(waitFrames(2));
        QCOMPARE(openCamera(), QStringLiteral("USB Cam"));

        CMenuXP* menu = popUpMenu();
        QVERIFY(menu != nullptr);
        CMenuXP* cameras = openCameraSubmenu(menu);
        QVERIFY(cameras != nullptr);
        QAction* laptop = cameras->actionForCommand(ID_CAMERA_BASE + 1);
        QVERIFY(laptop != nullptr);
        QTest::mouseClick(cameras, Qt::LeftButton, Qt::NoModifier,
                          cameras->actionGeometry(laptop).center());
        QTRY_COMPARE_WITH_TIMEOUT(openCamera(), QStringLiteral("Laptop Camera"), kWaitMs);
        QVERIFY(waitFrames(2));
        QCOMPARE(savedPictureSize(), QSize(320, 240));  // turned by 180 at start: same shape

        // By keyboard: the camera entry is first; Right opens it on its first row, Enter chooses.
        menu = popUpMenu();
        QVERIFY(menu != nullptr);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Right);
        cameras = qobject_cast<CMenuXP*>(menu->actions().value(0)->menu());
        QTRY_VERIFY_WITH_TIMEOUT(cameras->isVisible(), kWaitMs);
        QCOMPARE(cameras->activeAction(), cameras->actionForCommand(ID_CAMERA_BASE));
        QTest::keyClick(cameras, Qt::Key_Enter);
        QTRY_COMPARE_WITH_TIMEOUT(openCamera(), QStringLiteral("USB Cam"), kWaitMs);
        QVERIFY(waitFrames(2));
        QVERIFY(dlg_->isVisible());
        QCOMPARE(savedPictureSize(), QSize(640, 360));
        QVERIFY(prompts_.notices.empty());
    }

    // Two cameras of one name are two rows: each can be chosen, and bold marks the open one.
    // The panel entries follow the panel when the menu pops up, so "show" cannot be chosen
    // while the panel is shown.
    void sameNameCamerasAndPanelEntriesInTheRealMenu() {
        start("USB Camera@320x240;USB Camera@640x360");
        QVERIFY(waitFrames(2));
        // "USB" cameras move to the front, the last of them first: row 0 is the 640 one.
        QCOMPARE(ctx_->view.frameWidth, 640);
        for (int row : {1, 0}) {
            CMenuXP* menu = popUpMenu();
            QVERIFY(menu != nullptr);
            QVERIFY(menu->actionForCommand(ID_PANEL_HIDE)->isEnabled());
            QVERIFY(!menu->actionForCommand(ID_PANEL_SHOW)->isEnabled());
            CMenuXP* cameras = openCameraSubmenu(menu);
            QVERIFY(cameras != nullptr);
            QAction* other = cameras->actionForCommand(ID_CAMERA_BASE + row);
            QVERIFY(!other->font().bold());
            QVERIFY(cameras->actionForCommand(ID_CAMERA_BASE + 1 - row)->font().bold());
            QTest::mouseClick(cameras, Qt::LeftButton, Qt::NoModifier,
                              cameras->actionGeometry(other).center());
            const int width = row == 1 ? 320 : 640;
            QTRY_COMPARE_WITH_TIMEOUT(ctx_->view.frameWidth, width, kWaitMs);
            QVERIFY(dlg_->menuModel().find(ID_CAMERA_BASE + row)->isDefault);
            QVERIFY(!dlg_->menuModel().find(ID_CAMERA_BASE + 1 - row)->isDefault);
            QCOMPARE(dlg_->panelWidthNow(), kPanelShownWidth);
        }
    }

    // A larger camera, chosen in the real menu while the picture is frozen and drawn on: the
    // window stays whole on its screen (also after full screen and back), and the drawing's
    // clearing is one undo step. The menu lists the cameras present when it opens.
    void largerCameraKeepsTheWindowOnScreenAndTheDrawingUndoable() {
        const std::string list = home_->path("present.txt");
        QVERIFY(test::WriteFile(list, "Small Cam@320x240\nBig Cam@1280x720\n"));
        start(("@" + list).c_str());
        QVERIFY(waitFrames(2));
        const QRect screen = dlg_->screen()->availableGeometry();
        QTest::keyClick(dlg_.get(), Qt::Key_Space);
        const int y = video()->height() / 2;
        QTest::mousePress(dlg_.get(), Qt::LeftButton, Qt::NoModifier, QPoint(40, y));
        QTest::mouseMove(dlg_.get(), QPoint(280, y));
        QTest::mouseRelease(dlg_.get(), Qt::LeftButton, Qt::NoModifier, QPoint(280, y));
        const int ink = overlayInk().size();
        CMenuXP* cameras = openCameraSubmenu(popUpMenu());
        QTest::mouseClick(
            cameras, Qt::LeftButton, Qt::NoModifier,
            cameras->actionGeometry(cameras->actionForCommand(ID_CAMERA_BASE + 1)).center());
        QTRY_COMPARE_WITH_TIMEOUT(openCamera(), QStringLiteral("Big Cam"), kWaitMs);
        QVERIFY(screen.contains(dlg_->frameGeometry()));
        for (int i = 0; i < 2; ++i) QTest::keyClick(dlg_.get(), Qt::Key_F11);
        QTRY_VERIFY_WITH_TIMEOUT(screen.contains(dlg_->frameGeometry()), kWaitMs);

        QVERIFY(ink > 200 && overlayInk().isEmpty());
        QTest::keyClick(dlg_.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(overlayInk().size() > ink);  // back, stretched over the larger picture
        QTest::keyClick(dlg_.get(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(overlayInk().isEmpty());

        // Small Cam unplugged, another plugged in: the menu shows them as they are now.
        QVERIFY(test::WriteFile(list, "Big Cam@1280x720\nOther Cam@320x240\n"));
        QStringList names;
        for (QAction* a : openCameraSubmenu(popUpMenu())->actions())
            names << (a->font().bold() ? "*" : "") + a->text();
        QCOMPARE(names, QStringList({"*[1] Big Cam", "[2] Other Cam"}));
        while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    }

    // No camera at start: the notice is said once, the menu still works, and a camera plugged
    // in later opens by itself.
    void cameraPluggedInLaterOpensByItself() {
        const std::string list = home_->path("cameras.txt");
        QVERIFY(test::WriteFile(list, ""));
        // Behind the notice the panel is already laid out: the exit button in its row.
        QPoint exitAt;
        prompts_.onNotice = [&] {
            for (QWidget* w : QApplication::allWidgets())
                if (w->property("controlId").toInt() == IDC_EXIT) exitAt = w->pos();
        };
        start(("@" + list).c_str());
        QVERIFY(!dlg_->cameraOpen());
        QCOMPARE(prompts_.notices.size(), std::size_t{1});
        QCOMPARE(exitAt, panelButton(IDC_EXIT)->pos());
        QVERIFY(exitAt.y() > 300);
        CMenuXP* menu = popUpMenu();
        QVERIFY(menu != nullptr);
        QVERIFY(menu->actionForCommand(ID_PANEL_HIDE) != nullptr);
        menu->close();

        QVERIFY(test::WriteFile(list, "Late Cam@640x480@30\n"));
        QTRY_VERIFY_WITH_TIMEOUT(dlg_->cameraOpen(), kWaitMs);
        QCOMPARE(openCamera(), QStringLiteral("Late Cam"));
        QVERIFY(waitFrames(2));
        QCOMPARE(ctx_->view.frameWidth, 640);
        QCOMPARE(prompts_.notices.size(), std::size_t{1});
    }

    // Space holds the picture: frames keep coming (the rate stays the camera's) but show the
    // held picture, drawings and turns still work on it; the menu entry says what it will do,
    // and another camera brings the live picture back.
    void spaceFreezesThePictureAndTheMenuUnfreezes() {
        start("Freeze Cam@320x240;USB Other@320x240");
        QVERIFY(waitFrames(2));
        QTest::keyClick(dlg_.get(), Qt::Key_Space);
        QVERIFY(dlg_->pictureFrozen());
        QVERIFY(waitFrames(2));
        const QImage held = dlg_->processedFrame().View().copy();
        QVERIFY(waitFrames(5));
        QCOMPARE(dlg_->processedFrame().View(), held);
        QTRY_VERIFY_WITH_TIMEOUT(title().endsWith(QStringLiteral("[정지]")), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(title().contains(QRegularExpression("fps:[1-9]")), kWaitMs);

        // A turn works on the held picture.
        QTest::keyClick(dlg_.get(), Qt::Key_R);
        QVERIFY(waitFrames(2));
        QCOMPARE(dlg_->processedFrame().View(), held.transformed(QTransform().rotate(90)));

        // The menu offers to unfreeze and does.
        CMenuXP* menu = popUpMenu();
        QVERIFY(menu != nullptr);
        QAction* entry = menu->actionForCommand(ID_FREEZE);
        QCOMPARE(entry->text(), QStringLiteral("정지 해제"));
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(entry).center());
        QTRY_VERIFY_WITH_TIMEOUT(!dlg_->pictureFrozen(), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(!title().contains(QStringLiteral("[정지]")), kWaitMs);

        // Frozen again, then another camera: live.
        QTest::keyClick(dlg_.get(), Qt::Key_Space);
        QVERIFY(dlg_->pictureFrozen());
        dlg_->onCommand(ID_CAMERA_BASE + 1);
        QVERIFY(!dlg_->pictureFrozen());
        menu = popUpMenu();
        QVERIFY(menu != nullptr);
        QCOMPARE(menu->actionForCommand(ID_FREEZE)->text(), QStringLiteral("화면 정지"));
        menu->close();
    }
};

QTEST_MAIN(MainWindowMenuTest)
#include "main_window_menu_test.moc"
