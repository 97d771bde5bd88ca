// The join of a 10-minute 1080p recording: the picture is copied, only the sound is encoded, so
// it should take seconds, not minutes. The inputs (a 1080p MPEG-4 picture file as the movie
// writer makes it and a 22050 Hz mono sound file) are made once by ffmpeg before timing.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include "recording/movie_join.h"

namespace vistrela {
namespace {

constexpr int kSeconds = 600;

bool Ffmpeg(const QStringList& args) {
    QProcess p;
    p.start("ffmpeg", QStringList{"-nostdin", "-y", "-loglevel", "error"} + args);
    return p.waitForFinished(-1) && p.exitCode() == 0;
}

void BM_Join10Minutes1080p(benchmark::State& state) {
    int argc = 1;
    char name[] = "bench";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString picture = dir.filePath("picture.avi");
    const QString sound = dir.filePath("sound.wav");
    const QString duration = QString::number(kSeconds);
    // A still page with a moving bar: mostly skipped blocks, as a document camera gives.
    if (!Ffmpeg({"-f", "lavfi", "-i",
                 "testsrc2=size=1920x1080:rate=30:duration=" + duration + ",format=yuv420p", "-c:v",
                 "mpeg4", "-q:v", "4", "-g", "30", "-vtag", "XVID", picture}) ||
        !Ffmpeg({"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=22050:duration=" + duration,
                 "-ac", "1", "-c:a", "pcm_s16le", sound})) {
        state.SkipWithError("ffmpeg could not make the inputs");
        return;
    }
    const QString kept = dir.filePath("kept.avi");
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(kept);
        QFile::copy(picture, kept);  // the join removes its inputs
        QFile::copy(sound, kept + ".wav");
        state.ResumeTiming();
        MovieJoin join;
        bool ok = false;
        QObject::connect(&join, &MovieJoin::finished,
                         [&](bool done, const QString&) { ok = done; });
        join.start({kept.toStdString(), (kept + ".wav").toStdString(),
                    dir.filePath("movie.avi").toStdString(), double(kSeconds)});
        join.waitForEnd();
        if (!ok) state.SkipWithError("the join failed");
    }
    state.counters["recording_s"] = kSeconds;
}
BENCHMARK(BM_Join10Minutes1080p)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace vistrela
