#pragma once
// The one place that initialises GStreamer. Every media-layer entry point that touches
// GStreamer calls EnsureGStreamer() first; the first call runs gst_init, later calls return
// at once. Safe from any thread.

namespace vistrela {

void EnsureGStreamer();

}  // namespace vistrela
