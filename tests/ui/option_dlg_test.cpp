// The options dialog over the real main window and test cameras, driven with keys and clicks:
// what it shows after the reload, the size list, the checks of the number fields, Browse and
// Cancel, the naming rules, and the remembered choices across a restart.

#include "settings/ui/option_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <functional>

#include "settings/app_profile.h"
#include "tests/ui/main_window_fixture.h"

using namespace vistrela;
using namespace vistrela::test;

namespace {

// USB Cam comes first; it offers 640x480 second, Laptop Camera does not offer it.
constexpr const char* kCameras = "Laptop Camera@800x600,320x240;USB Cam@1280x720,640x480";

QLineEdit* field(Option* d, int id) {
    return qobject_cast<QLineEdit*>(d->control(id));
}
QComboBox* list(Option* d, int id) {
    return qobject_cast<QComboBox*>(d->control(id));
}
QAbstractButton* button(Option* d, int id) {
    return qobject_cast<QAbstractButton*>(d->control(id));
}
void typeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}
QStringList entries(QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

}  // namespace

class OptionDlgTest : public MainWindowFixture {
    Q_OBJECT

    // Opens the dialog (`open`, by default Ctrl+, on the main window) and runs `body` on it once
    // it shows; a dialog the body left open is cancelled. False when no dialog showed.
    bool withOptions(const std::function<void(Option*)>& body,
                     const std::function<void()>& open = {}) {
        bool ran = false;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* d = qobject_cast<Option*>(QApplication::activeModalWidget());
            // Keys reach the dialog's shortcuts only once it is the active window.
            if (ran || d == nullptr || !d->isVisible() || !d->isActiveWindow()) return;
            ran = true;
            poll.stop();
            body(d);
            if (d->isVisible()) d->reject();
        });
        poll.start();
        if (open)
            open();
        else
            QTest::keyClick(dlg_.get(), Qt::Key_Comma, Qt::ControlModifier);
        return QTest::qWaitFor([&] { return ran && QApplication::activeModalWidget() == nullptr; },
                               kWaitMs);
    }

    bool cameraRuns(const QString& name, int width, int height) {
        return QTest::qWaitFor([&] { return openCamera() == name; }, kWaitMs) && waitFrames(2) &&
               ctx_->view.frameWidth == width && ctx_->view.frameHeight == height;
    }

    void writeIni(const std::string& text) { QVERIFY(WriteFile(home_->configIni(), text)); }

private slots:
    void initTestCase() {
        setUpCase();
        // The profile of this run lives in the throw-away home.
        QCoreApplication::setOrganizationName("vistrela");
        QCoreApplication::setApplicationName("vistrela");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(home_->home() + "/.config"));
    }
    void cleanupTestCase() { tearDownCase(); }
    void init() {
        setUp();
        ProfileStore().remove({});
    }
    void cleanup() { tearDown(); }

    void showsTheIniAndSwitchesCamera() {
        writeIni("[main]\njpgq=80\npath=/srv/pictures\n");
        start(kCameras);
        QVERIFY(cameraRuns("USB Cam", 640, 480));
        QCOMPARE(ctx_->settings.jpegQuality, 99);  // the start-up ignores the ini's quality

        bool checked = false;
        QVERIFY(withOptions([&](Option* d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Option"));
            QCOMPARE(d->focusWidget(), d->control(IDC_OPT_CAMERA));
            QCOMPARE(entries(list(d, IDC_OPT_CAMERA)), QStringList({"USB Cam", "Laptop Camera"}));
            // 640*480 is listed for USB Cam: preselected.
            QCOMPARE(entries(list(d, IDC_OPT_MODE)), QStringList({"1280*720", "640*480"}));
            QCOMPARE(list(d, IDC_OPT_MODE)->currentText(), QStringLiteral("640*480"));
            // The ini's values, the folder as written.
            QCOMPARE(field(d, IDC_OPT_QUALITY)->text(), QStringLiteral("80"));
            QCOMPARE(field(d, IDC_OPT_SAVE_PATH)->text(), QStringLiteral("/srv/pictures"));
            QVERIFY(!button(d, IDC_OPT_REMEMBER)->isChecked());

            typeInto(field(d, IDC_OPT_QUALITY), "50");
            typeInto(field(d, IDC_OPT_CROP_WIDTH), "123");
            // A folder typed without its separator gets one.
            typeInto(field(d, IDC_OPT_SAVE_PATH), desktop());
            // Down on the camera list: Laptop Camera, whose own sizes lack 640*480: row 0.
            QTest::keyClick(d->control(IDC_OPT_CAMERA), Qt::Key_Down);
            QCOMPARE(entries(list(d, IDC_OPT_MODE)), QStringList({"800*600", "320*240"}));
            QCOMPARE(list(d, IDC_OPT_MODE)->currentText(), QStringLiteral("800*600"));
            QTest::keyClick(d->control(IDC_OPT_CAMERA), Qt::Key_Return);
            checked = !d->isVisible();
        }));
        QVERIFY(checked);
        QCOMPARE(ctx_->settings.jpegQuality, 50);
        QCOMPARE(ctx_->settings.savePath, home_->desktop() + "/");
        // The crop typed is not kept: it is the new frame size.
        QCOMPARE(ctx_->settings.cropWidth, 800);
        QCOMPARE(ctx_->settings.cropHeight, 600);
        QVERIFY(cameraRuns("Laptop Camera", 800, 600));
        QCOMPARE(savedPictureSize(), QSize(800, 600));

        // Opened again: the ini again, not the choices of the last OK.
        QVERIFY(withOptions([&](Option* d) {
            QCOMPARE(field(d, IDC_OPT_QUALITY)->text(), QStringLiteral("80"));
            QCOMPARE(list(d, IDC_OPT_CAMERA)->currentText(), QStringLiteral("Laptop Camera"));
            QTest::mouseClick(button(d, 2), Qt::LeftButton);
        }));
        // Cancel: everything as it was, the camera and the choices of the last OK.
        QVERIFY(cameraRuns("Laptop Camera", 800, 600));
        QCOMPARE(ctx_->settings.jpegQuality, 50);
    }

    // Without capture.ini values the dialog shows what is in force (the desktop folder, the
    // default name); OK after changing the camera keeps them; Escape keeps the last OK's
    // choices, also after a typed folder and a cancelled folder picker.
    void theDialogShowsAndCancelKeepsWhatIsInForce() {
        writeIni("[main]\npath=\nfname=\n");
        start(kCameras);
        QVERIFY(cameraRuns("USB Cam", 640, 480));
        for (const QString quality : {"99", "50"}) {
            QVERIFY(withOptions([&](Option* d) {
                QCOMPARE(field(d, IDC_OPT_SAVE_PATH)->text(), desktop() + "/");
                QCOMPARE(field(d, IDC_OPT_FILE_NAME)->text(), QStringLiteral("image.jpg"));
                QCOMPARE(field(d, IDC_OPT_QUALITY)->text(), quality);
                QTest::keyClick(d->control(IDC_OPT_CAMERA), Qt::Key_Down);
                typeInto(field(d, IDC_OPT_QUALITY), quality == "99" ? "50" : "20");
                typeInto(field(d, IDC_OPT_SAVE_PATH), "/typed/");
                QTest::mouseClick(button(d, IDC_OPT_BROWSE), Qt::LeftButton);
                QCOMPARE(field(d, IDC_OPT_SAVE_PATH)->text(), QStringLiteral("/typed/"));
                typeInto(field(d, IDC_OPT_SAVE_PATH), desktop());
                QTest::keyClick(d, quality == "99" ? Qt::Key_Return : Qt::Key_Escape);
            }));
            QVERIFY(cameraRuns("Laptop Camera", 800, 600));
            QCOMPARE(ctx_->settings.jpegQuality, 50);
            QCOMPARE(ctx_->settings.savePath, home_->desktop() + "/");
        }
    }

    // Remembering needs the profile written: when it cannot be, OK says so (and the choices
    // still hold until the program ends).
    void rememberingThatCannotBeWrittenIsSaid() {
        const QString conf = ProfileStore::DefaultPath();
        QVERIFY(QDir().mkpath(conf));  // a folder where the file should go
        start(kCameras);
        QVERIFY(withOptions([&](Option* d) {
            typeInto(field(d, IDC_OPT_QUALITY), "70");
            QTest::keyClick(d, Qt::Key_M, Qt::AltModifier);
            QTest::keyClick(d, Qt::Key_Return);
        }));
        QVERIFY(QDir(conf).removeRecursively());
        QVERIFY(prompts_.notices.size() == 1 && prompts_.notices[0].starts_with(kRememberFailed));
        QCOMPARE(ctx_->settings.jpegQuality, 70);
    }

    void numberFieldsKeepTheDialogOpen() {
        start(kCameras);
        QVERIFY(cameraRuns("USB Cam", 640, 480));
        for (const char* accepted : {"1", "99"}) {
            QVERIFY(withOptions([&](Option* d) {
                QLineEdit* quality = field(d, IDC_OPT_QUALITY);
                for (const char* wrong : {"0", "100", "-5"}) {
                    prompts_.notices.clear();
                    typeInto(quality, wrong);
                    QTest::mouseClick(button(d, 1), Qt::LeftButton);
                    QVERIFY2(d->isVisible(), wrong);
                    QCOMPARE(prompts_.notices, std::vector<std::string>{kEnterQualityRange});
                    QCOMPARE(d->focusWidget(), quality);
                    QCOMPARE(quality->selectedText(), QString(wrong));
                }
                // Not an integer: the field says so and takes the focus, before the range.
                prompts_.notices.clear();
                typeInto(field(d, IDC_OPT_CROP_HEIGHT), "12a");
                QTest::mouseClick(button(d, 1), Qt::LeftButton);
                QVERIFY(d->isVisible());
                QCOMPARE(prompts_.notices, std::vector<std::string>{kEnterInteger});
                QCOMPARE(d->focusWidget(), d->control(IDC_OPT_CROP_HEIGHT));
                typeInto(field(d, IDC_OPT_CROP_HEIGHT), "480");

                prompts_.notices.clear();
                typeInto(quality, accepted);
                QTest::mouseClick(button(d, 1), Qt::LeftButton);
                QVERIFY2(!d->isVisible(), accepted);
                QVERIFY(prompts_.notices.empty());
            }));
            QCOMPARE(ctx_->settings.jpegQuality, QString(accepted).toInt());
            QVERIFY(cameraRuns("USB Cam", 640, 480));
        }
    }

    void browseCancelAndNamingRules() {
        start(kCameras);
        QVERIFY(cameraRuns("USB Cam", 640, 480));
        const std::string picked = home_->path("picked");
        prompts_.folderAnswer = picked;
        QVERIFY(withOptions([&](Option* d) {
            // The time-stamp rule of the defaults: the file name field is off.
            QVERIFY(button(d, IDC_OPT_NAME_TIME)->isChecked());
            QVERIFY(!field(d, IDC_OPT_FILE_NAME)->isEnabled());
            // A rule clicked keeps what was typed elsewhere.
            typeInto(field(d, IDC_OPT_QUALITY), "42");
            QTest::mouseClick(button(d, IDC_OPT_NAME_FIXED), Qt::LeftButton);
            QVERIFY(field(d, IDC_OPT_FILE_NAME)->isEnabled());
            QCOMPARE(field(d, IDC_OPT_QUALITY)->text(), QStringLiteral("42"));
            QTest::mouseClick(button(d, IDC_OPT_NAME_ASK), Qt::LeftButton);
            QVERIFY(!field(d, IDC_OPT_FILE_NAME)->isEnabled());
            QVERIFY(!button(d, IDC_OPT_NAME_FIXED)->isChecked());

            QTest::mouseClick(button(d, IDC_OPT_BROWSE), Qt::LeftButton);
            QCOMPARE(prompts_.folderTitles, std::vector<std::string>{kBrowseFolderTitle});
            QCOMPARE(field(d, IDC_OPT_SAVE_PATH)->text(), QString::fromStdString(picked + "/"));
            QCOMPARE(field(d, IDC_OPT_QUALITY)->text(), QStringLiteral("42"));
            QTest::keyClick(d, Qt::Key_Escape);
        }));
        // Cancel keeps nothing, the folder Browse chose included.
        QCOMPARE(ctx_->settings.savePath, home_->desktop() + "/");
        QCOMPARE(ctx_->settings.jpegQuality, 99);
        QCOMPARE(ctx_->settings.nameMode, kNameTimeStamp);
        QVERIFY(cameraRuns("USB Cam", 640, 480));

        // The folder Browse chose and the fixed rule with its name, through OK.
        QVERIFY(withOptions([&](Option* d) {
            QTest::mouseClick(button(d, IDC_OPT_BROWSE), Qt::LeftButton);
            QTest::mouseClick(button(d, IDC_OPT_NAME_FIXED), Qt::LeftButton);
            typeInto(field(d, IDC_OPT_FILE_NAME), "board.jpg");
            QTest::mouseClick(button(d, 1), Qt::LeftButton);
        }));
        QCOMPARE(ctx_->settings.savePath, picked + "/");
        QCOMPARE(ctx_->settings.nameMode, kNameFixed);
        QCOMPARE(ctx_->settings.fileName, std::string("board.jpg"));
    }

    void contextMenuEntryAndNoCamera() {
        start("X@320x240");
        QVERIFY(cameraRuns("X", 320, 240));
        // "옵션..." in the context menu opens the dialog; a one-letter camera name is no
        // device information: said, and the first camera opens all the same.
        QVERIFY(withOptions([&](Option* d) { QTest::mouseClick(button(d, 1), Qt::LeftButton); },
                            [&] {
                                CMenuXP* menu = popUpMenu();
                                QVERIFY(menu != nullptr);
                                for (QAction* a : menu->actions())
                                    if (a->text().startsWith(QStringLiteral("옵션...")))
                                        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                                                          menu->actionGeometry(a).center());
                            }));
        QCOMPARE(prompts_.notices, std::vector<std::string>{kNoDeviceInfo});
        QVERIFY(cameraRuns("X", 320, 240));
    }

    void rememberedChoicesSurviveARestartAndGoWhenTurnedOff() {
        writeIni("[camsi]\ncurfn=USB Cam\n");
        start(kCameras);
        QVERIFY(cameraRuns("USB Cam", 640, 480));
        QVERIFY(withOptions([&](Option* d) {
            QTest::keyClick(d->control(IDC_OPT_CAMERA), Qt::Key_Down);
            list(d, IDC_OPT_MODE)->setCurrentIndex(1);  // 320*240
            typeInto(field(d, IDC_OPT_QUALITY), "70");
            // Alt+M checks the box at once, so an Enter right after it finds the box on.
            QTest::keyClick(d, Qt::Key_M, Qt::AltModifier);
            QVERIFY(button(d, IDC_OPT_REMEMBER)->isChecked());
            QTest::keyClick(d->control(IDC_OPT_CAMERA), Qt::Key_Return);
        }));
        QVERIFY(RememberChoicesEnabled(ctx_->profile));

        // A restart: the standard start-up, then the remembered choices on top.
        start(kCameras);
        QVERIFY(cameraRuns("Laptop Camera", 320, 240));
        QCOMPARE(ctx_->settings.jpegQuality, 70);
        QVERIFY(withOptions([&](Option* d) {
            // The dialog shows what is remembered, the box on.
            QCOMPARE(list(d, IDC_OPT_CAMERA)->currentText(), QStringLiteral("Laptop Camera"));
            QCOMPARE(field(d, IDC_OPT_QUALITY)->text(), QStringLiteral("70"));
            QVERIFY(button(d, IDC_OPT_REMEMBER)->isChecked());
            QTest::mouseClick(button(d, IDC_OPT_REMEMBER), Qt::LeftButton);
            QTest::mouseClick(button(d, 1), Qt::LeftButton);
        }));
        QVERIFY(!RememberChoicesEnabled(ctx_->profile));
        QVERIFY(ctx_->profile.childGroups().isEmpty());

        start(kCameras);
        QVERIFY(cameraRuns("USB Cam", 640, 480));
        QCOMPARE(ctx_->settings.jpegQuality, 99);
    }
};

QTEST_MAIN(OptionDlgTest)
#include "option_dlg_test.moc"
