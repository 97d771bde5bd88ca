#pragma once
// Helpers shared by the media tests: a frame receiver that records what arrives, and a wait
// that runs the Qt event loop until a condition holds.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "capture/media/frame_receiver.h"

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

inline void UseTestCameras(const char* list) {
    setenv("VISTRELA_TEST_CAMERAS", list, 1);
}

}  // namespace vistrela::testing
