#include "viewer/display_scale.h"

#include <algorithm>
#include <array>

#include "viewer/resample_loops.h"

namespace vistrela {

namespace {

// Rounded a * b / c for non-negative values.
std::int64_t MulDivRound(std::int64_t a, std::int64_t b, std::int64_t c) {
    return (a * b + c / 2) / c;
}

}  // namespace

void DisplayScaler::BuildTaps(int sourceLength, int outputLength, Taps& taps) {
    taps.first.clear();
    taps.offset.assign(1, 0);
    taps.weights.clear();
    taps.maxCount = 0;
    taps.sourceLength = sourceLength;
    taps.outputLength = outputLength;
    const std::int64_t src = sourceLength, dst = outputLength;
    const bool area = src > 2 * dst;
    std::vector<std::int32_t> w;
    for (std::int64_t i = 0; i < dst; ++i) {
        std::int64_t j0 = 0;
        w.clear();
        if (area) {
            // Output pixel i covers source [i * src / dst, (i + 1) * src / dst); in units of
            // 1 / dst both ends and every coverage are whole numbers, so the weights are exact
            // up to their final rounding.
            const std::int64_t a = i * src, b = a + src;
            j0 = a / dst;
            const std::int64_t j1 = (b + dst - 1) / dst;
            for (std::int64_t j = j0; j < j1; ++j) {
                const std::int64_t cover = std::min(b, (j + 1) * dst) - std::max(a, j * dst);
                w.push_back(static_cast<std::int32_t>(MulDivRound(cover, kWeightOne, src)));
            }
        } else {
            // The centre of output pixel i lies at source position n / d (pixel centres at
            // whole numbers); beyond the outermost centres the edge pixel holds.
            const std::int64_t n = (2 * i + 1) * src - dst, d = 2 * dst;
            std::int32_t w1 = 0;
            if (n > 0) {
                j0 = n / d;
                w1 = static_cast<std::int32_t>(MulDivRound(n % d, kWeightOne, d));
            }
            if (j0 >= src - 1) {
                j0 = src - 1;
                w1 = 0;
            }
            w = {kWeightOne - w1, w1};
        }
        // Rounding may leave the sum a little off; the largest weight takes the difference so
        // that flat areas keep their exact colour.
        std::int32_t sum = 0;
        for (const std::int32_t v : w) sum += v;
        *std::max_element(w.begin(), w.end()) += kWeightOne - sum;
        std::size_t begin = 0, end = w.size();
        while (w[begin] == 0) ++begin;
        while (w[end - 1] == 0) --end;
        taps.first.push_back(static_cast<std::int32_t>(j0 + static_cast<std::int64_t>(begin)));
        for (std::size_t k = begin; k < end; ++k)
            taps.weights.push_back(static_cast<std::int16_t>(w[k]));
        taps.offset.push_back(static_cast<std::int32_t>(taps.weights.size()));
        taps.maxCount = std::max(taps.maxCount, static_cast<int>(end - begin));
    }
}

void DisplayScaler::BuildColumns(int sourceWidth, int outputWidth) {
    BuildTaps(sourceWidth, outputWidth, columnTaps_);
    // The row loop reads the same even number of taps for every pixel, so each pixel's taps
    // are moved left where they would run past the row's end, padded with zero weights.
    const int count = std::max(2, (columnTaps_.maxCount + 1) & ~1);
    columnCount_ = count;
    columnSpan_ = 0;
    starts_.resize(static_cast<std::size_t>(outputWidth));
    pairs_.assign(static_cast<std::size_t>(outputWidth) * (count / 2) * 4, 0);
    std::vector<std::int16_t> padded(static_cast<std::size_t>(count));
    for (int i = 0; i < outputWidth; ++i) {
        const int first = columnTaps_.first[i];
        const int n = columnTaps_.offset[i + 1] - columnTaps_.offset[i];
        const int start = first + count > sourceWidth ? std::max(0, sourceWidth - count) : first;
        std::fill(padded.begin(), padded.end(), std::int16_t{0});
        std::copy_n(columnTaps_.weights.begin() + columnTaps_.offset[i], n,
                    padded.begin() + (first - start));
        starts_[i] = start;
        for (int k = 0; k < count; k += 2) {
            const std::uint32_t pair =
                static_cast<std::uint16_t>(padded[k]) |
                (static_cast<std::uint32_t>(static_cast<std::uint16_t>(padded[k + 1])) << 16);
            std::fill_n(pairs_.begin() + (static_cast<std::ptrdiff_t>(i) * (count / 2) + k / 2) * 4,
                        4, pair);
        }
        columnSpan_ = std::max(columnSpan_, start + count);
    }
    second_.clear();
    if (count == 2) {
        for (int i = 0; i < outputWidth; ++i) {
            const auto w1 =
                static_cast<std::int16_t>(pairs_[static_cast<std::size_t>(i) * 4] >> 16);
            // A whole weight, which 15 bits cannot hold, becomes 32767 / 32768: the error is
            // below 255 / 32768 and never changes the rounded result.
            second_.insert(second_.end(), 4, static_cast<std::int16_t>(std::min(w1 * 2, 32767)));
        }
    }
    // Only a source narrower than the taps reads past its end, into these zeros.
    line_.assign(static_cast<std::size_t>(std::max(sourceWidth, columnSpan_)), 0u);
}

QImage DisplayScaler::Prepare(const CxImage& image, const QRect& sourceRect, QSize destSize) {
    const QRect src = sourceRect.intersected(QRect(0, 0, image.GetWidth(), image.GetHeight()));
    if (!image.IsValid() || src.isEmpty() || destSize.isEmpty()) return QImage();
    const qsizetype imageStrideBytes = static_cast<qsizetype>(image.GetWidth()) * 4;
    if (src.size() == destSize) {
        const std::uint32_t* first = image.ScanLine(src.top()) + src.left();
        return QImage(reinterpret_cast<const uchar*>(first), src.width(), src.height(),
                      imageStrideBytes, QImage::Format_RGB32);
    }

    const int sw = src.width(), sh = src.height();
    const int dw = destSize.width(), dh = destSize.height();
    if (rows_.sourceLength != sh || rows_.outputLength != dh) {
        BuildTaps(sh, dh, rows_);
        rowPointers_.resize(static_cast<std::size_t>(rows_.maxCount));
    }
    const bool sameWidth = sw == dw;
    if (!sameWidth && (columnTaps_.sourceLength != sw || columnTaps_.outputLength != dw))
        BuildColumns(sw, dw);
    scaled_.resize(static_cast<std::size_t>(dw) * dh);

    // Row by row: the source rows of one output row are blended into `line_` (each read once),
    // which the column filter then reads while it is still in the cache. A row that needs no
    // blending is read straight from the picture.
    const bool direct = sw >= columnSpan_;
    const ColumnWeights columns{starts_.data(), pairs_.data(),
                                second_.empty() ? nullptr : second_.data(), columnCount_};
    for (int oy = 0; oy < dh; ++oy) {
        const int n = rows_.offset[oy + 1] - rows_.offset[oy];
        const std::int16_t* weights = rows_.weights.data() + rows_.offset[oy];
        for (int k = 0; k < n; ++k)
            rowPointers_[k] = image.ScanLine(src.top() + rows_.first[oy] + k) + src.left();
        std::uint32_t* out = scaled_.data() + static_cast<std::ptrdiff_t>(oy) * dw;
        if (sameWidth) {
            BlendRows(rowPointers_.data(), weights, n, sw, out);
            continue;
        }
        const std::uint32_t* line = rowPointers_[0];
        if (n > 1 || !direct) {
            BlendRows(rowPointers_.data(), weights, n, sw, line_.data());
            line = line_.data();
        }
        ResampleRow(line, columns, dw, out);
    }
    return QImage(reinterpret_cast<const uchar*>(scaled_.data()), dw, dh,
                  static_cast<qsizetype>(dw) * 4, QImage::Format_RGB32);
}

}  // namespace vistrela
