// Full screen on another monitor, on Qt's offscreen platform configured with two screens (the
// test X server has only one): the context menu lists both, and choosing the second puts a
// full-screen window of that monitor's size at its position.

#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>

#include "tests/ui/main_window_fixture.h"

using namespace vistrela;
using namespace vistrela::test;

namespace {
const QRect kSecond(1920, 0, 1280, 1024);
}  // namespace

class MonitorsTest : public MainWindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() {
        setUpCase();
        QCOMPARE(QGuiApplication::screens().size(), 2);
        QCOMPARE(QGuiApplication::screens()[1]->geometry(), kSecond);
    }

    void secondMonitorFromTheMenu() {
        start("Projector Cam@640x480");
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
        tearDown();
    }

    void cleanupTestCase() { tearDownCase(); }
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
