// The assembled main window over real test cameras: start-up, saved pictures, a camera that
// fails while running, a minimised full-screen window, the one-shot title, closing, drawing
// and the keyboard.

#include "annotation/ink_commands.h"
#include "annotation/ui/ink_palette.h"
#include "app/about_dlg.h"
#include "settings/remembered_choices.h"
#include "tests/ui/main_window_fixture.h"

using namespace vistrela;
using namespace vistrela::test;

class MainWindowTest : public MainWindowFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpCase(); }
    void cleanupTestCase() { tearDownCase(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

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
        // Said for a moment only: the status itself is checked, not whether a busy machine
        // showed it in time.
        QCOMPARE(QString::fromStdString(ctx_->view.statusText), kSavedText);
        QTRY_VERIFY_WITH_TIMEOUT(title().contains(" Rot:90"), kWaitMs);

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

    // A save says where the picture went (the desktop by name, another folder by its path); a
    // failure's notice over the picture stays, in full screen too, until a click. With nothing
    // to open the documentation page, the globe says so the same way.
    void saveAndGlobeSayWhatTheyDidOverThePicture() {
        start("Notice Cam@320x240");
        QVERIFY(waitFrames(2));
        const std::string other = home_->path("pictures"), missing = home_->path("missing/");
        QVERIFY(QDir().mkpath(QString::fromStdString(other)));
        for (const auto& [folder, said] : std::vector<std::pair<std::string, QString>>{
                 {home_->desktop() + "/", kSavedText},
                 {other + "/", QString::fromStdString(other) + "에 저장합니다"},
                 {missing, "저장하지 못했습니다"}}) {
            ctx_->settings.savePath = folder;
            ctx_->view.statusText.clear();
            QTest::keyClick(dlg_.get(), Qt::Key_S, Qt::ControlModifier);
            QTRY_VERIFY_WITH_TIMEOUT(!ctx_->view.statusText.empty(), kWaitMs);
            QCOMPARE(QString::fromStdString(ctx_->view.statusText), said);
        }
        QTest::keyClick(dlg_.get(), Qt::Key_F11);
        QVERIFY(waitFrames(2));
        QVERIFY(video()->noticeText().contains(QString::fromStdString("\n" + missing)));
        const QRect box = video()->noticeRect();
        QCOMPARE(video()->grab().toImage().pixel(box.topLeft() + QPoint(2, 2)),
                 VideoWidget::kFailureBox);
        QTest::mouseClick(dlg_.get(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
        QVERIFY(video()->noticeText().isEmpty());

        QTemporaryDir nothing;
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", nothing.path().toUtf8());
        qunsetenv("BROWSER");
        QTest::mouseClick(panelButton(IDC_WEB_PAGE), Qt::LeftButton);
        qputenv("PATH", path);
        QVERIFY(video()->noticeText().startsWith(QStringLiteral("웹 페이지를 열 수 없습니다")));
    }

    // The about box has room for its whole title beside a title bar's icon and buttons.
    void aboutBoxHasRoomForItsWholeTitle() {
        CAboutDlg box(nullptr);
        const QFontMetrics m(box.font());
        QCOMPARE(box.windowTitle(), QStringLiteral("Vistrela Viewer 정보"));
        QVERIFY(box.width() >= m.horizontalAdvance(box.windowTitle()) + 6 * m.height());
    }

    void twoSaveRequestsBetweenFramesGiveOneFile() {
        start("Burst Cam@320x240");
        QVERIFY(waitFrames(2));
        // No event runs between the two requests, so no frame can come between them.
        dlg_->onCommand(IDC_SAVE_PICTURE);
        QTest::keyClick(dlg_.get(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!waitForPicture(0).isEmpty());
        QVERIFY(waitFrames(5));
        QCOMPARE(pictures().size(), 1);
        QCOMPARE(dlg_->stillCapture().pending(), StillRequest::None);

        // A later press is a picture of its own, never written over the first.
        dlg_->onCommand(IDC_SAVE_PICTURE);
        QVERIFY(!waitForPicture(1).isEmpty());
        QVERIFY(waitFrames(5));
        QCOMPARE(pictures().size(), 2);
        for (const QString& name : pictures())
            QCOMPARE(QImage(desktop() + "/" + name).size(), QSize(320, 240));
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

    // While a one-shot run waits for its picture the title says where it goes, also after the
    // title timer has run; the picture then goes there and the window closes.
    void oneShotTitleShowsWhileWaiting() {
        start("Shot Cam@320x240", "shot one.jpg");
        QVERIFY(waitFrames(2));
        QTRY_VERIFY_WITH_TIMEOUT(title().contains(QStringLiteral("fps:")), kWaitMs);
        QVERIFY2(title().endsWith(QStringLiteral("[저장후종료 shot one.jpg]")),
                 qPrintable(title()));
        QTest::keyClick(dlg_.get(), Qt::Key_S, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!dlg_->isVisible(), kWaitMs);
        QCOMPARE(dlg_->exitStatus(), 0);
        QCOMPARE(QImage(QString::fromStdString(home_->path("shot one.jpg"))).size(),
                 QSize(320, 240));
    }

    void cameraThatNeverStartsIsAFailedOpenNotALostCamera() {
        start("Cam!nostart@320x240");
        QTRY_VERIFY_WITH_TIMEOUT(title().contains("카메라를 열 수 없습니다"), kWaitMs);
        QVERIFY(!dlg_->cameraOpen());
        QVERIFY(dlg_->isVisible());
        QVERIFY(!title().contains(kLostText));
        QCOMPARE(dlg_->framesProcessed(), 0);
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
        ctx_->capture.SetSources({std::string("Other Cam@320x240"), std::nullopt});
        dlg_->onCommand(IDC_SAVE_PICTURE);
        dlg_->onCommand(IDC_ROTATE);
        QTest::qWait(2500);  // longer than one look for the camera
        QVERIFY(!dlg_->cameraOpen());
        QCOMPARE(ctx_->view.statusUntil, said);
        QCOMPARE(dlg_->framesProcessed(), framesBefore);
        QVERIFY(pictures().isEmpty());
        QVERIFY(prompts_.notices.empty());

        // Listed again: it opens by itself, frames flow and the waiting picture is taken.
        ctx_->capture.SetSources({(name + "@320x240").toStdString(), std::nullopt});
        QVERIFY(waitFrames(1));
        const QString taken = waitForPicture(0);
        QVERIFY(!taken.isEmpty());
        QCOMPARE(QImage(desktop() + "/" + taken).size(), QSize(240, 320));
        QVERIFY(prompts_.notices.empty());
    }

    // Two cameras of one model: the one that was lost comes back in another port, with
    // another device, listed after its twin; it is the one that opens again.
    void lostCameraFoundAgainByItsSerialNumberInAnotherPort() {
        start("Twin!stall@320x240@30@serial=TA,port=1-1;Twin!stall@320x240@30@serial=TB,port=1-2");
        QVERIFY(dlg_->cameraOpen());
        QCOMPARE(ctx_->capture.device()->serial(), std::string("TA"));
        QTRY_VERIFY_WITH_TIMEOUT(!dlg_->cameraOpen(), kWaitMs);

        ctx_->capture.SetSources(
            {"Twin!stall@320x240@30@serial=TB,port=1-2;Twin!stall@320x240@30@serial=TA,port=3-1",
             std::nullopt});
        QTRY_VERIFY_WITH_TIMEOUT(dlg_->cameraOpen(), kWaitMs);
        QCOMPARE(ctx_->capture.device()->serial(), std::string("TA"));
        QCOMPARE(ctx_->capture.device()->portPath(), std::string("3-1"));
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

    // The pen button's right click and second click open the ink palette; a swatch clicked there
    // is the ink in force and, with remembering on, is remembered.
    void inkPaletteFromThePenButton() {
        start("Ink Cam@320x240");
        QVERIFY(waitFrames(2));
        StoreRememberedChoices(ctx_->profile, RememberedChoices{});
        InkPalette* palette = dlg_->inkPalette();
        QTest::mouseClick(panelButton(IDC_PEN), Qt::RightButton);
        QTRY_VERIFY_WITH_TIMEOUT(palette->isVisible(), kWaitMs);
        QTest::mouseClick(palette, Qt::LeftButton, Qt::NoModifier,
                          palette->swatchOf(ink::kColourFirst + 2).center());
        QCOMPARE(dlg_->annotationTools().Style().colour, 2);
        QCOMPARE(LoadRememberedInk(ctx_->profile)->colour, 2);
        QTest::mouseClick(palette, Qt::LeftButton, Qt::NoModifier,
                          palette->swatchOf(ink::kHighlight).center());
        QCOMPARE(dlg_->pipelineState().drawMode, DrawMode::Highlight);
        QTest::keyClick(palette, Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!palette->isVisible(), kWaitMs);

        dlg_->onCommand(IDC_ERASER);
        QTest::mouseClick(panelButton(IDC_PEN), Qt::LeftButton);
        QCOMPARE(dlg_->pipelineState().drawMode, DrawMode::Highlight);
        QVERIFY(!palette->isVisible());
        QTest::mouseClick(panelButton(IDC_PEN), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(palette->isVisible(), kWaitMs);
        QTest::keyClick(palette, Qt::Key_Escape);
        ForgetRememberedChoices(ctx_->profile);
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
