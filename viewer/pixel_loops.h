#pragma once
// The hot pixel loops behind CxImage, kept apart so that their shape (tiling, reading only what
// is needed) can be tuned without touching the image class. Pixels are Format_RGB32 words;
// frames are 24-bit BGR rows. Callers guarantee the sizes; nothing here checks bounds.

#include <cstdint>

namespace vistrela {

// dst (height x width, i.e. `height` pixels per row) = src (width x height) turned clockwise.
void TurnPixelsRight(const std::uint32_t* src, int width, int height, std::uint32_t* dst);
// The same turned counter-clockwise.
void TurnPixelsLeft(const std::uint32_t* src, int width, int height, std::uint32_t* dst);

// dst[x] = src[x] for x in [begin, end), skipping source pixels whose RGB equals `trans` when
// `keyed`.
void MixRow(const std::uint32_t* src, std::uint32_t* dst, int begin, int end, bool keyed,
            std::uint32_t trans);

// How a 24-bit frame becomes the shown picture: rows optionally reversed, columns optionally
// reversed, then a turn by `quarterTurns` (0..3) clockwise.
struct FrameTransform {
    bool flipRows = false;
    bool mirror = false;
    int quarterTurns = 0;
};

// Converts the frame (`width` x `height` pixels, rows `strideBytes` apart, top row first) into
// `dst`, whose size is width x height for 0 and 2 quarter turns and height x width otherwise,
// in a single pass over the pixels.
void ConvertFrame(const std::uint8_t* bgr, int width, int height, int strideBytes,
                  const FrameTransform& how, std::uint32_t* dst);

}  // namespace vistrela
