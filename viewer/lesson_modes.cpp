#include "viewer/lesson_modes.h"

#include <algorithm>
#include <cstdlib>

namespace vistrela {

namespace {

// A press and release closer than this (video-area pixels) is a click on a pane, not a stroke.
constexpr int kClickSlop = 4;

// A pane hit in its page's pixels, with the page's area for the page's ink tools (its view
// shows the page whole, at zoom 1).
struct PagePoint {
    VideoArea area;
    int x = 0;
    int y = 0;
};
PagePoint OnPage(const KeptPage& page, const CompareBoard::Hit& hit) {
    const VideoArea area{page.picture.GetWidth(), page.picture.GetHeight()};
    return {area, int(hit.u * area.width), int(hit.v * area.height)};
}

}  // namespace

void LessonModes::KeepPage() {
    if (board_.PageCount() >= CompareBoard::kMaxPages) {
        LeaveCompare();
        return;
    }
    keepPending_ = true;
}

void LessonModes::LeaveCompare() {
    keepPending_ = false;
    if (drag_ == Drag::PageStroke || drag_ == Drag::Click) drag_ = Drag::None;
    board_.Clear();
    inkPane_ = CompareBoard::kLivePane;
}

bool LessonModes::StepPages(int direction) {
    if (!board_.Active()) return false;
    board_.Step(direction);
    return true;
}

void LessonModes::PageStep(int direction) {
    if (StepPages(direction)) return;
    if ((direction > 0) != freeze_.Frozen()) freeze_.Toggle();
}

void LessonModes::ToggleSpotlight() {
    spotlight_.on = !spotlight_.on;
    if (spotlight_.on && out_.geometry.destRect.contains(pointer_)) PlaceShade(pointer_, true);
}

void LessonModes::ToggleCurtain() {
    curtain_.on = !curtain_.on;
    curtain_.revealed = 0.0;
}

bool LessonModes::EscapeStep() {
    if (board_.Active()) {
        LeaveCompare();
    } else if (blank_) {
        blank_ = false;
    } else if (spotlight_.on) {
        spotlight_.on = false;
    } else if (curtain_.on) {
        curtain_.on = false;
    } else {
        return false;
    }
    return true;
}

const LessonModes::Output& LessonModes::Finish(CxImage& frameImage, const FrameGeometry& live,
                                               double nowSec) {
    live_ = live;
    if (keepPending_) {
        keepPending_ = false;
        board_.Keep(frameImage, live.sourceRect);
    }
    out_ = {&frameImage, live, true};
    if (CxImage* board = board_.Compose(frameImage, live.sourceRect, nowSec)) {
        const QSize size(board->GetWidth(), board->GetHeight());
        FrameGeometry& g = out_.geometry;
        g.pictureWidth = g.srcWidth = size.width();
        g.pictureHeight = g.srcHeight = size.height();
        g.srcX = g.srcY = 0;
        g.sourceRect = QRect(QPoint(0, 0), size);
        g.destRect = FitRect(size, QRect(0, 0, live.area.width, live.area.height));
        out_.image = board;
        out_.live = false;
    }
    if (spotlight_.on) DrawSpotlight(*out_.image, out_.geometry.sourceRect, spotlight_);
    if (curtain_.on) DrawCurtain(*out_.image, out_.geometry.sourceRect, curtain_);
    if (!out_.live && (spotlight_.on || curtain_.on)) board_.Damaged();
    return out_;
}

QPointF LessonModes::Fraction(QPoint at) const {
    const QRect& d = out_.geometry.destRect;
    if (d.isEmpty()) return {};
    return {(at.x() - d.left() + 0.5) / d.width(), (at.y() - d.top() + 0.5) / d.height()};
}

CompareBoard::Hit LessonModes::PaneAt(QPoint at, int pane) const {
    const int alone = board_.Alone();
    const QPointF f = Fraction(at);
    if (alone != CompareBoard::kGrid) return {alone, f.x(), f.y()};
    const QRect& s = out_.geometry.sourceRect;
    const QPointF onBoard(s.left() + f.x() * s.width(), s.top() + f.y() * s.height());
    if (pane < 0) return board_.HitTest(onBoard);
    const QRect rect = board_.PaneRect(pane);
    if (rect.isEmpty()) return {};
    return {pane, (onBoard.x() - rect.left()) / rect.width(),
            (onBoard.y() - rect.top()) / rect.height()};
}

QPoint LessonModes::OnLive(QPoint at) const {
    // Compare may end in the middle of a stroke on the live pane (Escape): the rest of the
    // stroke is on the live picture shown alone.
    if (!board_.Active() || board_.Alone() == CompareBoard::kLivePane) return at;
    const CompareBoard::Hit hit = PaneAt(at, CompareBoard::kLivePane);
    const QRect& d = live_.destRect;
    return {d.left() + int(hit.u * d.width()), d.top() + int(hit.v * d.height())};
}

KeptPage* LessonModes::StrokePage() {
    if (strokePane_ < 1 || strokePane_ > board_.PageCount()) return nullptr;
    return &board_.Page(strokePane_);
}

void LessonModes::StartStroke(LiveInk live) {
    const CompareBoard::Hit hit = PaneAt(pressAt_);
    strokePane_ = hit.pane;
    drag_ = Drag::None;
    if (hit.pane < 0) return;
    inkPane_ = hit.pane;
    if (hit.pane == CompareBoard::kLivePane) {
        drag_ = Drag::LiveStroke;
        const QPoint onLive = OnLive(pressAt_);
        live.tools.Press(live.view, live.pipe, live.area, onLive.x(), onLive.y(), straight_);
        return;
    }
    KeptPage& page = *StrokePage();
    // A page inks with the tool and ink chosen for the live picture.
    page.pipe.drawMode = live.pipe.drawMode;
    page.tools.SetStyle(live.tools.Style());
    const PagePoint p = OnPage(page, hit);
    page.tools.Press(page.view, page.pipe, p.area, p.x, p.y, straight_);
    drag_ = Drag::PageStroke;
}

void LessonModes::StrokeTo(LiveInk live, QPoint at, bool leftHeld) {
    if (drag_ == Drag::LiveStroke) {
        const QPoint onLive = OnLive(at);
        live.tools.Move(live.view, live.pipe, live.area, onLive.x(), onLive.y(), leftHeld);
        return;
    }
    KeptPage* page = StrokePage();
    if (page == nullptr) return;
    const CompareBoard::Hit hit = PaneAt(at, strokePane_);
    const PagePoint p = OnPage(*page, hit);
    page->tools.Move(page->view, page->pipe, p.area, p.x, p.y, leftHeld);
    board_.InkChanged(strokePane_);
}

void LessonModes::PlaceShade(QPoint at, bool spotlight) {
    const QPointF f = Fraction(at);
    if (!spotlight) {
        curtain_.revealed = std::clamp(f.y(), 0.0, 1.0);
        return;
    }
    spotlight_.centreX = std::clamp(f.x(), 0.0, 1.0);
    spotlight_.centreY = std::clamp(f.y(), 0.0, 1.0);
}

bool LessonModes::Press(QPoint at, bool shift) {
    if (drag_ != Drag::None) return true;
    if (spotlight_.on || curtain_.on) {
        drag_ = spotlight_.on ? Drag::Spotlight : Drag::Curtain;
        PlaceShade(at, spotlight_.on);
        return true;
    }
    if (!board_.Active()) return false;
    drag_ = Drag::Click;
    pressAt_ = at;
    straight_ = shift;
    return true;
}

bool LessonModes::Move(LiveInk live, QPoint at, bool leftHeld) {
    pointer_ = at;
    switch (drag_) {
        case Drag::Spotlight:
        case Drag::Curtain:
            if (leftHeld)
                PlaceShade(at, drag_ == Drag::Spotlight);
            else
                drag_ = Drag::None;
            return true;
        case Drag::Click:
            if (!leftHeld) {
                drag_ = Drag::None;
                return true;
            }
            if (std::abs(at.x() - pressAt_.x()) + std::abs(at.y() - pressAt_.y()) < kClickSlop)
                return true;
            StartStroke(live);
            if (drag_ == Drag::None) return true;
            StrokeTo(live, at, leftHeld);
            return true;
        case Drag::LiveStroke:
        case Drag::PageStroke:
            StrokeTo(live, at, leftHeld);
            return true;
        case Drag::None:
            // In the grid or on a page the live picture's marker has no place to follow.
            return board_.Active() && board_.Alone() != CompareBoard::kLivePane;
    }
    return false;
}

bool LessonModes::Release(LiveInk live) {
    const Drag drag = drag_;
    drag_ = Drag::None;
    switch (drag) {
        case Drag::None:
            return false;
        case Drag::Click:
            if (board_.Alone() != CompareBoard::kGrid) {
                board_.ShowAlone(CompareBoard::kGrid);
            } else if (const CompareBoard::Hit hit = PaneAt(pressAt_); hit.pane >= 0) {
                board_.ShowAlone(hit.pane);
            }
            return true;
        case Drag::LiveStroke:
            live.tools.Release(live.view, live.pipe);
            return true;
        case Drag::PageStroke:
            if (KeptPage* page = StrokePage()) {
                page->tools.Release(page->view, page->pipe);
                board_.InkChanged(strokePane_);
            }
            return true;
        case Drag::Spotlight:
        case Drag::Curtain:
            return true;
    }
    return true;
}

bool LessonModes::Wheel(int delta, bool shift) {
    if (!spotlight_.on || !shift) return false;
    ResizeSpotlight(spotlight_, delta);
    return true;
}

int LessonModes::InkPage() const {
    return board_.Active() && inkPane_ >= 1 && inkPane_ <= board_.PageCount() ? inkPane_ : 0;
}

bool LessonModes::InkStep(LiveInk live, InkStepFn step) {
    if (const int pane = InkPage()) {
        KeptPage& page = board_.Page(pane);
        const bool done = (page.tools.*step)(page.view, page.pipe);
        board_.InkChanged(pane);
        return done;
    }
    return (live.tools.*step)(live.view, live.pipe);
}

bool LessonModes::Undo(LiveInk live) {
    return InkStep(live, &AnnotationTools::Undo);
}

bool LessonModes::Redo(LiveInk live) {
    return InkStep(live, &AnnotationTools::Redo);
}

bool LessonModes::CanUndo(const AnnotationTools& live) const {
    const int pane = InkPage();
    return pane ? board_.Page(pane).tools.CanUndo() : live.CanUndo();
}

bool LessonModes::CanRedo(const AnnotationTools& live) const {
    const int pane = InkPage();
    return pane ? board_.Page(pane).tools.CanRedo() : live.CanRedo();
}

}  // namespace vistrela
