#include "viewer/image.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "viewer/pixel_loops.h"

namespace vistrela {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kHugeFrom = std::size_t{4} << 20;  // bytes; smaller buffers stay plain
}  // namespace

std::uint32_t* PixelMemory::Allocate(std::size_t count) {
    const std::size_t bytes = count * sizeof(std::uint32_t);
    if (bytes < kHugeFrom) return static_cast<std::uint32_t*>(::operator new(bytes));
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* p = std::aligned_alloc(kHugePage, rounded);
    if (p == nullptr) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    madvise(p, rounded, MADV_HUGEPAGE);  // a hint; without huge pages all still works
#endif
    return static_cast<std::uint32_t*>(p);
}

void PixelMemory::Release(std::uint32_t* p, std::size_t count) noexcept {
    if (count * sizeof(std::uint32_t) < kHugeFrom) {
        ::operator delete(p);
    } else {
        std::free(p);
    }
}

void CxImage::Resize(int width, int height) {
    if (width <= 0 || height <= 0) {
        Destroy();
        return;
    }
    width_ = width;
    height_ = height;
    // resize() keeps the capacity, so a frame of the same pixel count never allocates.
    pixels_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    ink_.resize(static_cast<std::size_t>(height));
}

void CxImage::SetAllInk() {
    std::fill(ink_.begin(), ink_.end(), Span{0, width_});
}

void CxImage::SetNoInk() {
    std::fill(ink_.begin(), ink_.end(), Span{0, 0});
}

void CxImage::AddInk(int rowFromTop, int begin, int end) {
    Span& s = ink_[static_cast<std::size_t>(rowFromTop)];
    if (s.begin >= s.end) {
        s = {begin, end};
    } else {
        s.begin = std::min(s.begin, begin);
        s.end = std::max(s.end, end);
    }
}

void CxImage::RecomputeInk() {
    for (int y = 0; y < height_; ++y) {
        const std::uint32_t* row = ScanLine(y);
        int begin = 0;
        while (begin < width_ && row[begin] == kNoInk) ++begin;
        int end = width_;
        while (end > begin && row[end - 1] == kNoInk) --end;
        ink_[static_cast<std::size_t>(y)] = begin < end ? Span{begin, end} : Span{0, 0};
    }
}

void CxImage::Create(int width, int height) {
    Resize(width, height);
    if (!IsValid()) return;
    std::fill(pixels_.begin(), pixels_.end(), 0xff000000u);
    SetNoInk();
}

void CxImage::Destroy() {
    width_ = 0;
    height_ = 0;
    pixels_.clear();
    ink_.clear();
}

void CxImage::Clear(std::uint8_t value) {
    if (!IsValid()) return;
    const std::uint32_t v = 0xff000000u | (std::uint32_t{value} * 0x010101u);
    std::fill(pixels_.begin(), pixels_.end(), v);
    if (value == 0) {
        SetNoInk();
    } else {
        SetAllInk();
    }
}

std::uint32_t* CxImage::MutableScanLine(int rowFromTop) {
    ink_[static_cast<std::size_t>(rowFromTop)] = {0, width_};
    return pixels_.data() + static_cast<std::size_t>(rowFromTop) * width_;
}

std::uint32_t CxImage::PixelAt(int x, int yFromTop) const {
    if (x < 0 || yFromTop < 0 || x >= width_ || yFromTop >= height_) return 0;
    return ScanLine(yFromTop)[x];
}

void CxImage::Mirror() {
    if (!IsValid()) return;
    for (int y = 0; y < height_; ++y) {
        std::uint32_t* row = pixels_.data() + static_cast<std::size_t>(y) * width_;
        std::reverse(row, row + width_);
        Span& s = ink_[static_cast<std::size_t>(y)];
        if (s.begin < s.end) s = {width_ - s.end, width_ - s.begin};
    }
}

void CxImage::Flip() {
    if (!IsValid()) return;
    for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(pixels_.begin() + static_cast<std::ptrdiff_t>(top) * width_,
                         pixels_.begin() + static_cast<std::ptrdiff_t>(top + 1) * width_,
                         pixels_.begin() + static_cast<std::ptrdiff_t>(bottom) * width_);
    }
    std::reverse(ink_.begin(), ink_.end());
}

void CxImage::Rotate(int degrees) {
    if (!IsValid() || degrees % 90 != 0) return;
    const int turns = ((degrees / 90) % 4 + 4) % 4;
    if (turns == 0) return;
    if (turns == 2) {
        Flip();
        Mirror();
        return;
    }
    scratch_.resize(pixels_.size());
    if (turns == 1) {
        TurnPixelsRight(pixels_.data(), width_, height_, scratch_.data());
    } else {
        TurnPixelsLeft(pixels_.data(), width_, height_, scratch_.data());
    }
    pixels_.swap(scratch_);
    std::swap(width_, height_);
    ink_.resize(static_cast<std::size_t>(height_));
    RecomputeInk();
}

void CxImage::SetTransColor(Rgb colour) {
    hasTrans_ = true;
    trans_ = colour.pixel();
}

void CxImage::MixFrom(const CxImage& source) {
    MixRows(source, 0, height_);
}

void CxImage::MixRows(const CxImage& source, int rowBegin, int rowEnd) {
    if (!IsValid() || !source.IsValid() || &source == this) return;
    // Rows are aligned at the bottom: row k from the bottom meets row k from the bottom.
    const int shift = source.height_ - height_;
    rowBegin = std::max(rowBegin, -shift);
    const int cols = std::min(width_, source.width_);
    for (int dstRow = rowBegin; dstRow < rowEnd; ++dstRow) {
        const int srcRow = dstRow + shift;
        const std::uint32_t* src = source.ScanLine(srcRow);
        std::uint32_t* dst = pixels_.data() + static_cast<std::size_t>(dstRow) * width_;
        int begin = 0;
        int end = cols;
        if (source.hasTrans_) {
            const Span s = source.InkSpan(srcRow);
            begin = s.begin;
            end = std::min(s.end, cols);
            if (begin >= end) continue;
        }
        MixRow(src, dst, begin, end, source.hasTrans_, source.trans_);
        AddInk(dstRow, begin, end);
    }
}

void CxImage::DrawLine(int startX, int endX, int startY, int endY, Rgb colour) {
    DrawLineRaw(startX, endX, startY, endY, colour.pixel());
}

void CxImage::DrawLineRaw(int startX, int endX, int startY, int endY, std::uint32_t value,
                          bool overInk) {
    if (!IsValid()) return;
    // 64-bit so that far-off points (a pointer well outside the picture) cannot overflow.
    std::int64_t x0 = startX, y0 = startY;
    const std::int64_t x1 = endX, y1 = endY;
    if (std::max(x0, x1) < 0 || std::min(x0, x1) >= width_ || std::max(y0, y1) < 0 ||
        std::min(y0, y1) >= height_) {
        return;
    }
    const bool ink = value != kNoInk;
    const auto put = [&](std::uint32_t& px) {
        if (overInk || !IsOpaqueInk(px)) px = value;
    };
    if (y0 == y1) {
        const int row = height_ - 1 - static_cast<int>(y0);
        const int begin = static_cast<int>(std::max<std::int64_t>(0, std::min(x0, x1)));
        const int end = static_cast<int>(std::min<std::int64_t>(width_, std::max(x0, x1) + 1));
        std::uint32_t* dst = pixels_.data() + static_cast<std::size_t>(row) * width_;
        if (overInk) {
            std::fill(dst + begin, dst + end, value);
        } else {
            std::for_each(dst + begin, dst + end, put);
        }
        if (ink) AddInk(row, begin, end);
        return;
    }
    ForLine(x0, x1, y0, y1, [&](std::uint32_t& px, int row, int col) {
        put(px);
        if (ink) AddInk(row, col, col + 1);
    });
}

void CxImage::BlendLine(int startX, int endX, int startY, int endY, Rgb colour, int alpha256) {
    if (!IsValid()) return;
    const std::uint32_t c = colour.pixel();
    ForLine(startX, endX, startY, endY, [&](std::uint32_t& px, int, int) {
        std::uint32_t out = kNoInk;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int a = static_cast<int>((px >> shift) & 0xffu);
            const int b = static_cast<int>((c >> shift) & 0xffu);
            out |= static_cast<std::uint32_t>(a + (((b - a) * alpha256) >> 8)) << shift;
        }
        px = out;
    });
}

template <typename Put>
void CxImage::ForLine(std::int64_t x0, std::int64_t x1, std::int64_t y0, std::int64_t y1, Put put) {
    const std::int64_t dx = std::llabs(x1 - x0), dy = -std::llabs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    std::int64_t err = dx + dy;
    for (;;) {
        if (x0 >= 0 && x0 < width_ && y0 >= 0 && y0 < height_) {
            const int row = height_ - 1 - static_cast<int>(y0);
            const int col = static_cast<int>(x0);
            put(pixels_[static_cast<std::size_t>(row) * width_ + col], row, col);
        }
        if (x0 == x1 && y0 == y1) break;
        const std::int64_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

}  // namespace vistrela
