// The live text of the text window drawn on a 1080p frame, as the frame handler does on every
// frame while the window is open (target: under 0.5 ms).
//
//   build/vistrela-bench --benchmark_filter='AnnotationText'

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include "annotation/annotation_text.h"
#include "annotation/overlay.h"
#include "viewer/view_state.h"

namespace {

using namespace vistrela;

void AnnotationText_Live1080p(benchmark::State& bench) {
    // Text drawing needs the fonts of a GUI application.
    static int argc = 1;
    static char name[] = "vistrela-bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication* app =
        QGuiApplication::instance() != nullptr ? nullptr : new QGuiApplication(argc, argv);
    (void)app;

    ViewState view;
    view.frameWidth = 1920;
    view.frameHeight = 1080;
    view.zoomSize = view.zoomMinSize = 1920;
    view.zoomSizeY = view.zoomMinSizeY = 1080;
    view.zoom = 1.0;
    const FrameGeometry geometry = ComputeGeometry(view, VideoArea{1920, 1080});
    CxImage frame;
    frame.Create(1920, 1080);
    PipelineState state;
    state.drawMode = DRAW_SHOW;
    const TextAnnotation text{"분수의 덧셈: 1/2 + 1/3 = 5/6", QPoint(200, 300)};
    for (auto _ : bench) {
        DrawAnnotationText(frame, state, geometry, text);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(AnnotationText_Live1080p)->Unit(benchmark::kMicrosecond);

}  // namespace
