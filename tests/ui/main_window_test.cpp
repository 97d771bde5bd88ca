// The assembled main window over real test cameras: start-up, saved pictures, the context
// menu, a camera that fails while running, closing and the keyboard. Every dialog runs in a
// throw-away home, so pictures land in a temporary desktop folder.

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QRegularExpression>
#include <QWheelEvent>
#include <QtTest>
#include <memory>
#include <string>
#include <vector>

#include "annotation/overlay.h"
#include "app/command_ids.h"
#include "app/cvist_dlg.h"
#include "app/video_widget.h"
#include "capture/media/capture_device.h"
#include "capture/media/capture_graph.h"
#include "capture/media/test_camera.h"
#include "common/prompts.h"
#include "controls/panel_buttons.h"
#include "controls/panel_layout.h"
#include "controls/ui/gdip_button.h"
#include "controls/ui/menu_xp.h"
#include "settings/settings.h"
#include "tests/core/temp_home.h"
#include "viewer/view_state.h"

using namespace vistrela;

namespace {

// Generous: a camera opens within 5 s, a lost one is looked for every 2 s.
constexpr int kWaitMs = 15000;

const QString kSavedText = QStringLiteral("바탕화면에 저장합니다");
const QString kLostText = QStringLiteral("카메라 연결이 끊어졌습니다");

// Answers every prompt at once, so no test can block on a modal window.
class RecordingPrompts : public Prompts {
public:
    void notice(const std::string&, const std::string& text) override { notices.push_back(text); }
    std::string saveFileName(const std::string&, const std::string&, const std::string&,
                             const std::string&) override {
        return {};
    }
    std::string folder(const std::string&, const std::string&) override { return {}; }
    std::vector<std::string> notices;
};

// The colour of one corner marker of the test camera's picture.
QString hueName(QRgb c) {
    auto high = [](int v) { return v > 170; };
    auto low = [](int v) { return v < 90; };
    const int r = qRed(c), g = qGreen(c), b = qBlue(c);
    if (high(r) && high(g) && high(b)) return "white";
    if (high(r) && low(g) && low(b)) return "red";
    if (low(r) && high(g) && low(b)) return "green";
    if (low(r) && low(g) && high(b)) return "blue";
    return QString("other(%1,%2,%3)").arg(r).arg(g).arg(b);
}

// Corner colours as "top-left,top-right,bottom-left,bottom-right", read in the middle of each
// corner marker. The marker side depends only on the shorter side, so it holds for a turned
// picture too.
QString corners(const QImage& image) {
    const int w = image.width();
    const int h = image.height();
    if (w < 8 || h < 8) return "no picture";
    const int m = TestCameraMarkerSide(w, h) / 2;
    return QStringList{hueName(image.pixel(m, m)), hueName(image.pixel(w - 1 - m, m)),
                       hueName(image.pixel(m, h - 1 - m)),
                       hueName(image.pixel(w - 1 - m, h - 1 - m))}
        .join(',');
}

// The camera's own picture is red, green / blue, white; start-up shows it turned by 180.
const QString kTurned180 = "white,blue,green,red";
// Then a quarter turn to the right.
const QString kTurned270 = "green,white,red,blue";

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempHome> home_;
    RecordingPrompts prompts_;
    // Declared before the dialog, so the dialog goes first.
    std::unique_ptr<AppContext> ctx_;
    std::unique_ptr<CvistDlg> dlg_;

    // A fresh program start with `cameras` as the machine's cameras; `oneShotName` starts a
    // one-shot run.
    void start(const char* cameras, const std::string& oneShotName = {}) {
        qputenv("VISTRELA_TEST_CAMERAS", cameras);
        dlg_.reset();
        ctx_ = std::make_unique<AppContext>();
        ctx_->prompts = &prompts_;
        if (!oneShotName.empty()) {
            ctx_->commandLine.commandLineName = oneShotName;
            ctx_->commandLine.oneShotCapture = 1;
            ctx_->oneShotPath = home_->path(oneShotName);
        }
        dlg_ = std::make_unique<CvistDlg>(*ctx_);
    }

    bool waitFrames(int count) {
        const int target = dlg_->framesProcessed() + count;
        return QTest::qWaitFor([&] { return dlg_->framesProcessed() >= target; }, kWaitMs);
    }

    QString desktop() const { return QString::fromStdString(home_->desktop()); }
    QStringList pictures() const {
        return QDir(desktop()).entryList({"*.jpg"}, QDir::Files, QDir::Name);
    }
    QString title() const { return dlg_->windowTitle(); }

    VideoWidget* video() const { return dlg_->findChild<VideoWidget*>(); }

    CGdipButton* panelButton(int id) const {
        for (CGdipButton* b : dlg_->findChildren<CGdipButton*>())
            if (b->property("controlId").toInt() == id) return b;
        return nullptr;
    }

    // Pops the context menu up with a click on the panel's menu button, as a user does, and
    // returns it once it shows.
    CMenuXP* popUpMenu() {
        QTest::mouseClick(panelButton(IDC_MENU), Qt::LeftButton);
        CMenuXP* menu = nullptr;
        const bool shown = QTest::qWaitFor(
            [&] {
                menu = qobject_cast<CMenuXP*>(QApplication::activePopupWidget());
                return menu != nullptr && menu->isVisible();
            },
            kWaitMs);
        return shown ? menu : nullptr;
    }

    // The open submenu of `menu` (the camera list), opened by clicking its entry.
    CMenuXP* openCameraSubmenu(CMenuXP* menu) {
        QAction* entry = menu->actions().value(0);
        if (entry == nullptr || entry->menu() == nullptr) return nullptr;
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(entry).center());
        auto* sub = qobject_cast<CMenuXP*>(entry->menu());
        if (!QTest::qWaitFor([&] { return sub->isVisible(); }, kWaitMs)) return nullptr;
        return sub;
    }

    QString openCamera() const {
        return ctx_->capture.device()
                   ? QString::fromStdString(ctx_->capture.device()->friendlyName())
                   : QString();
    }

    // Saves a picture and returns its size.
    QSize savedPictureSize() {
        const int before = pictures().size();
        QTest::keyClick(dlg_.get(), Qt::Key_S, Qt::ControlModifier);
        const QString name = waitForPicture(before);
        return name.isEmpty() ? QSize() : QImage(desktop() + "/" + name).size();
    }

    // A wheel step over the middle of the video area. Sent to the dialog itself: Qt passes
    // only system wheel events on from the video widget to its parent.
    void wheel(int angleDelta) {
        const QPointF at(video()->width() / 2.0, video()->height() / 2.0);
        QWheelEvent event(at, dlg_->mapToGlobal(at), QPoint(), QPoint(0, angleDelta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(dlg_.get(), &event);
    }

    void rightDrag(QPoint from, QPoint to) {
        auto send = [this](QEvent::Type type, QPoint p, Qt::MouseButton button,
                           Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(p), dlg_->mapToGlobal(QPointF(p)), button, held,
                              Qt::NoModifier);
            QApplication::sendEvent(dlg_.get(), &event);
        };
        send(QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton);
        send(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::RightButton);
        send(QEvent::MouseMove, to, Qt::NoButton, Qt::RightButton);
        send(QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::NoButton);
    }

    // Positions (column, row from the top) of the overlay's drawn pixels.
    QList<QPoint> overlayInk() const {
        QList<QPoint> ink;
        const CxImage& overlay = dlg_->pipelineState().overlayImage;
        for (int y = 0; y < overlay.GetHeight(); ++y)
            for (int x = 0; x < overlay.GetWidth(); ++x)
                if ((overlay.PixelAt(x, y) & kRgbMask) != 0) ink.append(QPoint(x, y));
        return ink;
    }
    // How many of `at` show the pen's colour in the next processed frame.
    int penPixelsShown(const QList<QPoint>& at) {
        if (!waitFrames(2)) return -1;
        int n = 0;
        for (const QPoint& p : at)
            n += dlg_->processedFrame().PixelAt(p.x(), p.y()) == PEN_COLOUR.pixel();
        return n;
    }

    // Waits for the next picture file and returns its name.
    QString waitForPicture(int countBefore) {
        if (!QTest::qWaitFor([&] { return pictures().size() > countBefore; }, kWaitMs)) return {};
        return pictures().last();
    }

private slots:
    void initTestCase() {
        home_ = std::make_unique<test::TempHome>();
        QVERIFY(home_->valid());
    }

    void cleanupTestCase() { home_.reset(); }

    void init() {
        for (const QString& name : QDir(desktop()).entryList(QDir::Files))
            QFile::remove(desktop() + "/" + name);
        QFile::remove(QString::fromStdString(home_->configIni()));
        prompts_.notices.clear();
    }

    void cleanup() {
        dlg_.reset();
        ctx_.reset();
    }

    void startupShowsTurnedCameraPictureAndTitle() {
        start("Start Cam@320x240");
        QVERIFY(dlg_->cameraOpen());
        QVERIFY(dlg_->isVisible());
        QVERIFY(waitFrames(5));
        QCOMPARE(ctx_->view.rotation, 0);
        QCOMPARE(ctx_->view.zoom, 1.0);
        QCOMPARE(ctx_->view.frameWidth, 320);
        QCOMPARE(ctx_->view.frameHeight, 240);

        const QImage shown = dlg_->processedFrame().View();
        QCOMPARE(shown.size(), QSize(320, 240));
        QCOMPARE(corners(shown), kTurned180);

        // The window was fitted to the picture: the video area has the camera's width and the
        // panel takes the rest; the height is the panel's, as the picture is shorter.
        const int decorationHeight = dlg_->frameGeometry().height() - dlg_->height();
        QCOMPARE(video()->size(), QSize(320, panelMinimumClientHeight(decorationHeight)));
        QCOMPARE(dlg_->width(), 320 + kPanelShownWidth);
        // A camera this small still leaves every panel button, the exit button last, inside.
        QVERIFY(dlg_->rect().contains(panelButton(IDC_EXIT)->geometry()));

        static const QRegularExpression form(
            R"(^Vistrela Viewer v2\.0  \[(\d+),(\d+)\] fps:(\d+\.\d\d)   Zoom:1\.00x$)");
        QTRY_VERIFY_WITH_TIMEOUT(
            form.match(title()).hasMatch() && form.match(title()).captured(3).toDouble() > 0.0,
            kWaitMs);
        const QRegularExpressionMatch m = form.match(title());
        QCOMPARE(m.captured(1).toInt(), video()->width());
        QCOMPARE(m.captured(2).toInt(), video()->height());
        QVERIFY(prompts_.notices.empty());
    }

    void savedPictureKeepsTurnAndIgnoresZoomAndPan() {
        // An ini that asks for another folder, a fixed name and a low quality: start-up keeps
        // only its camera name.
        const QString elsewhere = QString::fromStdString(home_->path("elsewhere"));
        QVERIFY(QDir().mkpath(elsewhere));
        QVERIFY(test::WriteFile(
            home_->configIni(),
            "[camsi]\ncurfn = Second Cam\n[main]\npath = " + elsewhere.toStdString() +
                "/\nautonum = 0\nfname = fixed.jpg\njpgq = 20\n"));
        start("First Cam@640x480;Second Cam@640x480");
        QVERIFY(dlg_->cameraOpen());
        QCOMPARE(QString::fromStdString(ctx_->capture.device()->friendlyName()),
                 QStringLiteral("Second Cam"));
        QCOMPARE(ctx_->settings.nameMode, kNameTimeStamp);
        QCOMPARE(ctx_->settings.jpegQuality, 99);
        QCOMPARE(QString::fromStdString(ctx_->settings.savePath), desktop() + "/");

        QVERIFY(waitFrames(2));
        dlg_->onCommand(IDC_ROTATE);
        QCOMPARE(ctx_->view.rotation, 90);
        QVERIFY(waitFrames(2));
        QCOMPARE(dlg_->processedFrame().GetWidth(), 480);

        const qint64 before = QDateTime::currentSecsSinceEpoch();
        dlg_->onCommand(IDC_SAVE_PICTURE);
        const QString first = waitForPicture(0);
        const qint64 after = QDateTime::currentSecsSinceEpoch();
        QVERIFY2(!first.isEmpty(), "no picture on the desktop");

        static const QRegularExpression stampName(R"(^(\d{8}_\d{6})\.jpg$)");
        const QRegularExpressionMatch stamp = stampName.match(first);
        QVERIFY2(stamp.hasMatch(), qPrintable(first));
        const qint64 taken =
            QDateTime::fromString(stamp.captured(1), "yyyyMMdd_HHmmss").toSecsSinceEpoch();
        QVERIFY(taken >= before && taken <= after);
        QVERIFY(QDir(elsewhere).isEmpty());

        const QImage saved(desktop() + "/" + first);
        QCOMPARE(saved.size(), QSize(480, 640));
        QCOMPARE(corners(saved), kTurned270);
        QTRY_VERIFY_WITH_TIMEOUT(title().contains(kSavedText), kWaitMs);
        QVERIFY(title().contains(" Rot:90"));

        // Magnified and panned on screen; the file still holds the whole turned frame.
        for (int i = 0; i < 6; ++i) wheel(-120);
        QCOMPARE(ctx_->view.zoom, 640.0 / 940.0);
        rightDrag(QPoint(200, 200), QPoint(120, 140));
        QVERIFY(ctx_->view.panX != 0 || ctx_->view.panY != 0);
        QVERIFY(waitFrames(2));
        dlg_->onCommand(IDC_SAVE_PICTURE);
        const QString second = waitForPicture(1);
        QVERIFY2(!second.isEmpty(), "no second picture");
        QVERIFY(second != first);
        // Within the same second the name gets a suffix instead of replacing the first.
        static const QRegularExpression stampOrSuffix(R"(^\d{8}_\d{6}(_\d+)?\.jpg$)");
        QVERIFY2(stampOrSuffix.match(second).hasMatch(), qPrintable(second));
        const QImage zoomed(desktop() + "/" + second);
        QCOMPARE(zoomed.size(), QSize(480, 640));
        QCOMPARE(corners(zoomed), kTurned270);
    }

    void twoSaveRequestsBetweenFramesGiveOneFile() {
        start("Burst Cam@320x240");
        QVERIFY(waitFrames(2));
        // No event runs between the two requests, so no frame can come between them.
        dlg_->onCommand(IDC_SAVE_PICTURE);
        dlg_->onCommand(cmd::SavePictureHidden);
        QVERIFY(!waitForPicture(0).isEmpty());
        QVERIFY(waitFrames(5));
        QCOMPARE(pictures().size(), 1);
        QCOMPARE(dlg_->pipelineState().captureRequest, 0);

        // A later press is a picture of its own, never written over the first.
        dlg_->onCommand(IDC_SAVE_PICTURE);
        QVERIFY(!waitForPicture(1).isEmpty());
        QVERIFY(waitFrames(5));
        QCOMPARE(pictures().size(), 2);
        for (const QString& name : pictures())
            QCOMPARE(QImage(desktop() + "/" + name).size(), QSize(320, 240));
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
        for (int id : {17, 20, 29, 33, 39, 60}) dlg_->onCommand(id);
        QCOMPARE(ctx_->capture.device(), device);
        QCOMPARE(dlg_->panelWidthNow(), kPanelShownWidth);
        QCOMPARE(ctx_->view.zoom, 1.0);
        QCOMPARE(dlg_->pipelineState().drawMode, 0);
        QVERIFY(waitFrames(2));

        // Collapsing: only "show" is offered, the grid waits beyond the right edge.
        dlg_->onCommand(IDC_PANEL_STRIP);
        QCOMPARE(dlg_->panelWidthNow(), kPanelCollapsedWidth);
        QVERIFY(!dlg_->menuModel().find(ID_PANEL_HIDE)->enabled);
        QVERIFY(dlg_->menuModel().find(ID_PANEL_SHOW)->enabled);
        const int windowWidth = dlg_->frameGeometry().width();
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

    // A full-screen window that was minimised comes back full screen when a second start asks
    // for it, and the next F11 leaves full screen.
    void minimisedFullScreenComesBackFullScreen() {
        start("Restore Cam@320x240");
        QVERIFY(waitFrames(2));
        QTest::keyClick(dlg_.get(), Qt::Key_F11);
        QVERIFY(dlg_->windowState() & Qt::WindowFullScreen);
        dlg_->showMinimized();
        QTRY_VERIFY_WITH_TIMEOUT(dlg_->isMinimized(), kWaitMs);
        dlg_->bringToFront();
        QTRY_VERIFY_WITH_TIMEOUT(!dlg_->isMinimized(), kWaitMs);
        QVERIFY(dlg_->windowState() & Qt::WindowFullScreen);
        QVERIFY(panelButton(IDC_WINDOWED)->isVisibleTo(dlg_.get()));
        QTest::keyClick(dlg_.get(), Qt::Key_F11);
        QVERIFY(!(dlg_->windowState() & Qt::WindowFullScreen));
        QVERIFY(panelButton(IDC_FULL_SCREEN)->isVisibleTo(dlg_.get()));
    }

    // No camera at start: the notice is said once, the menu still works, and a camera plugged
    // in later opens by itself.
    void cameraPluggedInLaterOpensByItself() {
        const std::string list = home_->path("cameras.txt");
        QVERIFY(test::WriteFile(list, ""));
        start(("@" + list).c_str());
        QVERIFY(!dlg_->cameraOpen());
        QCOMPARE(prompts_.notices.size(), std::size_t{1});
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

    // While a one-shot run waits for its picture the title says where it goes, also after the
    // title timer has run; the picture then goes there and the window closes.
    void oneShotTitleShowsWhileWaiting() {
        start("Shot Cam@320x240", "shot one.jpg");
        QVERIFY(waitFrames(2));
        QTRY_VERIFY_WITH_TIMEOUT(title().contains(QStringLiteral("fps:")), kWaitMs);
        QVERIFY2(title().endsWith(QStringLiteral("[저장후종료 shot one.jpg]")), qPrintable(title()));
        QTest::keyClick(dlg_.get(), Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!dlg_->isVisible(), kWaitMs);
        QCOMPARE(dlg_->exitStatus(), 0);
        QCOMPARE(QImage(QString::fromStdString(home_->path("shot one.jpg"))).size(),
                 QSize(320, 240));
    }

    void failingCameraClosesAndReopensWhenListedAgain_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("stream error") << QByteArray("Cam!error");
        QTest::newRow("stalled") << QByteArray("Cam!stall");
    }

    void failingCameraClosesAndReopensWhenListedAgain() {
        QFETCH(QByteArray, name);
        start(name + "@320x240");
        QVERIFY(dlg_->cameraOpen());
        QTRY_VERIFY_WITH_TIMEOUT(!dlg_->cameraOpen(), kWaitMs);
        QVERIFY(dlg_->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(title().contains(kLostText), kWaitMs);
        QCOMPARE(title().count(kLostText), 1);
        const double said = ctx_->view.statusUntil;
        const int framesBefore = dlg_->framesProcessed();

        // While the camera is not listed the window keeps looking, silently, and a picture
        // request waits for frames.
        qputenv("VISTRELA_TEST_CAMERAS", "Other Cam@320x240");
        dlg_->onCommand(IDC_SAVE_PICTURE);
        dlg_->onCommand(IDC_ROTATE);
        QTest::qWait(2500);  // longer than one look for the camera
        QVERIFY(!dlg_->cameraOpen());
        QCOMPARE(ctx_->view.statusUntil, said);
        QCOMPARE(dlg_->framesProcessed(), framesBefore);
        QVERIFY(pictures().isEmpty());
        QVERIFY(prompts_.notices.empty());

        // Listed again: it opens by itself, frames flow and the waiting picture is taken.
        qputenv("VISTRELA_TEST_CAMERAS", name + "@320x240");
        QVERIFY(waitFrames(1));
        const QString taken = waitForPicture(0);
        QVERIFY(!taken.isEmpty());
        QCOMPARE(QImage(desktop() + "/" + taken).size(), QSize(240, 320));
        QVERIFY(prompts_.notices.empty());
    }

    void escExitButtonAndCloseBoxEndTheDialog_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Esc") << 0;
        QTest::newRow("exit button") << 1;
        QTest::newRow("close box") << 2;
    }

    void escExitButtonAndCloseBoxEndTheDialog() {
        QFETCH(int, way);
        // Several rounds with a fast camera: closing always lands between busy frames.
        for (int round = 0; round < 3; ++round) {
            start("Close Cam@320x240@60");
            QVERIFY(waitFrames(3 + round));
            if (way == 0)
                QTest::keyClick(dlg_.get(), Qt::Key_Escape);
            else if (way == 1)
                panelButton(IDC_EXIT)->click();
            else
                QVERIFY(dlg_->close());
            QVERIFY(!dlg_->isVisible());
            QCOMPARE(dlg_->result(), int(QDialog::Accepted));
            QCOMPARE(dlg_->exitStatus(), 0);
            QVERIFY(!dlg_->cameraOpen());
            // No frame reaches a closed dialog.
            const int frames = dlg_->framesProcessed();
            QTest::qWait(100);
            QCOMPARE(dlg_->framesProcessed(), frames);
            dlg_.reset();
        }
    }

    void penStrokeUndoneAndRedoneByKeysAndMenu() {
        start("Draw Cam@320x240");
        QVERIFY(waitFrames(2));
        CMenuXP* menu = popUpMenu();
        QVERIFY(menu != nullptr);
        QVERIFY(!dlg_->menuModel().find(ID_UNDO)->enabled);
        QVERIFY(!dlg_->menuModel().find(ID_REDO)->enabled);
        QTest::keyClick(menu, Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::activePopupWidget() == nullptr, kWaitMs);

        // A left-button drag across the middle of the picture, then the pointer moves away
        // so that its marker does not cover the stroke.
        const int midY = video()->height() / 2;
        QTest::mousePress(dlg_.get(), Qt::LeftButton, Qt::NoModifier, QPoint(40, midY));
        QTest::mouseMove(dlg_.get(), QPoint(150, midY + 10));
        QTest::mouseMove(dlg_.get(), QPoint(280, midY));
        QTest::mouseRelease(dlg_.get(), Qt::LeftButton, Qt::NoModifier, QPoint(280, midY));
        QTest::mouseMove(dlg_.get(), QPoint(160, midY + 80));
        QCOMPARE(dlg_->pipelineState().drawMode, DRAW_PEN);
        const QList<QPoint> stroke = overlayInk();
        QVERIFY2(stroke.size() > 200, qPrintable(QString::number(stroke.size())));
        QCOMPARE(penPixelsShown(stroke), int(stroke.size()));

        QTest::keyClick(dlg_.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(overlayInk().isEmpty());
        QVERIFY(penPixelsShown(stroke) < stroke.size() / 2);
        QTest::keyClick(dlg_.get(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(overlayInk(), stroke);
        QCOMPARE(penPixelsShown(stroke), int(stroke.size()));
        QTest::keyClick(dlg_.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(overlayInk().isEmpty());
        QTest::keyClick(dlg_.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(overlayInk(), stroke);

        // The menu offers undo now, not redo, and its entry takes the stroke back.
        menu = popUpMenu();
        QVERIFY(menu != nullptr);
        QVERIFY(dlg_->menuModel().find(ID_UNDO)->enabled);
        QVERIFY(!dlg_->menuModel().find(ID_REDO)->enabled);
        QAction* undo = menu->actionForCommand(ID_UNDO);
        QVERIFY(undo != nullptr);
        QCOMPARE(undo->text(), QStringLiteral("실행 취소"));
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(undo).center());
        QTRY_VERIFY_WITH_TIMEOUT(overlayInk().isEmpty(), kWaitMs);
        QVERIFY(penPixelsShown(stroke) < stroke.size() / 2);
    }

    void keyboardShortcuts() {
        start("Keys Cam@640x480");
        QVERIFY(waitFrames(2));

        QTest::keyClick(dlg_.get(), Qt::Key_R);
        QCOMPARE(ctx_->view.rotation, 90);

        // "+" magnifies by one wheel step towards the user, "-" steps back out.
        QTest::keyClick(dlg_.get(), Qt::Key_Plus);
        const double byKey = ctx_->view.zoom;
        QVERIFY(byKey < 1.0);
        QTest::keyClick(dlg_.get(), Qt::Key_Minus);
        QCOMPARE(ctx_->view.zoom, 1.0);
        wheel(-120);
        QCOMPARE(ctx_->view.zoom, byKey);
        wheel(120);
        QCOMPARE(ctx_->view.zoom, 1.0);

        // "0" resets zoom and pan; the turn stays.
        QTest::keyClick(dlg_.get(), Qt::Key_Plus);
        QTest::keyClick(dlg_.get(), Qt::Key_Plus);
        rightDrag(QPoint(200, 200), QPoint(150, 150));
        QVERIFY(ctx_->view.panX != 0 || ctx_->view.panY != 0);
        QTest::keyClick(dlg_.get(), Qt::Key_0);
        QCOMPARE(ctx_->view.zoom, 1.0);
        QCOMPARE(ctx_->view.panX, 0);
        QCOMPARE(ctx_->view.panY, 0);
        QCOMPARE(ctx_->view.rotation, 90);

        QTest::keyClick(dlg_.get(), Qt::Key_S, Qt::ControlModifier);
        const QString saved = waitForPicture(0);
        QVERIFY(!saved.isEmpty());
        QCOMPARE(QImage(desktop() + "/" + saved).size(), QSize(480, 640));
        // S alone saves nothing.
        QTest::keyClick(dlg_.get(), Qt::Key_S);
        QVERIFY(waitFrames(3));
        QCOMPARE(pictures().size(), 1);

        // F11 and F switch between windowed and full screen; the pair of layout buttons shows
        // which state the window is in.
        CGdipButton* enter = panelButton(IDC_FULL_SCREEN);
        CGdipButton* leave = panelButton(IDC_WINDOWED);
        QVERIFY(enter->isVisibleTo(dlg_.get()));
        QVERIFY(!leave->isVisibleTo(dlg_.get()));
        const QRect windowedPlace = dlg_->geometry();
        QTest::keyClick(dlg_.get(), Qt::Key_F11);
        QVERIFY(!enter->isVisibleTo(dlg_.get()));
        QVERIFY(leave->isVisibleTo(dlg_.get()));
        QVERIFY(dlg_->windowState() & Qt::WindowFullScreen);
        QTest::keyClick(dlg_.get(), Qt::Key_F);
        QVERIFY(enter->isVisibleTo(dlg_.get()));
        QVERIFY(!leave->isVisibleTo(dlg_.get()));
        QVERIFY(!(dlg_->windowState() & Qt::WindowFullScreen));
        QTRY_COMPARE_WITH_TIMEOUT(dlg_->geometry(), windowedPlace, kWaitMs);
        QTest::keyClick(dlg_.get(), Qt::Key_F);
        QVERIFY(leave->isVisibleTo(dlg_.get()));
        QTest::keyClick(dlg_.get(), Qt::Key_F11);
        QVERIFY(enter->isVisibleTo(dlg_.get()));
        QVERIFY(dlg_->isVisible());
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
