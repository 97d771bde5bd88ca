#include "viewer/frame_freeze.h"

#include <cstring>

namespace vistrela {

void FrameFreeze::Toggle() {
    if (state_ == State::Live)
        state_ = State::Pending;
    else
        Release();
}

void FrameFreeze::Release() {
    state_ = State::Live;
    held_.clear();
    held_.shrink_to_fit();
    heldView_ = FrameView{};
}

FrameView FrameFreeze::Select(const FrameView& live) {
    if (state_ == State::Pending && live.complete()) {
        // Rows packed tightly: the copy holds exactly the picture.
        const std::size_t rowBytes = static_cast<std::size_t>(live.width) * 3;
        held_.resize(rowBytes * static_cast<std::size_t>(live.height));
        for (int y = 0; y < live.height; ++y)
            std::memcpy(held_.data() + rowBytes * static_cast<std::size_t>(y),
                        live.data + static_cast<std::size_t>(live.strideBytes) * y, rowBytes);
        heldView_ = FrameView{held_.data(), held_.size(), live.width, live.height,
                              static_cast<int>(rowBytes)};
        state_ = State::Held;
    }
    return state_ == State::Held ? heldView_ : live;
}

}  // namespace vistrela
