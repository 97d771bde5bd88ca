#pragma once
// The hot pixel loops behind CxImage, kept apart so that their shape (tiling, reading only what
// is needed) can be tuned without touching the image class. Pixels are Format_RGB32 words;
// frames are 24-bit BGR rows. Callers guarantee the sizes; nothing here checks bounds.

#include <cstdint>
#include <vector>

namespace vistrela {

// A pixel without ink: black with the fourth byte at 0xff (what Create and Clear(0) write).
inline constexpr std::uint32_t kNoInk = 0xff000000u;

// As the source of a keyed mix, a pixel whose fourth byte has the top bit set replaces the one
// below it unless it is the key word `trans` (opaque ink); a pixel with that bit clear
// multiplies the one below it, channel by channel (the highlighter's ink, through which dark
// print stays dark).
constexpr bool IsOpaqueInk(std::uint32_t pixel, std::uint32_t trans = kNoInk) {
    return (pixel & 0x80000000u) != 0 && pixel != trans;
}
constexpr bool IsMultiplyInk(std::uint32_t pixel) {
    return (pixel & 0x80000000u) == 0;
}

// a x b / 255 per colour channel, rounded to nearest; the fourth byte 0xff.
constexpr std::uint32_t MultiplyPixels(std::uint32_t a, std::uint32_t b) {
    std::uint32_t out = kNoInk;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t t = ((a >> shift) & 0xffu) * ((b >> shift) & 0xffu) + 128u;
        out |= ((t + (t >> 8)) >> 8) << shift;
    }
    return out;
}

// dst (height x width, i.e. `height` pixels per row) = src (width x height) turned clockwise.
void TurnPixelsRight(const std::uint32_t* src, int width, int height, std::uint32_t* dst);
// The same turned counter-clockwise.
void TurnPixelsLeft(const std::uint32_t* src, int width, int height, std::uint32_t* dst);

// dst[x] = src[x] (fourth byte set) for x in [begin, end); when `keyed`, src[x] mixed over
// dst[x] by its kind of ink (IsOpaqueInk, IsMultiplyInk; `trans` the key word, 0xff000000 for
// black).
void MixRow(const std::uint32_t* src, std::uint32_t* dst, int begin, int end, bool keyed,
            std::uint32_t trans);

// How a 24-bit frame becomes the shown picture: rows optionally reversed, columns optionally
// reversed, then a turn by `quarterTurns` (0..3) clockwise.
struct FrameTransform {
    bool flipRows = false;
    bool mirror = false;
    int quarterTurns = 0;
};

// Column range [begin, end) of a row outside which an overlay row is all key colour.
struct PixelSpan {
    int begin = 0;
    int end = 0;
};

// An overlay of exactly the output's size, mixed in during the conversion as MixRow mixes when
// keyed (`trans` the key word); rows are read only inside their span.
struct MixLayer {
    const std::uint32_t* pixels = nullptr;
    const PixelSpan* spans = nullptr;
    std::uint32_t trans = 0;
};

// Which code runs the frame conversion: the widest vector code the processor has, or plain
// code. Both give the very same pixels (tests compare them).
enum class LoopCode { Best, Plain };

// Output rows [rowBegin, rowEnd) of ConvertFrame, for 0 and 2 quarter turns only, mixing
// `layer` into each row as it is written.
void ConvertFrameRows(const std::uint8_t* bgr, int width, int height, int strideBytes,
                      const FrameTransform& how, std::uint32_t* dst, int rowBegin, int rowEnd,
                      const MixLayer* layer = nullptr, LoopCode code = LoopCode::Best);

// Converts the frame (`width` x `height` pixels, rows `strideBytes` apart, top row first) into
// `dst`, whose size is width x height for 0 and 2 quarter turns and height x width otherwise,
// in a single pass over the frame, mixing `layer` when given (a quarter turn may mix it in a
// second pass that reads the overlay row by row). `scratch` is working memory kept by the
// caller between frames.
void ConvertFrame(const std::uint8_t* bgr, int width, int height, int strideBytes,
                  const FrameTransform& how, std::uint32_t* dst,
                  std::vector<std::uint32_t>& scratch, const MixLayer* layer = nullptr,
                  LoopCode code = LoopCode::Best);

}  // namespace vistrela
