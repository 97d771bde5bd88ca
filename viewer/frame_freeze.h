#pragma once
// Freezing the picture: one camera picture is held while the user writes on it. While frozen
// the frame handler still runs for every camera frame (so the frame rate stays the camera's),
// but it processes the held picture instead of the new one; pen, eraser, text, zoom, pan,
// turns and saved pictures all work on it. The held picture is copied once, from the first
// frame after the freeze was asked for; nothing is copied per frame. UI thread only.

#include <cstdint>
#include <vector>

#include "viewer/frame.h"

namespace vistrela {

class FrameFreeze {
public:
    // Space: freezes (the next frame is held) or returns to the live picture.
    void Toggle();
    // Back to the live picture, the held one dropped (another camera opens).
    void Release();
    // Frozen, or a freeze waiting for its frame.
    bool Frozen() const { return state_ != State::Live; }

    // The frame to process instead of `live`: `live` itself, or the held picture. A pending
    // freeze takes its copy of `live` here. An incomplete live frame is never held.
    FrameView Select(const FrameView& live);

private:
    enum class State { Live, Pending, Held };
    State state_ = State::Live;
    std::vector<std::uint8_t> held_;
    FrameView heldView_;
};

}  // namespace vistrela
