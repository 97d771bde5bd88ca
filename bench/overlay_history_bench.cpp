// Undo and redo of the drawing overlay on a 1080p picture.
//
//   build/vistrela-bench --benchmark_filter='Overlay'
//
// A "circle" is the typical annotation: a ring of 40 pen segments, 300 pixels across, drawn
// around something on the picture. A "sweep" is a long stroke across most of the picture.
// Counters: history_KiB is the memory the history keeps for 50 such strokes (the working
// copy of the overlay, working_KiB, is counted apart).

#include <benchmark/benchmark.h>

#include <QPoint>
#include <cmath>
#include <vector>

#include "annotation/annotation_tools.h"
#include "viewer/view_controls.h"

namespace {

using namespace vistrela;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct Desk {
    ViewState view;
    PipelineState state;
    VideoArea area{kWidth, kHeight};
    AnnotationTools tools;

    Desk() {
        view.frameWidth = kWidth;
        view.frameHeight = kHeight;
        view.zoomSize = view.zoomMinSize = kWidth;
        view.zoomSizeY = view.zoomMinSizeY = kHeight;
        view.zoom = 1.0;
        tools.NewOverlay(view, state);
    }

    void Stroke(const std::vector<QPoint>& points) {
        tools.Press(view, state, area, points[0].x(), points[0].y());
        for (std::size_t i = 1; i < points.size(); ++i)
            tools.Move(view, state, area, points[i].x(), points[i].y(), true);
        tools.Release(view, state);
    }
};

std::vector<QPoint> Circle(int cx, int cy) {
    std::vector<QPoint> points;
    for (int i = 0; i <= 40; ++i) {
        const double a = i * 2.0 * M_PI / 40;
        points.emplace_back(cx + static_cast<int>(150 * std::cos(a)),
                            cy + static_cast<int>(150 * std::sin(a)));
    }
    return points;
}

std::vector<QPoint> Sweep() {
    std::vector<QPoint> points;
    for (int i = 0; i <= 60; ++i)
        points.emplace_back(100 + i * 28, 150 + static_cast<int>(350 * std::sin(i * 0.15)) + 300);
    return points;
}

// Fifty circles spread over the picture, as a lesson's worth of marks.
void FiftyCircles(Desk& d) {
    for (int i = 0; i < 50; ++i) d.Stroke(Circle(200 + (i * 373) % 1500, 200 + (i * 211) % 680));
}

void OverlayUndoRedo(benchmark::State& st, bool sweep) {
    Desk d;
    FiftyCircles(d);
    d.Stroke(sweep ? Sweep() : Circle(900, 500));
    for (auto _ : st) {
        d.tools.Undo(d.view, d.state);
        d.tools.Redo(d.view, d.state);
        benchmark::ClobberMemory();
    }
    st.counters["ops"] = benchmark::Counter(
        2.0 * st.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    st.counters["history_KiB"] = d.tools.History().ByteCount() / 1024.0;
    st.counters["working_KiB"] = d.tools.History().WorkingBytes() / 1024.0;
}

// Each call finds the step recorded half a turn away and turns its pixels first: the cost
// of the first undo after a turn.
void OverlayUndoRedoHalfTurned(benchmark::State& st) {
    Desk d;
    d.Stroke(Circle(900, 500));
    OverlayHistory history = d.tools.History();
    int turns = 0;
    for (auto _ : st) {
        turns = (turns + 2) % 4;
        history.Undo(d.state.overlayImage, turns);
        turns = (turns + 2) % 4;
        history.Redo(d.state.overlayImage, turns);
        benchmark::ClobberMemory();
    }
    st.counters["ops"] = benchmark::Counter(
        2.0 * st.iterations(), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// Drawing one circle as a recorded step (its rows saved, compared and coded), then taking it
// back.
void OverlayStrokeAndUndo(benchmark::State& st) {
    Desk d;
    FiftyCircles(d);
    const std::vector<QPoint> circle = Circle(900, 500);
    for (auto _ : st) {
        d.Stroke(circle);
        d.tools.Undo(d.view, d.state);
        benchmark::ClobberMemory();
    }
}

// INIT over fifty circles, and its undo.
void OverlayClearAndUndo(benchmark::State& st) {
    Desk d;
    FiftyCircles(d);
    for (auto _ : st) {
        d.tools.Reset(d.view, d.state);
        d.tools.Undo(d.view, d.state);
        benchmark::ClobberMemory();
    }
}

BENCHMARK_CAPTURE(OverlayUndoRedo, circle_1080p, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(OverlayUndoRedo, sweep_1080p, true)->Unit(benchmark::kMicrosecond);
BENCHMARK(OverlayUndoRedoHalfTurned)->Unit(benchmark::kMicrosecond);
BENCHMARK(OverlayStrokeAndUndo)->Unit(benchmark::kMicrosecond);
BENCHMARK(OverlayClearAndUndo)->Unit(benchmark::kMicrosecond);

}  // namespace
