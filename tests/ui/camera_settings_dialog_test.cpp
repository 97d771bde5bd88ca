#include "capture/ui/camera_settings_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include "capture/media/capture_device.h"
#include "capture/media/test_camera.h"

using namespace vistrela;

class CameraSettingsDialogTest : public QObject {
    Q_OBJECT

    std::shared_ptr<CaptureDevice> camera() {
        setenv("VISTRELA_TEST_CAMERAS", "Dialog Cam@160x120", 1);
        return ListCaptureDevices().at(0);
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
};

QTEST_MAIN(CameraSettingsDialogTest)
#include "camera_settings_dialog_test.moc"
