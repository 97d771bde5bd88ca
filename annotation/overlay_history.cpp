#include "annotation/overlay_history.h"

#include <algorithm>
#include <cstring>

#include "viewer/pixel_loops.h"

namespace vistrela {

namespace {

int Quarter(int turns) {
    return ((turns % 4) + 4) % 4;
}

OverlayRect Clip(OverlayRect r, int width, int height) {
    const int x0 = std::max(r.x, 0), y0 = std::max(r.y, 0);
    const int x1 = static_cast<int>(std::min<long long>(width, 0LL + r.x + r.width));
    const int y1 = static_cast<int>(std::min<long long>(height, 0LL + r.y + r.height));
    if (x1 <= x0 || y1 <= y0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

OverlayRect Union(OverlayRect a, OverlayRect b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    const int x1 = std::max(a.x + a.width, b.x + b.width);
    const int y1 = std::max(a.y + a.height, b.y + b.height);
    return {x0, y0, x1 - x0, y1 - y0};
}

// The smallest part of the `width` x `height` block where `a` and `b` differ, relative to the
// block; empty when they are equal.
OverlayRect Difference(const std::uint32_t* a, std::size_t strideA, const std::uint32_t* b,
                       std::size_t strideB, int width, int height) {
    int x0 = width, x1 = 0, y0 = height, y1 = 0;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * sizeof(std::uint32_t);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* ra = a + y * strideA;
        const std::uint32_t* rb = b + y * strideB;
        if (std::memcmp(ra, rb, rowBytes) == 0) continue;
        int first = 0;
        while (ra[first] == rb[first]) ++first;
        int last = width - 1;
        while (ra[last] == rb[last]) --last;
        x0 = std::min(x0, first);
        x1 = std::max(x1, last + 1);
        y0 = std::min(y0, y);
        y1 = y + 1;
    }
    if (x1 <= x0) return {};
    return {x0, y0, x1 - x0, y1 - y0};
}

// `pixels` (width x height) turned `turns` quarter turns to the right.
std::vector<std::uint32_t> TurnPixels(std::vector<std::uint32_t> pixels, int width, int height,
                                      int turns) {
    switch (Quarter(turns)) {
        case 1: {
            std::vector<std::uint32_t> out(pixels.size());
            TurnPixelsRight(pixels.data(), width, height, out.data());
            return out;
        }
        case 2:
            std::reverse(pixels.begin(), pixels.end());
            return pixels;
        case 3: {
            std::vector<std::uint32_t> out(pixels.size());
            TurnPixelsLeft(pixels.data(), width, height, out.data());
            return out;
        }
        default:
            return pixels;
    }
}

// Marks a pixel a step leaves as it was. Stored pixels always carry the opaque fourth byte,
// so they never equal it.
constexpr std::uint32_t kKept = 0;

// One run of `count` pixels from column x of storage row `row`, through DrawLine, so the
// overlay's ink ranges grow only where ink is written.
void WriteRun(CxImage& overlay, int x, int row, int count, std::uint32_t v) {
    if (v == kKept) return;
    const int y = overlay.GetHeight() - 1 - row;
    overlay.DrawLineRaw(x, x + count - 1, y, y, v);
}

}  // namespace

OverlayRect DrawingRect(int overlayHeight, int left, int bottom, int right, int top) {
    // Far-off points are held to a range that still covers any overlay, end by end, so the
    // rectangle never loses the part that lies on the overlay.
    const auto hold = [](long long v) {
        return static_cast<int>(std::clamp<long long>(v, -(1LL << 30), 1LL << 30));
    };
    const int x0 = hold(std::min(left, right)), x1 = hold(std::max(left, right) + 1LL);
    // Rows from the top: drawing row y is storage row height - 1 - y.
    const int y0 = hold(overlayHeight - 1LL - std::max(bottom, top));
    const int y1 = hold(overlayHeight - 0LL - std::min(bottom, top));
    return {x0, y0, x1 - x0, y1 - y0};
}

OverlayRect TurnRect(OverlayRect r, int width, int height, int turns) {
    for (int k = 0; k < Quarter(turns); ++k) {
        // A right turn takes column x, row y of a width x height image to column
        // height - 1 - y, row x.
        r = {height - (r.y + r.height), r.x, r.height, r.width};
        std::swap(width, height);
    }
    return r;
}

std::size_t OverlayHistory::Step::bytes() const {
    return sizeof(Step) + (before.data.capacity() + after.data.capacity()) * sizeof(std::uint32_t);
}

OverlayHistory::Patch OverlayHistory::Encode(const std::uint32_t* pixels, int width, int height) {
    Patch patch;
    if (width <= 0 || height <= 0) return patch;
    const std::size_t count = static_cast<std::size_t>(width) * height;
    const std::size_t stride = static_cast<std::size_t>(width);
    for (int y = 0; y < height && patch.data.size() < count; ++y) {
        const std::uint32_t* p = pixels + y * stride;
        for (int begin = 0; begin < width;) {
            int end = begin + 1;
            while (end < width && p[end] == p[begin]) ++end;
            patch.data.push_back(p[begin]);
            patch.data.push_back(static_cast<std::uint32_t>(end - begin));
            begin = end;
        }
    }
    if (patch.data.size() >= count) {
        patch.raw = true;
        patch.data.assign(pixels, pixels + count);
    }
    patch.data.shrink_to_fit();
    return patch;
}

std::vector<std::uint32_t> OverlayHistory::Decode(const Patch& patch, int width, int height) {
    if (patch.raw) return patch.data;
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i + 1 < patch.data.size(); i += 2)
        pixels.insert(pixels.end(), patch.data[i + 1], patch.data[i]);
    return pixels;
}

void OverlayHistory::Write(CxImage& overlay, OverlayRect r, const Patch& patch) {
    if (patch.raw) {
        for (int row = 0; row < r.height; ++row) {
            const std::uint32_t* p = patch.data.data() + static_cast<std::size_t>(row) * r.width;
            for (int begin = 0; begin < r.width;) {
                int end = begin + 1;
                while (end < r.width && p[end] == p[begin]) ++end;
                WriteRun(overlay, r.x + begin, r.y + row, end - begin, p[begin]);
                begin = end;
            }
        }
        return;
    }
    int x = 0, row = 0;
    for (std::size_t i = 0; i + 1 < patch.data.size(); i += 2) {
        const int count = static_cast<int>(patch.data[i + 1]);
        WriteRun(overlay, r.x + x, r.y + row, count, patch.data[i]);
        x += count;
        if (x >= r.width) {
            x = 0;
            ++row;
        }
    }
}

void OverlayHistory::Clear() {
    steps_.clear();
    cursor_ = 0;
    bytes_ = 0;
    recording_ = false;
    touched_ = {};
}

void OverlayHistory::BeginStep(const CxImage& overlay, int turns) {
    if (recording_) EndStep(overlay, turns);
    if (!overlay.IsValid()) return;
    recording_ = true;
    pendingTurns_ = Quarter(turns);
    pendingWidth_ = overlay.GetWidth();
    pendingHeight_ = overlay.GetHeight();
    touched_ = {};
    snapshot_.resize(static_cast<std::size_t>(pendingWidth_) * pendingHeight_);
    rowSaved_.assign(static_cast<std::size_t>(pendingHeight_), 0);
}

void OverlayHistory::Touch(const CxImage& overlay, int turns, OverlayRect rect) {
    if (!recording_ || !overlay.IsValid()) return;
    if (Quarter(turns) != pendingTurns_ || overlay.GetWidth() != pendingWidth_ ||
        overlay.GetHeight() != pendingHeight_) {
        EndStep(overlay, turns);
        BeginStep(overlay, turns);
    }
    rect = Clip(rect, pendingWidth_, pendingHeight_);
    if (rect.empty()) return;
    touched_ = Union(touched_, rect);
    // Every row of the union is saved, also the untouched ones between two touched
    // rectangles: EndStep compares all of them.
    const std::size_t rowBytes = static_cast<std::size_t>(pendingWidth_) * sizeof(std::uint32_t);
    for (int y = touched_.y; y < touched_.y + touched_.height; ++y) {
        if (rowSaved_[static_cast<std::size_t>(y)] != 0) continue;
        std::memcpy(snapshot_.data() + static_cast<std::size_t>(y) * pendingWidth_,
                    overlay.ScanLine(y), rowBytes);
        rowSaved_[static_cast<std::size_t>(y)] = 1;
    }
}

void OverlayHistory::TouchAll(const CxImage& overlay, int turns) {
    Touch(overlay, turns, {0, 0, overlay.GetWidth(), overlay.GetHeight()});
}

void OverlayHistory::EndStep(const CxImage& overlay, int turns) {
    if (!recording_) return;
    recording_ = false;
    OverlayRect r = touched_;
    touched_ = {};
    if (r.empty() || !overlay.IsValid()) return;

    const int delta = Quarter(Quarter(turns) - pendingTurns_);
    const int width = delta % 2 == 0 ? pendingWidth_ : pendingHeight_;
    const int height = delta % 2 == 0 ? pendingHeight_ : pendingWidth_;
    // A different size in every orientation: the overlay was made anew; nothing to keep.
    if (overlay.GetWidth() != width || overlay.GetHeight() != height) return;

    const std::size_t stride = static_cast<std::size_t>(width);
    const std::size_t snapshotStride = static_cast<std::size_t>(pendingWidth_);
    const std::uint32_t* before = snapshot_.data() + r.y * snapshotStride + r.x;
    std::size_t beforeStride = snapshotStride;
    std::vector<std::uint32_t> turned;
    if (delta != 0) {
        // The overlay turned while the step was recorded: the saved pixels are turned too.
        std::vector<std::uint32_t> block(static_cast<std::size_t>(r.width) * r.height);
        for (int y = 0; y < r.height; ++y)
            std::memcpy(block.data() + static_cast<std::size_t>(y) * r.width,
                        before + y * snapshotStride, static_cast<std::size_t>(r.width) * 4);
        turned = TurnPixels(std::move(block), r.width, r.height, delta);
        r = TurnRect(r, pendingWidth_, pendingHeight_, delta);
        before = turned.data();
        beforeStride = static_cast<std::size_t>(r.width);
    }
    const std::uint32_t* after = overlay.ScanLine(r.y) + r.x;
    const OverlayRect d = Difference(before, beforeStride, after, stride, r.width, r.height);
    if (d.empty()) return;

    Step step;
    step.turns = Quarter(turns);
    step.overlayWidth = width;
    step.overlayHeight = height;
    step.rect = {r.x + d.x, r.y + d.y, d.width, d.height};
    // Both sides of the step, cut to the changed rectangle; pixels the step left as they were
    // are marked, so that undo and redo write only the changed ones.
    const std::size_t count = static_cast<std::size_t>(d.width) * d.height;
    std::vector<std::uint32_t> was(count), is(count);
    for (int y = 0; y < d.height; ++y) {
        const std::uint32_t* b = before + (d.y + y) * beforeStride + d.x;
        const std::uint32_t* a = after + (d.y + y) * stride + d.x;
        std::uint32_t* w = was.data() + static_cast<std::size_t>(y) * d.width;
        std::uint32_t* n = is.data() + static_cast<std::size_t>(y) * d.width;
        for (int x = 0; x < d.width; ++x) {
            const bool same = b[x] == a[x];
            w[x] = same ? kKept : b[x] | 0xff000000u;
            n[x] = same ? kKept : a[x] | 0xff000000u;
        }
    }
    step.before = Encode(was.data(), d.width, d.height);
    step.after = Encode(is.data(), d.width, d.height);
    Push(std::move(step));
}

void OverlayHistory::Push(Step step) {
    while (steps_.size() > cursor_) {
        bytes_ -= steps_.back().bytes();
        steps_.pop_back();
    }
    bytes_ += step.bytes();
    steps_.push_back(std::move(step));
    cursor_ = steps_.size();
    while (steps_.size() > 1 && (steps_.size() > kMaxSteps || bytes_ > kMaxBytes)) {
        bytes_ -= steps_.front().bytes();
        steps_.pop_front();
        --cursor_;
    }
}

bool OverlayHistory::Orient(Step& step, const CxImage& overlay, int turns) {
    const int delta = Quarter(Quarter(turns) - step.turns);
    if (delta != 0) {
        const OverlayRect r = step.rect;
        const std::size_t old = step.bytes();
        const int turnedWidth = delta % 2 == 0 ? r.width : r.height;
        const int turnedHeight = delta % 2 == 0 ? r.height : r.width;
        const auto turn = [&](const Patch& patch) {
            const std::vector<std::uint32_t> pixels =
                TurnPixels(Decode(patch, r.width, r.height), r.width, r.height, delta);
            return Encode(pixels.data(), turnedWidth, turnedHeight);
        };
        step.before = turn(step.before);
        step.after = turn(step.after);
        step.rect = TurnRect(r, step.overlayWidth, step.overlayHeight, delta);
        if (delta % 2 != 0) std::swap(step.overlayWidth, step.overlayHeight);
        step.turns = Quarter(turns);
        bytes_ = bytes_ - old + step.bytes();
    }
    return step.overlayWidth == overlay.GetWidth() && step.overlayHeight == overlay.GetHeight();
}

bool OverlayHistory::Apply(CxImage& overlay, int turns, bool undo) {
    if (recording_) EndStep(overlay, turns);
    if (undo ? !CanUndo() : !CanRedo()) return false;
    if (!overlay.IsValid()) return false;
    Step& step = steps_[undo ? cursor_ - 1 : cursor_];
    if (!Orient(step, overlay, turns)) {
        Clear();
        return false;
    }
    Write(overlay, step.rect, undo ? step.before : step.after);
    cursor_ = undo ? cursor_ - 1 : cursor_ + 1;
    return true;
}

bool OverlayHistory::Undo(CxImage& overlay, int turns) {
    return Apply(overlay, turns, true);
}

bool OverlayHistory::Redo(CxImage& overlay, int turns) {
    return Apply(overlay, turns, false);
}

}  // namespace vistrela
