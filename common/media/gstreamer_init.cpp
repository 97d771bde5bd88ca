#include "common/media/gstreamer_init.h"

#include <gst/gst.h>

#include <mutex>

namespace vistrela {

void EnsureGStreamer() {
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

}  // namespace vistrela
