#include "viewer/compare_board.h"

#include <algorithm>
#include <cstring>

namespace vistrela {

QRect ComparePaneRect(int pane, int paneCount, QSize board) {
    const int w = board.width(), h = board.height();
    if (paneCount < 2) return QRect(0, 0, w, h);
    if (paneCount == 2) return pane == 0 ? QRect(0, 0, w / 2, h) : QRect(w / 2, 0, w - w / 2, h);
    const int col = pane % 2, row = pane / 2;
    const int x0 = col * w / 2, x1 = (col + 1) * w / 2;
    const int y0 = row * h / 2, y1 = (row + 1) * h / 2;
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

std::vector<QRect> ComparePaneRects(int paneCount, QSize board) {
    std::vector<QRect> panes;
    for (int i = 0; i < std::clamp(paneCount, 1, 4); ++i)
        panes.push_back(ComparePaneRect(i, paneCount, board));
    return panes;
}

namespace {

// `picture`'s rows onto `board` at `rect` (both of `rect`'s size).
void CopyInto(CxImage& board, const QRect& rect, const QImage& picture) {
    for (int y = 0; y < rect.height(); ++y) {
        std::memcpy(board.MutableScanLine(rect.top() + y) + rect.left(), picture.constScanLine(y),
                    std::size_t(rect.width()) * sizeof(std::uint32_t));
    }
}

}  // namespace

QRect FitRect(QSize content, const QRect& into) {
    if (content.isEmpty() || into.isEmpty()) return {};
    const QSize fitted = content.scaled(into.size(), Qt::KeepAspectRatio);
    const QSize size(std::max(1, fitted.width()), std::max(1, fitted.height()));
    return QRect(into.left() + (into.width() - size.width()) / 2,
                 into.top() + (into.height() - size.height()) / 2, size.width(), size.height());
}

bool CompareBoard::Keep(const CxImage& picture, const QRect& shownPart) {
    const QRect part = shownPart.intersected(QRect(0, 0, picture.GetWidth(), picture.GetHeight()));
    if (PageCount() >= kMaxPages || part.isEmpty()) return false;
    auto page = std::make_unique<KeptPage>();
    page->picture.Create(part.width(), part.height());
    for (int y = 0; y < part.height(); ++y) {
        std::memcpy(page->picture.MutableScanLine(y),
                    picture.ScanLine(part.top() + y) + part.left(),
                    std::size_t(part.width()) * sizeof(std::uint32_t));
    }
    page->view.frameWidth = part.width();
    page->view.frameHeight = part.height();
    page->view.zoom = 1.0;
    page->tools.NewOverlay(page->view, page->pipe);
    pages_.push_back(std::move(page));
    alone_ = kGrid;
    boardIntact_ = false;
    return true;
}

void CompareBoard::Clear() {
    // The window may still paint, save or hold the last picture Compose returned (the board or
    // a page's picture) until the next frame: the pages and the board go with the next Compose.
    for (auto& page : pages_) retired_.push_back(std::move(page));
    pages_.clear();
    alone_ = kGrid;
    boardIntact_ = false;
}

void CompareBoard::ShowAlone(int pane) {
    alone_ = pane >= kLivePane && pane < PaneCount() ? pane : kGrid;
    boardIntact_ = false;
}

void CompareBoard::Step(int direction) {
    if (!Active()) return;
    // Positions 0 .. PaneCount(): the grid, then each pane.
    const int positions = PaneCount() + 1;
    const int now = alone_ + 1;
    ShowAlone((now + direction % positions + positions) % positions - 1);
}

void CompareBoard::InkChanged(int pane) {
    if (pane < 1 || pane > PageCount()) return;
    Page(pane).inkChanged = true;
    boardIntact_ = false;
}

void CompareBoard::Damaged() {
    boardIntact_ = false;
    if (alone_ > kLivePane) Page(alone_).inkChanged = true;
}

QSize CompareBoard::PaneContentSize(int pane) const {
    if (pane == kLivePane) return liveSize_;
    const CxImage& picture = pages_[std::size_t(pane - 1)]->picture;
    return {picture.GetWidth(), picture.GetHeight()};
}

void CompareBoard::DrawPage(int pane, double nowSec) {
    KeptPage& page = Page(pane);
    // Laser ink fades by itself, so a page holding some is drawn every frame.
    if (page.inkChanged || !page.pipe.laser.Empty()) {
        page.inked = page.picture;
        page.inked.MixFrom(page.pipe.overlayImage);
        page.pipe.laser.Draw(page.inked, nowSec, 0);
        page.paneImage = QImage();
        page.inkChanged = false;
    }
    if (alone_ != kGrid) return;
    const QRect rect = PaneRect(pane);
    if (rect.isEmpty()) return;
    if (page.paneImage.size() != rect.size()) {
        page.paneImage = page.scaler.Prepare(
            page.inked, QRect(0, 0, page.inked.GetWidth(), page.inked.GetHeight()), rect.size());
    }
    CopyInto(board_, rect, page.paneImage);
}

void CompareBoard::DrawLive(const CxImage& live, const QRect& liveShown) {
    const QRect rect = PaneRect(kLivePane);
    if (rect.isEmpty()) return;
    const QImage scaled = liveScaler_.Prepare(live, liveShown, rect.size());
    if (scaled.isNull()) return;
    CopyInto(board_, rect, scaled);
}

CxImage* CompareBoard::Compose(const CxImage& live, const QRect& liveShown, double nowSec) {
    if (!retired_.empty()) {
        retired_.clear();
        if (!Active()) board_.Destroy();
    }
    if (!Active() || alone_ == kLivePane || !live.IsValid() || liveShown.isEmpty()) return nullptr;
    if (alone_ != kGrid) {
        DrawPage(alone_, nowSec);
        return &Page(alone_).inked;
    }
    if (liveShown.size() != liveSize_ || board_.GetWidth() != live.GetWidth() ||
        board_.GetHeight() != live.GetHeight()) {
        liveSize_ = liveShown.size();
        board_.Create(live.GetWidth(), live.GetHeight());
        boardIntact_ = false;
    }
    if (!boardIntact_) {
        board_.Clear(kBoardGrey);
        for (int pane = 1; pane < PaneCount(); ++pane) DrawPage(pane, nowSec);
    } else {
        for (int pane = 1; pane < PaneCount(); ++pane) {
            if (!Page(pane).pipe.laser.Empty()) DrawPage(pane, nowSec);
        }
    }
    boardIntact_ = true;
    DrawLive(live, liveShown);
    return &board_;
}

CompareBoard::Hit CompareBoard::HitTest(QPointF boardPoint) const {
    for (int pane = 0; pane < PaneCount(); ++pane) {
        const QRect rect = PaneRect(pane);
        if (rect.isEmpty()) continue;
        const double u = (boardPoint.x() - rect.left()) / rect.width();
        const double v = (boardPoint.y() - rect.top()) / rect.height();
        if (u >= 0.0 && u < 1.0 && v >= 0.0 && v < 1.0) return {pane, u, v};
    }
    return {};
}

QRect CompareBoard::PaneRect(int pane) const {
    const QRect cell =
        ComparePaneRect(pane, PaneCount(), QSize(board_.GetWidth(), board_.GetHeight()));
    // A few pixels of the board's grey between the panes, so pictures with dark edges do not
    // run into each other.
    const int gap = std::max(1, board_.GetWidth() / 480);
    return FitRect(PaneContentSize(pane), cell.adjusted(gap, gap, -gap, -gap));
}

}  // namespace vistrela
