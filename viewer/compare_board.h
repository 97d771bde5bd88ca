#pragma once
// Compare: the live picture beside up to three kept pages. Each kept page is the processed
// picture as it was shown when it was kept, with its own ink layer and undo history, so a
// pupil's page can be marked while the live picture goes on. The board is one picture the
// size of the live processed picture: two panes side by side for one kept page, a 2x2 grid for
// two or three, on a dark grey ground that frames each pane. It is what the screen shows, a saved
// picture holds and a movie records.
//
// The kept pages are scaled into their panes once (again only when their ink changes or the
// board's size does); per frame only the live pane is scaled. No window code; user-interface
// thread only.

#include <QRect>
#include <QSize>
#include <memory>
#include <vector>

#include "annotation/annotation_tools.h"
#include "viewer/display_scale.h"
#include "viewer/image.h"
#include "viewer/pipeline.h"
#include "viewer/view_state.h"

namespace vistrela {

// The panes of a board: two side by side, or three and four in a 2x2 grid (the live pane first,
// top left). Fewer than two panes: the whole board.
std::vector<QRect> ComparePaneRects(int paneCount, QSize board);
// Pane `pane` of ComparePaneRects, alone.
QRect ComparePaneRect(int pane, int paneCount, QSize board);

// `content` fitted into `into` with its shape kept, centred.
QRect FitRect(QSize content, const QRect& into);

// A kept page: its picture and everything its ink needs. The page's view is its picture at
// zoom 1, upright, so pointer positions in page pixels reach the ink tools unchanged.
struct KeptPage {
    CxImage picture;
    ViewState view;
    PipelineState pipe;
    AnnotationTools tools;
    CxImage inked;  // picture with ink, rebuilt when `inkChanged`
    bool inkChanged = true;
    QImage paneImage;      // `inked` scaled into its pane: a view into `scaler` (or `inked`)
    DisplayScaler scaler;  // used for `paneImage` alone, so its buffer lasts between frames
};

// The board's ground between and around the panes (all three channels).
inline constexpr std::uint8_t kBoardGrey = 48;

class CompareBoard {
public:
    static constexpr int kMaxPages = 3;
    static constexpr int kGrid = -1;
    static constexpr int kLivePane = 0;

    bool Active() const { return !pages_.empty(); }
    int PageCount() const { return int(pages_.size()); }
    int PaneCount() const { return PageCount() + 1; }

    // Keeps `shownPart` of `picture` as a new page (the grid is shown). False when
    // kMaxPages are kept or the part is empty.
    bool Keep(const CxImage& picture, const QRect& shownPart);
    // Drops every page; the live picture alone again. The last picture Compose returned stays
    // valid until the next Compose.
    void Clear();

    // The pane shown alone, or kGrid.
    int Alone() const { return alone_; }
    void ShowAlone(int pane);
    // PageDown (+1) and PageUp (-1): through the grid, the live pane and the pages, round.
    void Step(int direction);

    // Page `pane` (1 .. PageCount()).
    KeptPage& Page(int pane) { return *pages_[std::size_t(pane - 1)]; }
    const KeptPage& Page(int pane) const { return *pages_[std::size_t(pane - 1)]; }
    // The page's ink changed: its pane is drawn again.
    void InkChanged(int pane);

    // The picture of this frame: the board in the grid, the page shown alone, or null when
    // the live picture is shown alone (the caller shows `live` as it is). `liveShown` is the
    // shown part of `live`. Valid until the next call.
    CxImage* Compose(const CxImage& live, const QRect& liveShown, double nowSec);
    // Something was drawn over Compose's picture: the next Compose draws it whole.
    void Damaged();

    // The pane at `boardPoint` (board pixels) in the grid and where in its picture, as
    // fractions of the picture's width and height; pane -1 between the panes.
    struct Hit {
        int pane = -1;
        double u = 0.0;
        double v = 0.0;
    };
    Hit HitTest(QPointF boardPoint) const;

    // Where pane `pane`'s picture lies on the board (empty before the first Compose).
    QRect PaneRect(int pane) const;

private:
    QSize PaneContentSize(int pane) const;
    void DrawPage(int pane, double nowSec);
    void DrawLive(const CxImage& live, const QRect& liveShown);

    std::vector<std::unique_ptr<KeptPage>> pages_;
    std::vector<std::unique_ptr<KeptPage>> retired_;  // cleared pages, freed by the next Compose
    int alone_ = kGrid;
    CxImage board_;
    bool boardIntact_ = false;  // the pages' panes and the grey between them are on the board
    QSize liveSize_;            // the live shown part's size at the last Compose
    DisplayScaler liveScaler_;
};

}  // namespace vistrela
