// The recording's names and numbers, and the join through the real ffmpeg.

#include "recording/recording_plan.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <ctime>

#include "common/prompts.h"
#include "recording/leftover_recovery.h"
#include "recording/movie_join.h"
#include "settings/command_line.h"
#include "tests/core/temp_home.h"

namespace vistrela {
namespace {

std::string Tag(std::uint32_t code) {
    return std::string(reinterpret_cast<const char*>(&code), 4);
}

TEST(RecordingPlan, NamesFollowTheStampAndNeverTheTypedName) {
    std::tm t{};
    t.tm_year = 117;
    t.tm_mon = 0;
    t.tm_mday = 13;
    t.tm_hour = 10;
    t.tm_min = 11;
    t.tm_sec = 12;
    t.tm_isdst = -1;
    const std::string stamp = RecordingStamp(std::mktime(&t));
    EXPECT_EQ(stamp, "20170113_101112");
    const TemporaryFiles files = TemporaryFilesFor("/opt/viewer/", DefaultMovieName(stamp));
    EXPECT_EQ(files.moviePath, "/opt/viewer/tmp_Vistrela_20170113_101112.avi.avi");
    EXPECT_EQ(files.soundPath, "/opt/viewer/tmp_Vistrela_20170113_101112.avi.wav");
}

TEST(RecordingPlan, FrameRateCodecAndDueCount) {
    EXPECT_EQ(MovieFrameRate(12.6), 12u);
    EXPECT_EQ(MovieFrameRate(45.0), 30u);
    EXPECT_EQ(MovieFrameRate(29.98), 30u);
    EXPECT_EQ(MovieFrameRate(14.95), 15u);
    EXPECT_EQ(MovieFrameRate(1.0), 1u);
    EXPECT_EQ(MovieFrameRate(0.4), 1u);

    EXPECT_EQ(Tag(MovieCodecFor("/a/lesson.avi")), "XVID");
    EXPECT_EQ(Tag(MovieCodecFor("/a/lesson.MP4")), "H264");
    EXPECT_EQ(Tag(MovieCodecFor("/a/mp4")), "XVID");

    // On time: once. Early: skipped. A two-second stall at 10 fps: 6 writes, not 20.
    EXPECT_EQ(PicturesDue(0.0, 10, 0), 1);
    EXPECT_EQ(PicturesDue(0.35, 10, 3), 1);
    EXPECT_EQ(PicturesDue(0.35, 10, 4), 0);
    EXPECT_EQ(PicturesDue(2.35, 10, 4), 6);
}

TEST(RecordingPlan, LeftoversAreFoundByTheirStampAndBusyOnesSkipped) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString() + "/";
    const auto touch = [&](const std::string& name, int bytes) {
        QFile f(QString::fromStdString(folder + name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(bytes, 'x'));
    };
    touch("tmp_Vistrela_20250102_030405.avi.avi", 100);
    touch("tmp_Vistrela_20250102_030405.avi.wav", 100);
    touch("tmp_Vistrela_20240101_000000.avi.avi", 100);  // sound never written
    touch("tmp_Vistrela_20240101_000000.avi.wav", 0);
    touch("tmp_Vistrela_20260101_000000.avi.avi", 100);  // still recording here
    touch("tmp_Vistrela_nonsense.avi.avi", 100);
    touch("Vistrela_20250102_030405.avi", 100);

    const auto found =
        FindLeftoverRecordings(folder, {folder + "tmp_Vistrela_20260101_000000.avi.avi"});
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].stamp, "20240101_000000");
    EXPECT_EQ(found[0].soundPath, "");
    EXPECT_EQ(found[1].movieName, "Vistrela_20250102_030405.avi");
    EXPECT_EQ(found[1].soundPath, folder + "tmp_Vistrela_20250102_030405.avi.wav");
}

TEST(RecordingPlan, AutoRecordOption) {
    const CommandLine c = ParseCommandLine({"--auto-record", "5", "수업 녹화/lesson 1.mp4"});
    EXPECT_TRUE(c.error.empty()) << c.error;
    EXPECT_EQ(c.autoRecordSeconds, 5);
    EXPECT_EQ(c.autoRecordPath, "수업 녹화/lesson 1.mp4");
    EXPECT_EQ(c.oneShotCapture, 0);
    EXPECT_FALSE(c.overwrite) << "an existing movie is kept unless asked";
    EXPECT_TRUE(ParseCommandLine({"--auto-record", "5", "a.avi", "--overwrite"}).overwrite);
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"--auto-record"},
                                               {"--auto-record", "5"},
                                               {"--auto-record", "0", "a.avi"},
                                               {"--auto-record", "5", "a.mov"},
                                               {"--auto-record", "5", ".avi"}}) {
        const CommandLine b = ParseCommandLine(bad);
        EXPECT_FALSE(b.error.empty()) << bad.size();
        EXPECT_EQ(b.autoRecordSeconds, 0);
    }
}

TEST(RecordingPlan, ProgressLines) {
    EXPECT_EQ(JoinProgressPercent("out_time_us=5000000", 10.0), 50);
    EXPECT_EQ(JoinProgressPercent("out_time_ms=12000000", 10.0), 99);
    EXPECT_EQ(JoinProgressPercent("out_time_us=N/A", 10.0), -1);
    EXPECT_EQ(JoinProgressPercent("frame=12", 10.0), -1);
    EXPECT_EQ(JoinProgressPercent("progress=end", 10.0), 100);
}

// The join with the real ffmpeg: inputs made by ffmpeg's own test sources.
class MovieJoinTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "core_tests";
            static char* argv[] = {name, nullptr};
            static QCoreApplication app(argc, argv);
        }
        ASSERT_TRUE(dir_.isValid());
        // Blanks, quotes, a leading dash and Korean in every name.
        folder_ = dir_.path().toStdString() + "/수업 \"녹화\" 1/";
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder_)));
        picture_ = folder_ + "-tmp picture.avi";
        sound_ = folder_ + "tmp 'sound'.wav";
    }
    bool Make(const QStringList& args) {
        QProcess p;
        p.start("ffmpeg", QStringList{"-nostdin", "-y", "-loglevel", "error"} + args);
        return p.waitForFinished(60000) && p.exitCode() == 0;
    }
    bool MakeInputs() {
        return Make({"-f", "lavfi", "-i", "testsrc=size=320x240:rate=10:duration=2", "-c:v",
                     "mpeg4", "-vtag", "XVID", "-f", "avi",
                     "file:" + QString::fromStdString(picture_)}) &&
               Make({"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=22050:duration=2", "-ac",
                     "1", "-c:a", "pcm_s16le", "-f", "wav",
                     "file:" + QString::fromStdString(sound_)});
    }
    // Runs the join to its end; returns finished()'s arguments.
    std::pair<bool, QString> Join(const JoinJob& job) {
        MovieJoin join;
        QSignalSpy done(&join, &MovieJoin::finished);
        QSignalSpy progress(&join, &MovieJoin::progress);
        join.start(job);
        join.waitForEnd();
        EXPECT_EQ(done.count(), 1);
        if (done.count() != 1) return {false, {}};
        if (done.at(0).at(0).toBool()) {
            EXPECT_EQ(progress.last().at(0).toInt(), 100);
        }
        return {done.at(0).at(0).toBool(), done.at(0).at(1).toString()};
    }
    QString Probe(const std::string& path) {
        QProcess p;
        p.start("ffprobe", {"-v", "error", "-show_entries", "stream=codec_name", "-of", "csv=p=0",
                            "file:" + QString::fromStdString(path)});
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput()).simplified();
    }
    static bool Exists(const std::string& p) {
        return QFileInfo::exists(QString::fromStdString(p));
    }

    QTemporaryDir dir_;
    std::string folder_, picture_, sound_;
};

TEST_F(MovieJoinTest, JoinsIntoAviAndMp4AndRemovesTheInputsOnlyThen) {
    ASSERT_TRUE(MakeInputs());
    const std::string avi = folder_ + "lesson \"1\".avi";
    auto [ok, message] = Join({picture_, sound_, avi, 2.0});
    ASSERT_TRUE(ok) << message.toStdString();
    EXPECT_EQ(Probe(avi), "mpeg4 mp3");
    EXPECT_FALSE(Exists(picture_));
    EXPECT_FALSE(Exists(sound_));
    EXPECT_FALSE(Exists(avi + ".part"));

    // Picture only (no microphone), into an existing .mp4 that is replaced.
    ASSERT_TRUE(MakeInputs());
    const std::string mp4 = folder_ + "수업.mp4";
    QFile old(QString::fromStdString(mp4));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    std::tie(ok, message) = Join({picture_, "", mp4, 2.0});
    ASSERT_TRUE(ok) << message.toStdString();
    EXPECT_EQ(Probe(mp4), "mpeg4");
    EXPECT_FALSE(Exists(picture_));
    EXPECT_TRUE(Exists(sound_));  // not part of this join, so not touched
}

// Temporary recordings go to the user's cache folder, never the program's (shared by every run
// of a build); a pair whose lock is held is a live recording, never a leftover.
TEST(RecordingPlan, TemporaryFilesGoToTheCacheAndALockedPairIsLeftAlone) {
    test::TempHome home;
    const std::string folder = RecordingTempFolder();
    EXPECT_EQ(folder, home.home() + "/.cache/vistrela/");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folder)).isDir());

    const TemporaryFiles live = TemporaryFilesFor(folder, DefaultMovieName("20250101_101010"));
    const std::unique_ptr<QLockFile> lock = LockPair(live.moviePath);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(LockPair(live.moviePath), nullptr) << "one holder at a time";
    QFile file(QString::fromStdString(live.moviePath));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("a recording in progress");
    file.close();
    LeftoverRecovery recovery(StderrPrompts(), folder);
    EXPECT_EQ(recovery.Recover(home.desktop(), {}), 1);
    recovery.waitForEnd();
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(live.moviePath)));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(recovery.brokenFolder())));
}

TEST_F(MovieJoinTest, AFailedJoinKeepsItsInputsAndSaysWhere) {
    ASSERT_TRUE(MakeInputs());
    QFile broken(QString::fromStdString(picture_));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("not a movie");
    broken.close();
    const std::string movie = folder_ + "lesson.avi";
    const auto [ok, message] = Join({picture_, sound_, movie, 2.0});
    EXPECT_FALSE(ok);
    EXPECT_TRUE(Exists(picture_));
    EXPECT_TRUE(Exists(sound_));
    EXPECT_FALSE(Exists(movie));
    EXPECT_FALSE(Exists(movie + ".part"));
    EXPECT_TRUE(message.contains(QString::fromStdString(picture_))) << message.toStdString();
    EXPECT_TRUE(message.contains("ffmpeg: ")) << message.toStdString();
}

}  // namespace
}  // namespace vistrela
