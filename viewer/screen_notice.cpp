#include "viewer/screen_notice.h"

#include <utility>

namespace vistrela {

void ScreenNotice::Post(std::string text, double nowSec) {
    text_ = std::move(text);
    untilSec_ = nowSec + kNoticeSeconds;
    failure_ = false;
}

void ScreenNotice::PostFailure(std::string text) {
    text_ = std::move(text);
    untilSec_ = 0.0;
    failure_ = true;
}

std::string ScreenNotice::ShownText(double nowSec) const {
    return failure_ || nowSec < untilSec_ ? text_ : std::string();
}

}  // namespace vistrela
