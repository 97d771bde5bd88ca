#include "viewer/display_scale.h"

#include <algorithm>

namespace vistrela {

QImage DisplayScaler::Prepare(const CxImage& image, const QRect& sourceRect, QSize destSize) {
    lastFactor_ = 1;
    const QRect src = sourceRect.intersected(QRect(0, 0, image.GetWidth(), image.GetHeight()));
    if (!image.IsValid() || src.isEmpty() || destSize.isEmpty()) return QImage();

    const int f = std::min(src.width() / destSize.width(), src.height() / destSize.height());
    const bool shrinkMoreThanTwice =
        src.width() > 2 * destSize.width() && src.height() > 2 * destSize.height() && f >= 2;
    if (!shrinkMoreThanTwice) {
        const std::uint32_t* first = image.ScanLine(src.top()) + src.left();
        return QImage(reinterpret_cast<const uchar*>(first), src.width(), src.height(),
                      static_cast<qsizetype>(image.GetWidth()) * 4, QImage::Format_RGB32);
    }

    lastFactor_ = f;
    const int outW = (src.width() + f - 1) / f;
    const int outH = (src.height() + f - 1) / f;
    shrunk_.resize(static_cast<std::size_t>(outW) * outH);
    sums_.resize(static_cast<std::size_t>(outW) * 3);
    for (int oy = 0; oy < outH; ++oy) {
        std::fill(sums_.begin(), sums_.end(), 0u);
        const int y0 = src.top() + oy * f;
        const int rows = std::min(f, src.bottom() + 1 - y0);
        for (int r = 0; r < rows; ++r) {
            const std::uint32_t* p = image.ScanLine(y0 + r) + src.left();
            int x = 0;
            for (int ox = 0; ox < outW; ++ox) {
                const int end = std::min(x + f, src.width());
                std::uint32_t b = 0, g = 0, rd = 0;
                for (; x < end; ++x) {
                    const std::uint32_t v = p[x];
                    b += v & 0xffu;
                    g += (v >> 8) & 0xffu;
                    rd += (v >> 16) & 0xffu;
                }
                std::uint32_t* s = &sums_[static_cast<std::size_t>(ox) * 3];
                s[0] += b;
                s[1] += g;
                s[2] += rd;
            }
        }
        std::uint32_t* out = shrunk_.data() + static_cast<std::size_t>(oy) * outW;
        for (int ox = 0; ox < outW; ++ox) {
            const std::uint32_t cols =
                static_cast<std::uint32_t>(std::min(f, src.width() - ox * f));
            const std::uint32_t n = cols * static_cast<std::uint32_t>(rows);
            const std::uint32_t* s = &sums_[static_cast<std::size_t>(ox) * 3];
            // Rounded averages.
            out[ox] = 0xff000000u | (((s[2] + n / 2) / n) << 16) | (((s[1] + n / 2) / n) << 8) |
                      ((s[0] + n / 2) / n);
        }
    }
    return QImage(reinterpret_cast<const uchar*>(shrunk_.data()), outW, outH,
                  static_cast<qsizetype>(outW) * 4, QImage::Format_RGB32);
}

}  // namespace vistrela
