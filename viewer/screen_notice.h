#pragma once
// A short notice over the picture on screen, in full screen too: what a save did, or that
// something the user asked for could not be done. The video area paints it over the shown
// picture, so it never reaches a saved picture or a movie. A notice shows for a while; a
// failure stays until the next click in the window. A plain value of the view; UI thread only.

#include <string>

namespace vistrela {

inline constexpr double kNoticeSeconds = 4.0;

class ScreenNotice {
public:
    // Shows `text` (lines separated by '\n') for kNoticeSeconds from `nowSec`.
    void Post(std::string text, double nowSec);
    // Shows `text` until Dismiss, whatever the time.
    void PostFailure(std::string text);
    // A click in the window: a failure has been seen.
    void Dismiss() { failure_ = false, untilSec_ = 0.0; }

    // The text shown at `nowSec`, empty when none is.
    std::string ShownText(double nowSec) const;
    bool Failure() const { return failure_; }

private:
    std::string text_;
    double untilSec_ = 0.0;
    bool failure_ = false;
};

}  // namespace vistrela
