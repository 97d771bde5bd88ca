#pragma once
// Marks a block of memory handed from one thread to another through a library that
// ThreadSanitizer cannot see into (GStreamer's queues and appsink lock with GLib's own futexes).
// The sending thread calls HandOffSend after its last write, the receiving thread
// HandOffReceived before its first read, both with the block's address; the detector then
// orders the two. Without it every frame written by one of our sources and read by the user
// interface is a reported race, and reporting them costs the detector more per frame than the
// frame interval. In other builds both do nothing.

#if defined(__SANITIZE_THREAD__)
#define VISTRELA_HAND_OFF_ANNOTATED 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define VISTRELA_HAND_OFF_ANNOTATED 1
#endif
#endif

#ifdef VISTRELA_HAND_OFF_ANNOTATED
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace vistrela {

inline void HandOffSend([[maybe_unused]] const void* block) {
#ifdef VISTRELA_HAND_OFF_ANNOTATED
    __tsan_release(const_cast<void*>(block));
#endif
}

inline void HandOffReceived([[maybe_unused]] const void* block) {
#ifdef VISTRELA_HAND_OFF_ANNOTATED
    __tsan_acquire(const_cast<void*>(block));
#endif
}

}  // namespace vistrela
