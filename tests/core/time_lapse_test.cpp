// Time-lapse: which pictures the recording clock takes, how many a timed run holds, the
// command line that asks for one and the title that reports it.

#include "recording/time_lapse.h"

#include <gtest/gtest.h>

#include "settings/command_line.h"
#include "viewer/title.h"

namespace vistrela {
namespace {

constexpr std::int64_t kMs = 1'000'000;
constexpr std::int64_t kEarly = 500 * kMs / 30;  // half a frame of a 30 fps camera

TEST(TimeLapse, PicturesFollowTheClockNotTheCameraFrames) {
    struct Row {
        std::int64_t elapsedNs;
        int interval;
        std::int64_t written;
        int due;
    };
    for (const Row& r : std::vector<Row>{
             {0, 2, 0, 1},                   // the first frame is picture 0
             {33 * kMs, 2, 1, 0},            // the camera's next frames are not taken
             {1'980 * kMs, 2, 1, 0},         // too early for picture 1
             {1'990 * kMs, 2, 1, 1},         // the frame nearest 2 s is taken
             {2'010 * kMs, 2, 1, 1},         // or the first one after it
             {2'043 * kMs, 2, 2, 0},         // once only
             {6'100 * kMs, 2, 2, 2},         // a stalled camera: picture 2 repeats, 3 is this one
             {60'000 * kMs, 60, 1, 1},       // the longest interval
             {3'598'000 * kMs, 2, 1799, 1},  // the last picture of an hour
             {-5 * kMs, 1, 0, 1},            // captured a moment before the start: picture 0
             {-50 * kMs, 1, 0, 0},           // long before it: nothing
             {5'000 * kMs, 0, 0, 0},         // no interval, no pictures
         }) {
        SCOPED_TRACE(testing::Message() << r.elapsedNs / kMs << " ms, every " << r.interval);
        EXPECT_EQ(TimeLapsePicturesDue(r.elapsedNs, r.interval, r.written, kEarly), r.due);
    }
}

TEST(TimeLapse, AnHourAtTwoSecondsIsAMinuteOfMovie) {
    EXPECT_EQ(TimeLapseFrameLimit(3600, 2), 1800);
    EXPECT_EQ(MovieSeconds(1800, kTimeLapseMovieFps), 60u);
    EXPECT_EQ(TimeLapseFrameLimit(20, 1), 20);
    EXPECT_EQ(TimeLapseFrameLimit(20, 3), 7);  // 0, 3, ..., 18
    EXPECT_EQ(TimeLapseFrameLimit(59, 60), 1);
    // Taking every frame the clock asks for over an hour (up to the last camera frame before
    // the hour's last picture would be due) at 30 fps gives exactly the limit.
    std::int64_t written = 0;
    for (std::int64_t t = 0; t < 3599'900 * kMs; t += 1000 * kMs / 30)
        written += TimeLapsePicturesDue(t, 2, written, kEarly);
    EXPECT_EQ(written, 1800);
}

TEST(TimeLapse, CommandLine) {
    EXPECT_EQ(
        ParseCommandLine({"--auto-record", "20", "f.avi", "--time-lapse", "1"}).timeLapseSeconds,
        1);
    EXPECT_EQ(
        ParseCommandLine({"--time-lapse", "60", "--auto-record", "9", "f.mp4"}).timeLapseSeconds,
        60);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--auto-record", "20", "f.avi", "--time-lapse"},
             {"--auto-record", "20", "f.avi", "--time-lapse", "0"},
             {"--auto-record", "20", "f.avi", "--time-lapse", "61"},
             {"--auto-record", "20", "f.avi", "--time-lapse", "2s"},
             {"--auto-record", "20", "f.avi", "--time-lapse", "-1"},
             {"--time-lapse", "2"},  // nothing to record
         }) {
        SCOPED_TRACE(args.back());
        const CommandLine c = ParseCommandLine(args);
        EXPECT_NE(c.error.find("--time-lapse"), std::string::npos);
        EXPECT_EQ(c.timeLapseSeconds, 0);
    }
    EXPECT_NE(CommandLineUsage().find("--time-lapse"), std::string::npos);
}

TEST(TimeLapse, TitleShowsTheClockAndTheMovieLength) {
    TitleInputs in{.recording = true, .recordingSeconds = 3599};
    const std::string normal = ComposeTitle(in);
    in.timeLapseSeconds = 2;
    in.timeLapseFrames = 1800;
    in.movieSeconds = 60;
    EXPECT_EQ(ComposeTitle(in), normal + " [저속 촬영 2초마다: 1800장, 동영상 01:00]");
    EXPECT_NE(normal.find("[녹화중.. 59:59]"), std::string::npos);
}

}  // namespace
}  // namespace vistrela
