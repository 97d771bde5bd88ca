#pragma once
// Helpers shared by the media tests: a frame receiver that records what arrives, and a wait
// that runs the Qt event loop until a condition holds.

#include <gst/gst.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "capture/media/frame_receiver.h"
#include "common/device_sources.h"

namespace vistrela::testing {

// Runs the event loop until `done` or `limitMs` passed; returns `done()`. The limit only keeps
// a broken pipeline from hanging the suite.
inline bool RunUntil(const std::function<bool()>& done, int limitMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// Runs every task already posted to the event loop (frame notifications, failure reports), and
// those they post in turn, without waiting for anything new.
inline void DrainPostedTasks() {
    for (int round = 0; round < 100; ++round) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// The GStreamer leaks tracer of this process (GST_TRACERS=leaks), or nullptr when it is not
// active. One reference, or none when nullptr.
inline GstTracer* LeaksTracer() {
    GstTracer* found = nullptr;
    GList* tracers = gst_tracing_get_active_tracers();
    for (GList* l = tracers; l != nullptr; l = l->next)
        if (found == nullptr && g_str_equal(G_OBJECT_TYPE_NAME(l->data), "GstLeaksTracer"))
            found = GST_TRACER(gst_object_ref(l->data));
    g_list_free_full(tracers, gst_object_unref);
    return found;
}

// The leaks tracer's "object-alive" lines, collected while `collecting`; every other log line
// goes on to GStreamer's own log function as before. Installed once: GStreamer never frees the
// list of log functions it replaces on each change.
struct TracerLines {
    std::mutex mutex;
    bool collecting = false;
    std::vector<std::string> lines;

    static TracerLines& installed() {
        static TracerLines* const self = [] {
            auto* lines = new TracerLines;  // lives as long as GStreamer's log
            lines->forward = gst_debug_remove_log_function(gst_debug_log_default) > 0;
            gst_debug_add_log_function(Log, lines, nullptr);
            return lines;
        }();
        return *self;
    }

private:
    bool forward = false;  // to gst_debug_log_default, which was installed before

    static void Log(GstDebugCategory* category, GstDebugLevel level, const gchar* file,
                    const gchar* function, gint line, GObject* object, GstDebugMessage* message,
                    gpointer data) {
        if (level == GST_LEVEL_TRACE &&
            g_str_equal(gst_debug_category_get_name(category), "GST_TRACER")) {
            const gchar* text = gst_debug_message_get(message);
            if (text != nullptr && g_str_has_prefix(text, "object-alive")) {
                auto* self = static_cast<TracerLines*>(data);
                std::lock_guard lock(self->mutex);
                if (self->collecting) self->lines.emplace_back(text);
                return;
            }
        }
        if (static_cast<TracerLines*>(data)->forward)
            gst_debug_log_default(category, level, file, function, line, object, message, nullptr);
    }
};

// Every GstObject and GstMiniObject alive now that GStreamer does not itself mark as kept for
// the life of the process, one "object-alive, type-name=..., description=..." line each.
// Asks the leaks tracer to log its live objects and collects the lines (the tracer's
// get-live-objects action hands out references it does not own, so it is not used).
inline std::vector<std::string> LiveGstObjects(GstTracer* tracer) {
    TracerLines& log = TracerLines::installed();
    {
        std::lock_guard lock(log.mutex);
        log.lines.clear();
        log.collecting = true;
    }
    gst_debug_set_threshold_for_name("GST_TRACER", GST_LEVEL_TRACE);
    g_signal_emit_by_name(tracer, "log-live-objects");
    gst_debug_unset_threshold_for_name("GST_TRACER");
    std::lock_guard lock(log.mutex);
    log.collecting = false;
    return std::move(log.lines);
}

// LiveGstObjects once nothing is left to settle: a streaming thread drops its last reference
// on its task just after the task was joined, and posted tasks may still hold a sample. Waits
// until none is alive (or the limit passed) and returns what is still alive.
inline std::vector<std::string> LiveGstObjectsWhenSettled(int limitMs = 10000) {
    GstTracer* tracer = LeaksTracer();
    if (tracer == nullptr) return {"the leaks tracer is not active: run with GST_TRACERS=leaks"};
    std::vector<std::string> live;
    RunUntil(
        [&] {
            live = LiveGstObjects(tracer);
            return live.empty();
        },
        limitMs);
    gst_object_unref(tracer);
    return live;
}

inline std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += "  " + line + "\n";
    return text;
}

struct Bgr {
    int b = 0, g = 0, r = 0;
};

struct RecordingReceiver : FrameReceiver {
    int frames = 0;
    int depth = 0;
    int maxDepth = 0;
    FrameView last{};
    std::vector<std::uint8_t> lastPixels;  // copy of the last frame, rows top first, packed
    std::vector<std::string> failures;
    bool copyPixels = true;
    std::function<void(const FrameView&)> onFrame;
    std::function<void(const std::string&)> onFailure;

    void frameReady(const FrameView& frame) override {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        ++frames;
        last = frame;
        if (copyPixels) copyLast(frame);
        if (onFrame) onFrame(frame);
        --depth;
    }
    void copyLast(const FrameView& frame) {
        lastPixels.resize(static_cast<std::size_t>(frame.width) * 3 * frame.height);
        for (int y = 0; y < frame.height; ++y)
            std::copy_n(frame.data + static_cast<std::size_t>(y) * frame.strideBytes,
                        frame.width * 3,
                        lastPixels.data() + static_cast<std::size_t>(y) * frame.width * 3);
    }
    void captureFailed(const std::string& reason) override {
        failures.push_back(reason);
        if (onFailure) onFailure(reason);
    }
    Bgr pixel(int x, int y) const {
        const std::uint8_t* p =
            lastPixels.data() + (static_cast<std::size_t>(y) * last.width + x) * 3;
        return {p[0], p[1], p[2]};
    }
};

// Devices of exactly the test cameras of `list`.
inline DeviceSources TestCameras(const std::string& list) {
    DeviceSources sources;
    sources.testCameras = list;
    return sources;
}

}  // namespace vistrela::testing
