// Recording through the real panel buttons: a movie with sound from the record and stop
// buttons, the record button's refusals, a turn during the recording, and a close while
// recording that still makes the movie.

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>

#include "controls/ui/message_box_dialog.h"
#include "recording/leftover_files.h"
#include "recording/ui/recording_control.h"
#include "recording/wav_format.h"
#include "tests/ui/main_window_fixture.h"

using namespace vistrela;
using namespace vistrela::test;

class RecordingTest : public MainWindowFixture {
    Q_OBJECT

    RecordingControl& control() { return dlg_->recordingControl(); }
    bool shown(int id) { return panelButton(id) != nullptr && panelButton(id)->isVisible(); }
    // "codec_type,codec_name,width,height" per stream.
    static QString streams(const QString& movie) {
        QProcess p;
        p.start("ffprobe",
                {"-v", "error", "-show_entries", "stream=codec_type,codec_name,width,height", "-of",
                 "csv=p=0", "file:" + movie});
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    // The frame of `movie` 0.3 s before its end.
    QImage lastFrame(const QString& movie) {
        const QString png = QString::fromStdString(home_->path("last.png"));
        QProcess p;
        p.start("ffmpeg", {"-nostdin", "-v", "error", "-y", "-sseof", "-0.3", "-i", movie,
                           "-frames:v", "1", png});
        p.waitForFinished(60000);
        return QImage(png);
    }
    // Pixels of the pen marker's green in `image` (a movie's colours are approximate).
    static int markerPixels(const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                n += std::abs(qRed(c) - 95) < 30 && std::abs(qGreen(c) - 192) < 30 &&
                     std::abs(qBlue(c) - 82) < 30;
            }
        return n;
    }
    static bool black(QRgb c) { return qRed(c) < 40 && qGreen(c) < 40 && qBlue(c) < 40; }
    void record(const QString& movie) {
        prompts_.saveAnswer = movie.toStdString();
        QTest::mouseClick(panelButton(IDC_RECORD), Qt::LeftButton);
        QVERIFY(control().recording());
        QVERIFY(QTest::qWaitFor([&] { return control().framesWritten() >= 15; }, kWaitMs));
    }
    void stop() {
        QTest::mouseClick(panelButton(IDC_STOP), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return control().recordIdle(); }, 60000));
    }

    // Starts the camera and waits until its rate has been measured for a second.
    void startMeasured(const char* cameras) {
        start(cameras);
        dlg_->show();
        QVERIFY(waitFrames(3));
        QVERIFY(QTest::qWaitFor([&] { return dlg_->pipelineState().fps >= 1.0; }, kWaitMs));
    }

private slots:
    void initTestCase() {
        setUpCase();
        qputenv("VISTRELA_TEST_MICROPHONE", "sine:440");
    }
    void cleanupTestCase() { tearDownCase(); }
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void recordAndStopMakeAMovieWithSound() {
        startMeasured("USB Cam@320x240@30");
        const QString movie = desktop() + "/수업 \"녹화\" 1.avi";
        // Cancelled: nothing changes.
        QTest::mouseClick(panelButton(IDC_RECORD), Qt::LeftButton);
        QCOMPARE(prompts_.saveDialogs, 1);
        QVERIFY(control().recordIdle());

        prompts_.saveAnswer = movie.toStdString();
        QTest::mouseClick(panelButton(IDC_RECORD), Qt::LeftButton);
        QVERIFY(control().recording());
        QVERIFY(QTest::qWaitFor([&] { return shown(IDC_STOP) && !shown(IDC_RECORD); }, kWaitMs));
        QVERIFY(QTest::qWaitFor([&] { return title().contains("녹화중.. 00:0"); }, kWaitMs));
        const TemporaryFiles temp = control().temporaryFiles();
        // The first written picture makes the temporary movie.
        QVERIFY(QTest::qWaitFor(
            [&] { return QFileInfo::exists(QString::fromStdString(temp.moviePath)); }, kWaitMs));

        // A second start while recording does nothing (the record button is hidden; its
        // command is refused too).
        dlg_->onCommand(IDC_RECORD);
        QCOMPARE(prompts_.saveDialogs, 2);

        // A held picture is recorded as it stands, and the title says both.
        QTest::keyClick(dlg_.get(), Qt::Key_Space);
        QVERIFY(QTest::qWaitFor(
            [&] { return title().contains("녹화중") && title().endsWith("[정지]"); }, kWaitMs));
        QTest::keyClick(dlg_.get(), Qt::Key_Space);

        // A quarter turn: the movie keeps its size, the turned picture is fitted in.
        QTest::keyClick(dlg_.get(), Qt::Key_R);
        QVERIFY(QTest::qWaitFor([&] { return control().framesWritten() >= 45; }, kWaitMs));

        QTest::mouseClick(panelButton(IDC_STOP), Qt::LeftButton);
        QVERIFY(!control().recordIdle());
        CMessageBoxDialog* box = control().processingBox();
        QVERIFY(box != nullptr);
        QVERIFY(QTest::qWaitFor([&] { return control().recordIdle(); }, 60000));
        QVERIFY(QTest::qWaitFor([&] { return shown(IDC_RECORD) && !shown(IDC_STOP); }, kWaitMs));
        QVERIFY2(prompts_.notices.empty(),
                 prompts_.notices.empty() ? "" : prompts_.notices.front().c_str());
        const QString found = streams(movie);
        QVERIFY2(found.startsWith("mpeg4,video,320,240") && found.contains("mp3,audio"),
                 qPrintable(found));
        QVERIFY(!QFileInfo::exists(QString::fromStdString(temp.moviePath)));
        QVERIFY(!QFileInfo::exists(QString::fromStdString(temp.soundPath)));
    }

    // The record button's menu picks time-lapse for the next recording: one picture a second
    // into a 30 fps movie without sound although a microphone is there, the title counting the
    // pictures; the menu shows the mode in force when it opens again.
    void theRecordButtonsMenuRecordsATimeLapse() {
        startMeasured("USB Cam@320x240@30");
        auto chooseFromMenu = [&](const QString& text) -> bool {
            QTest::mouseClick(panelButton(IDC_RECORD), Qt::RightButton);
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) return false;
            for (QAction* action : menu->actions()) {
                if (!action->text().contains(text)) continue;
                const bool wasChecked = action->isChecked();
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                return !wasChecked && QApplication::activePopupWidget() == nullptr;
            }
            return false;
        };
        QVERIFY(chooseFromMenu("1초마다"));
        const QString movie = desktop() + "/plant.avi";
        prompts_.saveAnswer = movie.toStdString();
        QTest::mouseClick(panelButton(IDC_RECORD), Qt::LeftButton);
        QVERIFY(control().recording());
        QCOMPARE(control().movieFrameRate(), 30u);
        QVERIFY(
            QTest::qWaitFor([&] { return title().contains("저속 촬영 1초마다: 3장"); }, kWaitMs));
        QVERIFY2(title().contains("녹화중.. 00:0"), qPrintable(title()));
        stop();
        QCOMPARE(streams(movie), QString("mpeg4,video,320,240"));
        QVERIFY(!QFileInfo::exists(QString::fromStdString(control().temporaryFiles().soundPath)));
        // The choice stays until changed; normal recording is one entry away.
        QVERIFY(!chooseFromMenu("1초마다"));
        QVERIFY(QApplication::activePopupWidget() == nullptr);
        QVERIFY(chooseFromMenu("보통 녹화"));
        record(desktop() + "/lesson.avi");
        stop();
        QVERIFY(streams(desktop() + "/lesson.avi").contains("audio"));
    }

    // The save dialog's folder: one that is missing is made; one that cannot be written is
    // refused before anything starts, not found out at the stop.
    void theMoviesFolderIsCheckedAtTheStart() {
        startMeasured("USB Cam@320x240@30");
        QFile blocker(desktop() + "/notes.txt");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        prompts_.saveAnswer = (desktop() + "/notes.txt/lesson.avi").toStdString();
        QTest::mouseClick(panelButton(IDC_RECORD), Qt::LeftButton);
        QVERIFY(control().recordIdle());
        QCOMPARE(int(prompts_.notices.size()), 1);
        QVERIFY(QString::fromStdString(prompts_.notices[0]).contains("notes.txt"));
        record(desktop() + "/new folder/lesson.avi");
        stop();
        QVERIFY(QFileInfo(desktop() + "/new folder/lesson.avi").size() > 0);
    }

    void noMicrophoneStillMakesTheMovie() {
        qputenv("VISTRELA_TEST_MICROPHONE", "none");
        startMeasured("USB Cam@320x240@30");
        const QString movie = desktop() + "/silent.mp4";
        prompts_.saveAnswer = movie.toStdString();
        QTest::mouseClick(panelButton(IDC_RECORD), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return control().framesWritten() >= 15; }, kWaitMs));
        QTest::mouseClick(panelButton(IDC_STOP), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return control().recordIdle(); }, 60000));
        qputenv("VISTRELA_TEST_MICROPHONE", "sine:440");
        QCOMPARE(streams(movie), QString("h264,video,320,240"));
        // The missing microphone was said once, in Korean with the designed text as its
        // detail line, and the movie made all the same.
        QCOMPARE(int(prompts_.notices.size()), 1);
        QCOMPARE(QString::fromStdString(prompts_.notices.front()),
                 QString::fromUtf8(
                     "마이크를 찾지 못해 소리 없이 녹화합니다.\nNO Input Devices Found.."));
    }

    // What a crash leaves: a plain pair joins into the save folder; a pair with its sidecar
    // under the chosen name and format; a finished ".part" is only renamed; an empty picture
    // beside good sound gives a movie of the sound; a pair that yields nothing moves to
    // broken/ with one notice and is never tried again.
    void leftoversOfACrashAreJoinedIntoTheSaveFolder() {
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        const auto pair = [&](const char* stamp) {
            return temp.filePath(QString("tmp_Vistrela_%1.avi").arg(stamp));
        };
        const auto ffmpeg = [](const QStringList& args) {
            QProcess p;
            p.start("ffmpeg", QStringList{"-nostdin", "-loglevel", "error", "-y"} + args);
            return p.waitForFinished(60000) && p.exitCode() == 0;
        };
        const QStringList picture{
            "-f",   "lavfi", "-i",    "testsrc=size=160x120:rate=10:duration=1",
            "-c:v", "mpeg4", "-vtag", "XVID"};
        QVERIFY(ffmpeg(picture + QStringList{pair("20250102_030405") + ".avi"}));
        QVERIFY(ffmpeg(picture + QStringList{pair("20250102_030406") + ".avi"}));
        const QString chosen = desktop() + "/lesson/chosen.mp4";
        QVERIFY(WriteSidecar(pair("20250102_030406").toStdString() + ".avi",
                             Sidecar{chosen.toStdString(), false}));
        const QString finished = desktop() + "/finished.avi";
        QVERIFY(ffmpeg(picture + QStringList{"-f", "avi", finished + ".part"}));
        QVERIFY(WriteSidecar(pair("20250102_030407").toStdString() + ".avi",
                             Sidecar{finished.toStdString(), true}));
        {
            // A second of the recorder's own sound file, its sizes left at 0 by the crash.
            WavFileWriter wav;
            QCOMPARE(int(wav.Open((pair("20250102_030408") + ".wav").toStdString(), WavFormat{})),
                     int(WavStep::None));
            std::vector<std::int16_t> tone(22050);
            for (std::size_t i = 0; i < tone.size(); ++i)
                tone[i] = static_cast<std::int16_t>(8000 * std::sin(i * 0.125));
            QVERIFY(wav.Append(tone.data(), tone.size() * 2));
        }
        QFile(pair("20250102_030408") + ".avi").open(QIODevice::WriteOnly);  // 0 bytes
        const QString broken = pair("20240101_000000") + ".avi";
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("cut short");
        file.close();

        RecordingControl control(prompts_, temp.path().toStdString(), {});
        QCOMPARE(control.RecoverLeftovers(desktop().toStdString()), 5);
        QVERIFY(QTest::qWaitFor([&] { return !control.recovering(); }, 60000));
        QVERIFY(streams(desktop() + "/Vistrela_20250102_030405.avi").startsWith("mpeg4,video"));
        QVERIFY(streams(chosen).startsWith("mpeg4,video"));
        QVERIFY2(streams(finished).startsWith("mpeg4,video"), qPrintable(streams(finished)));
        QVERIFY(!QFileInfo::exists(finished + ".part"));
        QCOMPARE(streams(desktop() + "/Vistrela_20250102_030408.avi"), QString("mp3,audio"));
        QCOMPARE(QDir(temp.path()).entryList(QDir::Files), QStringList());
        QVERIFY(QFileInfo::exists(temp.filePath("broken/tmp_Vistrela_20240101_000000.avi.avi")));
        QCOMPARE(int(prompts_.notices.size()), 1);
        QVERIFY(QString::fromStdString(prompts_.notices[0]).contains("broken/"));
        // Never again.
        RecordingControl again(prompts_, temp.path().toStdString(), {});
        QCOMPARE(again.RecoverLeftovers(desktop().toStdString()), 0);
    }

    // The options dialog and another camera from the menu: the recording goes on, and ends with
    // the new camera's picture fitted into the movie's size (black bars above and below).
    void aCameraSwitchKeepsTheRecordingGoing() {
        startMeasured("Big@640x480@30;Wide@320x180@30");
        const QString movie = desktop() + "/switch.avi";
        record(movie);
        // The options dialog (Ctrl+,) stays open a while: the movie goes on meanwhile.
        std::int64_t whileOpen = -1;
        QTimer poll;
        poll.setInterval(20);
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* options = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (options == nullptr || !options->isVisible()) return;
            poll.stop();
            const std::int64_t opened = control().framesWritten();
            QTest::qWait(1000);
            whileOpen = control().framesWritten() - opened;
            options->reject();
        });
        poll.start();
        QTest::keyClick(dlg_.get(), Qt::Key_Comma, Qt::ControlModifier);
        QVERIFY(QTest::qWaitFor([&] { return whileOpen >= 0; }, kWaitMs));
        QVERIFY2(whileOpen >= 20, qPrintable(QString::number(whileOpen)));
        QVERIFY(control().recording());
        QVERIFY(waitFrames(5));
        CMenuXP* menu = popUpMenu();
        QVERIFY(menu != nullptr);
        CMenuXP* cameras = openCameraSubmenu(menu);
        QVERIFY(cameras != nullptr);
        QAction* wide = cameras->actions().value(1);
        QVERIFY(wide != nullptr && wide->text().contains("Wide"));
        QTest::mouseClick(cameras, Qt::LeftButton, Qt::NoModifier,
                          cameras->actionGeometry(wide).center());
        QVERIFY(QTest::qWaitFor([&] { return openCamera() == "Wide"; }, kWaitMs));
        QVERIFY(control().recording());
        const std::int64_t before = control().framesWritten();
        QVERIFY(waitFrames(20));
        QVERIFY(control().framesWritten() >= before + 15);
        QVERIFY(waitFrames(10));
        stop();
        QVERIFY2(prompts_.notices.empty(),
                 prompts_.notices.empty() ? "" : prompts_.notices.front().c_str());
        const QImage last = lastFrame(movie);
        QCOMPARE(last.size(), QSize(640, 480));
        QVERIFY(black(last.pixel(320, 10)) && black(last.pixel(320, 470)));
        QVERIFY(!black(last.pixel(40, 80)));  // a corner square of the new camera
    }

    // The movie and a saved picture hold the picture as shown (here zoomed in past the corner
    // squares), never the pen's pointer marker that the screen shows.
    void theZoomedPictureIsRecordedWithoutThePointerMarker() {
        startMeasured("USB Cam@640x480@30");
        QTest::mouseClick(panelButton(IDC_PEN), Qt::LeftButton);
        QTest::mouseMove(dlg_.get(), QPoint(video()->width() / 2, video()->height() / 2));
        QVERIFY(waitFrames(2));
        QVERIFY(markerPixels(dlg_->processedFrame().View()) > 500);  // on screen
        QTest::keyClick(dlg_.get(), Qt::Key_S, Qt::ControlModifier);
        const QString still = waitForPicture(0);
        QVERIFY(!still.isEmpty());
        QVERIFY(markerPixels(QImage(desktop() + "/" + still)) < 20);  // the box has ~800

        const QString movie = desktop() + "/zoomed.mp4";
        record(movie);
        QTest::keyClick(dlg_.get(), Qt::Key_Plus);
        QTest::keyClick(dlg_.get(), Qt::Key_Plus);
        QVERIFY(waitFrames(20));
        stop();
        const QImage last = lastFrame(movie);
        QCOMPARE(last.size(), QSize(640, 480));
        QVERIFY(markerPixels(last) < 20);
        // Zoomed in: the corner squares (60 pixels unzoomed) are mostly out of the picture.
        QVERIFY(black(last.pixel(40, 40)) && black(last.pixel(600, 440)));
    }

    void closingWhileRecordingMakesTheMovieFirst() {
        startMeasured("USB Cam@320x240@30");
        const QString movie = desktop() + "/closed.avi";
        prompts_.saveAnswer = movie.toStdString();
        QTest::mouseClick(panelButton(IDC_RECORD), Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([&] { return control().framesWritten() >= 15; }, kWaitMs));
        QTest::keyClick(dlg_.get(), Qt::Key_Escape);
        // The window waits for the join, then closes by itself.
        QVERIFY(dlg_->isVisible());
        QVERIFY(QTest::qWaitFor([&] { return !dlg_->isVisible(); }, 60000));
        QVERIFY(QFileInfo(movie).size() > 0);
        const QString found = streams(movie);
        QVERIFY2(found.startsWith("mpeg4,video,320,240"), qPrintable(found));
    }
};

QTEST_MAIN(RecordingTest)
#include "recording_test.moc"
