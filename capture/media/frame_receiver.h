#pragma once
// The receiver of the capture pipeline's frames (the main window). Both calls come on the
// user-interface thread, never nested: while frameReady runs, no other frame is delivered,
// even if the handler runs a nested event loop.

#include <string>

#include "viewer/frame.h"

namespace vistrela {

struct FrameReceiver {
    virtual ~FrameReceiver() = default;
    // One frame; the bytes are valid only until the call returns.
    virtual void frameReady(const FrameView& frame) = 0;
    // The pipeline posted an error or frames stopped coming. Called at most once per open;
    // the receiver may close the capture from inside this call.
    virtual void captureFailed(const std::string& reason) = 0;
};

}  // namespace vistrela
