#pragma once
// CxImage: the one picture type of the program (camera frames, the drawing overlay, saved
// pictures, button images).
//
// Storage: 32 bits per pixel in Qt's Format_RGB32 layout (0xffRRGGBB in native endianness,
// that is bytes B, G, R, 0xff), rows stored top row first, `width` pixels apart. Every write
// keeps the fourth byte at 0xff so that `View()` can be painted as it stands.
//
// Coordinates follow the rules every caller relies on: x counts columns from the left;
// `DrawLine` and `MixFrom` count rows from the BOTTOM, `DrawString` from the TOP; a quarter
// turn turns the picture to the right (clockwise).
//
// Every operation on an image without pixels does nothing. Buffers are reused: building an
// image of the same pixel count again does not allocate.
//
// Ink spans: for each row the image keeps a column range outside which every pixel is
// certainly black. Drawing widens it; `Clear(0)` and `Create` empty it. `MixFrom` reads the
// source only inside those ranges, so mixing a mostly empty overlay costs little.
//
// Not thread-safe; the program uses every image on the user-interface thread only.

#include <QImage>
#include <QString>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "viewer/frame.h"
#include "viewer/pixel_loops.h"

namespace vistrela {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    constexpr std::uint32_t pixel() const {
        return 0xff000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | b;
    }
};

inline constexpr std::uint32_t kRgbMask = 0x00ffffffu;
// Memory for picture-sized pixel buffers. Large buffers are placed on 2 MiB boundaries and
// offered to the kernel for huge pages: a quarter turn writes down the columns of the
// picture, touching a different 4 KiB page for every pixel, which would otherwise spend most
// of its time in page-table walks.
struct PixelMemory {
    static std::uint32_t* Allocate(std::size_t count);
    static void Release(std::uint32_t* p, std::size_t count) noexcept;
};
template <typename T>
struct PixelAllocator {
    static_assert(std::is_same_v<T, std::uint32_t>);
    using value_type = T;
    PixelAllocator() = default;
    template <typename U>
    PixelAllocator(const PixelAllocator<U>&) {}
    T* allocate(std::size_t n) { return PixelMemory::Allocate(n); }
    void deallocate(T* p, std::size_t n) noexcept { PixelMemory::Release(p, n); }
    bool operator==(const PixelAllocator&) const = default;
};
using PixelBuffer = std::vector<std::uint32_t, PixelAllocator<std::uint32_t>>;

class CxImage {
public:
    CxImage() = default;

    bool IsValid() const { return width_ > 0 && height_ > 0; }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }

    // A black image of the given size. Non-positive sizes leave an image without pixels.
    void Create(int width, int height);

    // A copy of a raw 24-bit BGR buffer whose first row is the picture's top row, rows
    // `strideBytes` apart. With `flipRows` the buffer's rows are taken in reverse order.
    // The buffer must hold (height - 1) * strideBytes + width * 3 bytes.
    void CreateFromArray(const std::uint8_t* bgr, int width, int height, int strideBytes,
                         bool flipRows);

    // The per-frame build in one pass: the same result as CreateFromArray(flipRows), then
    // Mirror() when `mirror`, then Rotate(rotationDegrees), then MixFrom(*mixSource) when
    // `mixSource` is given (mixed row by row while the rows are still cached). Returns false
    // (image unchanged) when the frame is incomplete or the rotation is not a multiple of 90.
    bool CreateFromFrame(const FrameView& frame, bool flipRows, bool mirror, int rotationDegrees,
                         const CxImage* mixSource = nullptr);

    void Mirror();  // left-right
    void Flip();    // top-bottom
    // Turns the picture by a multiple of 90 degrees, clockwise; a quarter turn swaps width and
    // height. Other angles leave the image unchanged.
    void Rotate(int degrees);

    // Pixels of this colour (RGB compared, the fourth byte ignored) are transparent when the
    // image is the source of MixFrom.
    void SetTransColor(Rgb colour);
    void ClearTransColor() { hasTrans_ = false; }
    bool HasTransColor() const { return hasTrans_; }

    // Each pixel of this image takes the source pixel at the same column and row (rows counted
    // from the bottom) unless that pixel has the source's transparent colour. Images of
    // different sizes mix over their common part.
    void MixFrom(const CxImage& source);

    // A one-pixel straight line between (startX, startY) and (endX, endY), both ends included,
    // rows counted from the bottom. Pixels outside the image are skipped.
    void DrawLine(int startX, int endX, int startY, int endY, Rgb colour);
    // The same with a raw pixel word, fourth byte included (the overlay keeps the kind of its
    // ink there, annotation/overlay.h). With `overInk` false, pixels holding opaque ink
    // (IsOpaqueInk) are left as they are.
    void DrawLineRaw(int startX, int endX, int startY, int endY, std::uint32_t pixel,
                     bool overInk = true);
    // The same line laid over the picture, `colour` with opacity alpha256 / 256 (0..256).
    void BlendLine(int startX, int endX, int startY, int endY, Rgb colour, int alpha256);

    // Text with the top-left corner of its line at (x, y), rows counted from the top, through
    // QPainter over the same pixels. `face` falls back to an installed family ("Arial" to
    // "Liberation Sans", "굴림" to "NanumGothic", Korean glyphs to NanumGothic); `sizePx` is
    // the pixel height of the font, `weight` 100..900. Needs a QGuiApplication. On an image
    // with a transparent colour the text is drawn without anti-aliasing, so no dark fringe of
    // almost-transparent pixels appears around it when mixed.
    void DrawString(int x, int y, const std::string& utf8Text, Rgb colour, const char* face,
                    int sizePx, int weight);

    // Sets the three colour bytes of every pixel to `value`.
    void Clear(std::uint8_t value = 0);

    // Releases the pixels.
    void Destroy();

    // A QImage over these pixels, no copy, valid until the image is next changed in size or
    // destroyed. Null for an image without pixels.
    QImage View() const;

    // Row `rowFromTop` (0 = top), `GetWidth()` pixels.
    const std::uint32_t* ScanLine(int rowFromTop) const {
        return pixels_.data() + static_cast<std::size_t>(rowFromTop) * width_;
    }
    // Writable row; its ink span becomes the whole row.
    std::uint32_t* MutableScanLine(int rowFromTop);
    // Pixel at column x, row y counted from the top; 0 outside.
    std::uint32_t PixelAt(int x, int yFromTop) const;

    // JPEG file at `quality` (clamped to 1..99) in the image's present orientation.
    bool Save(const QString& path, int quality) const;
    // Decodes a PNG (or any format Qt reads) from a file or a Qt resource path (":/...").
    // Transparent parts are laid over black. False leaves the image unchanged.
    bool Load(const QString& path);

    // Column range [begin, end) of row `rowFromTop` outside which every pixel is black.
    using Span = PixelSpan;
    Span InkSpan(int rowFromTop) const { return ink_[static_cast<std::size_t>(rowFromTop)]; }

private:
    void Resize(int width, int height);
    void SetAllInk();
    void SetNoInk();
    void RecomputeInk();
    void AddInk(int rowFromTop, int begin, int end);
    // Calls put(pixel, rowFromTop, column) for each pixel of the one-pixel line from (x0, y0)
    // to (x1, y1) (rows from the bottom) that lies inside the image.
    template <typename Put>
    void ForLine(std::int64_t x0, std::int64_t x1, std::int64_t y0, std::int64_t y1, Put put);
    // MixFrom restricted to rows [rowBegin, rowEnd) of this image (counted from the top).
    void MixRows(const CxImage& source, int rowBegin, int rowEnd);

    int width_ = 0;
    int height_ = 0;
    PixelBuffer pixels_;
    std::vector<Span> ink_;
    PixelBuffer scratch_;              // reused by Rotate
    std::vector<std::uint32_t> band_;  // reused by the turned build
    bool hasTrans_ = false;
    std::uint32_t trans_ = 0;
};

}  // namespace vistrela
