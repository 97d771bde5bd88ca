// Recording through the real panel buttons: a movie with sound from the record and stop
// buttons, the record button's refusals, a turn during the recording, and a close while
// recording that still makes the movie.

#include <QProcess>
#include <QTemporaryDir>

#include "controls/ui/message_box_dialog.h"
#include "recording/ui/recording_control.h"
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
        // The missing microphone was said, the movie made all the same.
        QVERIFY(!prompts_.notices.empty());
        QCOMPARE(QString::fromStdString(prompts_.notices.front()),
                 QString("NO Input Devices Found.."));
    }

    void leftoversOfACrashAreJoinedIntoTheSaveFolder() {
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        const QString good = temp.filePath("tmp_Vistrela_20250102_030405.avi");
        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-nostdin", "-loglevel", "error", "-f", "lavfi", "-i",
                                "testsrc=size=160x120:rate=10:duration=1", "-c:v", "mpeg4", "-vtag",
                                "XVID", good + ".avi"});
        QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
        // A pair the join cannot read stays where it is and is reported.
        const QString broken = temp.filePath("tmp_Vistrela_20240101_000000.avi.avi");
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("cut short");
        file.close();

        RecordingControl control(prompts_, temp.path().toStdString());
        QCOMPARE(control.RecoverLeftovers(desktop().toStdString()), 2);
        QVERIFY(QTest::qWaitFor([&] { return !control.recovering(); }, 60000));
        QVERIFY(QFileInfo(desktop() + "/Vistrela_20250102_030405.avi").size() > 0);
        QVERIFY(!QFileInfo::exists(good + ".avi"));
        QVERIFY(QFileInfo::exists(broken));
        QCOMPARE(int(prompts_.notices.size()), 1);
        QVERIFY(QString::fromStdString(prompts_.notices[0]).contains(broken));
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
