#include "capture/ui/camera_settings_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include "capture/device_table.h"
#include "capture/media/capture_device.h"
#include "capture/media/capture_graph.h"
#include "capture/media/test_camera.h"
#include "capture/remembered_controls.h"
#include "settings/app_profile.h"
#include "settings/profile_store.h"
#include "tests/core/temp_home.h"

using namespace vistrela;

namespace {

// Frames go nowhere: these tests look at the camera's controls only.
struct IgnoringReceiver final : FrameReceiver {
    void frameReady(const FrameView&) override {}
    void captureFailed(const std::string&) override {}
};

}  // namespace

class CameraSettingsDialogTest : public QObject {
    Q_OBJECT

    std::shared_ptr<CaptureDevice> camera() {
        DeviceSources sources;
        sources.testCameras = "Dialog Cam@160x120";
        return ListCaptureDevices(sources).at(0);
    }

private slots:
    void buildsOneRowPerControlAndAppliesChangesLive() {
        auto device = camera();
        auto observer = device->openControls();
        CameraSettingsDialog dialog(device->openControls(), "Dialog Cam");
        QCOMPARE(dialog.windowTitle(), QStringLiteral("카메라 설정 - Dialog Cam"));

        const auto sliders = dialog.findChildren<QSlider*>();
        const auto checks = dialog.findChildren<QCheckBox*>();
        QCOMPARE(sliders.size(), 4);  // brightness, contrast, saturation, focus
        QCOMPARE(checks.size(), 1);   // automatic focus
        QCOMPARE(sliders[0]->minimum(), -100);
        QCOMPARE(sliders[0]->maximum(), 100);
        QCOMPARE(sliders[3]->value(), *observer->get(kTestControlFocus));

        sliders[0]->setValue(-40);
        QCOMPARE(observer->get(kTestControlBrightness), std::optional<int>(-40));
        checks[0]->setChecked(!checks[0]->isChecked());
        QCOMPARE(observer->get(kTestControlAutoFocus), std::optional<int>(checks[0]->isChecked()));

        auto* restore = dialog.findChild<QPushButton*>("restoreDefaults");
        QVERIFY(restore);
        QCOMPARE(restore->text(), QStringLiteral("기본값으로"));
        QCOMPARE(dialog.findChild<QPushButton*>("close")->text(), QStringLiteral("닫기"));
        restore->click();
        QCOMPARE(observer->get(kTestControlBrightness), std::optional<int>(0));
        QCOMPARE(observer->get(kTestControlAutoFocus), std::optional<int>(0));
        QCOMPARE(sliders[0]->value(), 0);
        QCOMPARE(checks[0]->isChecked(), false);
    }

    void showPropertyPagesRunsModallyAndRejectsEmptyMoniker() {
        QCOMPARE(ShowPropertyPages(nullptr, nullptr), -1);
        bool seen = false;
        auto* closer = new QTimer(this);
        connect(closer, &QTimer::timeout, this, [&seen, closer] {
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                seen = modal->windowTitle().startsWith(QStringLiteral("카메라 설정"));
                modal->reject();
                closer->stop();
            }
        });
        closer->start(10);
        QCOMPARE(ShowPropertyPages(ToMoniker(camera()), nullptr), 0);
        QVERIFY(seen);
    }

    // What the user changes is kept for that camera only, comes back when the camera opens
    // again after a replug into another port (which put it back to its defaults), wins over the
    // focus reset of the open, and is forgotten by the defaults button.
    void changesRememberedPerCameraRestoredOnOpenAndClearedByDefaults() {
        test::TempHome home;
        QVERIFY(home.valid());
        ProfileStore profile(QString::fromStdString(home.path("vistrela.conf")));
        SetRememberChoicesEnabled(profile, true);
        DeviceSources sources;
        sources.testCameras =
            "Twin Cam@160x120@30@serial=RA,port=1-1;Twin Cam@160x120@30@serial=RB,port=1-2";
        CaptureGraph graph(sources);
        IgnoringReceiver receiver;
        graph.SetWindow(&receiver);
        DeviceTable devices;
        int count = 0;
        graph.EnumerateDevices(devices, count);
        QCOMPARE(count, 2);
        const std::string idA = CameraIdentity(devices[0]);
        const std::string idB = CameraIdentity(devices[1]);
        QCOMPARE(idA, std::string("serial:RA"));
        {
            CameraSettingsDialog dialog(DeviceFromMoniker(devices[0].moniker)->openControls(),
                                        "Twin Cam", nullptr, idA, &profile);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            const auto sliders = dialog.findChildren<QSlider*>();
            QTest::keyClick(sliders[0], Qt::Key_PageUp);  // brightness one page up: 20
            QTest::keyClick(sliders[3], Qt::Key_End);     // focus to its end: 255
        }
        SetRememberChoicesEnabled(profile, false);
        {
            CameraSettingsDialog dialog(DeviceFromMoniker(devices[1].moniker)->openControls(),
                                        "Twin Cam", nullptr, idB, &profile);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QTest::keyClick(dialog.findChildren<QSlider*>()[0], Qt::Key_End);
        }
        QVERIFY(RememberedControls(profile, idB).values().empty());
        SetRememberChoicesEnabled(profile, true);

        // A comes back in another port, behind its twin: fresh driver defaults.
        sources.testCameras =
            "Twin Cam@160x120@30@serial=RB,port=1-2;Twin Cam@160x120@30@serial=RA,port=4-1";
        graph.SetSources(sources);
        std::string name = "Twin Cam";
        int width = 160;
        int height = 120;
        int row = -1;
        QCOMPARE(OpenCamera(graph, devices, count, name, width, height, -1, &row, idA, &profile),
                 0);
        QCOMPARE(row, 1);
        QCOMPARE(graph.focusValue, 128);  // the standard focus reset ran, then the remembered focus
        auto a = DeviceFromMoniker(devices[1].moniker)->openControls();
        QCOMPARE(a->get(kTestControlBrightness), std::optional<int>(20));
        QCOMPARE(a->get(kTestControlFocus), std::optional<int>(255));
        auto b = DeviceFromMoniker(devices[0].moniker)->openControls();
        QCOMPARE(b->get(kTestControlBrightness), std::optional<int>(100));  // B's own, unremembered
        graph.Close();

        {
            CameraSettingsDialog dialog(DeviceFromMoniker(devices[1].moniker)->openControls(),
                                        "Twin Cam", nullptr, idA, &profile);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QTest::mouseClick(dialog.findChild<QPushButton*>("restoreDefaults"), Qt::LeftButton);
            QCOMPARE(dialog.findChildren<QSlider*>()[3]->value(), 128);
        }
        QVERIFY(RememberedControls(profile, idA).values().empty());
        QCOMPARE(a->get(kTestControlBrightness), std::optional<int>(0));
    }
};

QTEST_MAIN(CameraSettingsDialogTest)
#include "camera_settings_dialog_test.moc"
