#pragma once
// One camera frame as the capture layer hands it to the frame pipeline: 24-bit BGR
// (blue, green, red per pixel), rows top row first, `strideBytes` apart (at least width * 3).
// The bytes belong to the capture layer and are valid only for the length of the call that
// receives the view; nothing may keep the pointer.

#include <cstddef>
#include <cstdint>

namespace vistrela {

struct FrameView {
    const std::uint8_t* data = nullptr;
    std::size_t lengthBytes = 0;
    int width = 0;
    int height = 0;
    int strideBytes = 0;
    // When the camera captured it: steady-clock nanoseconds since the clock's epoch, from the
    // buffer's time stamp; 0 when unknown.
    std::int64_t captureNs = 0;

    // True when the buffer really holds height rows of width pixels at this stride.
    bool complete() const {
        if (data == nullptr || width <= 0 || height <= 0 || strideBytes < width * 3) return false;
        const std::size_t needed =
            static_cast<std::size_t>(strideBytes) * static_cast<std::size_t>(height - 1) +
            static_cast<std::size_t>(width) * 3;
        return lengthBytes >= needed;
    }
};

}  // namespace vistrela
