// Full screen on another monitor, on Qt's offscreen platform configured with two screens (the
// test X server has only one): the context menu lists both, and choosing the second puts a
// full-screen window of that monitor's size at its position.

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/app_context.h"
#include "app/cvist_dlg.h"
#include "controls/menu_model.h"
#include "controls/panel_buttons.h"
#include "controls/ui/gdip_button.h"
#include "controls/ui/menu_xp.h"
#include "tests/core/temp_home.h"

using namespace vistrela;

namespace {
constexpr int kWaitMs = 15000;
const QRect kSecond(1920, 0, 1280, 1024);
}  // namespace

class MonitorsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempHome> home_;
    std::unique_ptr<AppContext> ctx_;
    std::unique_ptr<CvistDlg> dlg_;

    CMenuXP* popUpMenu() {
        for (CGdipButton* b : dlg_->findChildren<CGdipButton*>())
            if (b->property("controlId").toInt() == IDC_MENU) QTest::mouseClick(b, Qt::LeftButton);
        CMenuXP* menu = nullptr;
        const bool shown = QTest::qWaitFor(
            [&] {
                menu = qobject_cast<CMenuXP*>(QApplication::activePopupWidget());
                return menu != nullptr && menu->isVisible();
            },
            kWaitMs);
        return shown ? menu : nullptr;
    }

private slots:
    void initTestCase() {
        home_ = std::make_unique<test::TempHome>();
        QVERIFY(home_->valid());
        QCOMPARE(QGuiApplication::screens().size(), 2);
        QCOMPARE(QGuiApplication::screens()[1]->geometry(), kSecond);
    }

    void secondMonitorFromTheMenu() {
        qputenv("VISTRELA_TEST_CAMERAS", "Projector Cam@640x480");
        ctx_ = std::make_unique<AppContext>();
        dlg_ = std::make_unique<CvistDlg>(*ctx_);
        QVERIFY(dlg_->cameraOpen());

        CMenuXP* menu = popUpMenu();
        QVERIFY(menu != nullptr);
        QAction* first = menu->actionForCommand(ID_MONITOR_BASE);
        QAction* second = menu->actionForCommand(ID_MONITOR_BASE + 1);
        QVERIFY(first != nullptr && second != nullptr);
        QCOMPARE(first->text(), QStringLiteral("모니터 1 전체화면"));
        QCOMPARE(second->text(), QStringLiteral("모니터 2 전체화면"));
        QCOMPARE(menu->actions().last(), second);
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(second).center());

        QTRY_VERIFY_WITH_TIMEOUT(dlg_->windowState() & Qt::WindowFullScreen, kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(dlg_->geometry(), kSecond, kWaitMs);
        QCOMPARE(dlg_->screen(), QGuiApplication::screens()[1]);

        // F11 leaves full screen; again, it fills the monitor the window is on.
        QTest::keyClick(dlg_.get(), Qt::Key_F11);
        QTRY_VERIFY_WITH_TIMEOUT(!(dlg_->windowState() & Qt::WindowFullScreen), kWaitMs);
        dlg_.reset();
        ctx_.reset();
    }
};

int main(int argc, char** argv) {
    // Two screens side by side, the second a projector of another size.
    QTemporaryDir dir;
    const QString config = dir.filePath("screens.json");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) return 2;
    file.write(R"({"screens": [
        {"name": "laptop", "x": 0, "y": 0, "width": 1920, "height": 1080},
        {"name": "projector", "x": 1920, "y": 0, "width": 1280, "height": 1024}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toUtf8());
    QApplication app(argc, argv);
    MonitorsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "monitors_test.moc"
