#pragma once
// Small builders shared by the picture tests: BGR frames whose every pixel is distinct, so a
// wrong mapping shows as a wrong colour.

#include <cstdint>
#include <vector>

#include "viewer/frame.h"
#include "viewer/image.h"
#include "viewer/view_state.h"

namespace vistrela::test {

// The view of a w x h camera at the start: whole picture, no zoom, zoom limit 8.
inline ViewState View(int w, int h) {
    ViewState v;
    v.frameWidth = w;
    v.frameHeight = h;
    v.zoomSize = v.zoomMinSize = w;
    v.zoomSizeY = v.zoomMinSizeY = h;
    v.zoom = 1.0;
    v.zoomLimit = 8;
    return v;
}

// Colour of buffer pixel (x, y), y counted from the top row of the buffer.
inline Rgb SourceColour(int x, int y) {
    return Rgb{static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(y * 13 + 1),
               static_cast<std::uint8_t>(x * 3 + y * 5 + 2)};
}

struct TestFrame {
    std::vector<std::uint8_t> bytes;
    FrameView view;
};

// A top-row-first BGR frame with `padding` extra bytes at the end of every row.
inline TestFrame MakeFrame(int width, int height, int padding = 0) {
    TestFrame f;
    const int stride = width * 3 + padding;
    f.bytes.assign(static_cast<std::size_t>(stride) * height, 0xee);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = SourceColour(x, y);
            std::uint8_t* p = &f.bytes[static_cast<std::size_t>(y) * stride + x * 3];
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    }
    f.view = FrameView{f.bytes.data(), f.bytes.size(), width, height, stride};
    return f;
}

}  // namespace vistrela::test
