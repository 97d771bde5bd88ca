#pragma once
// A fixed set of picture buffers that carries pictures from the thread that fills them (the
// producer) to one thread that consumes them, in order.
//
// Every buffer is allocated up front, so memory stays bounded. When all of them are filled and
// waiting, or held by the consumer, Acquire waits until the consumer releases one: the producer
// is slowed to the consumer's pace, and no picture is dropped or queued without bound.
//
// Threads: Acquire, TryAcquire, Submit and Close belong to the producer; Next to the consumer;
// Release and busyCount to either. A Frame belongs to whoever acquired it or took it from Next
// until it is submitted or released; the pool touches neither its bytes nor its index.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

namespace vistrela {

class FramePool {
public:
    struct Frame {
        std::vector<std::uint8_t> bytes;  // the picture, laid out as producer and consumer agree
        std::int64_t index = 0;           // the producer's number for the picture
    };

    // `count` buffers (at least 1) of `bytesPerFrame` bytes each, zero-filled. Throws
    // std::bad_alloc when they cannot be allocated.
    FramePool(int count, std::size_t bytesPerFrame);
    FramePool(const FramePool&) = delete;
    FramePool& operator=(const FramePool&) = delete;

    // A free buffer, waiting until one is free; nullptr once Close was called.
    Frame* Acquire();
    // A free buffer, or nullptr when none is free now.
    Frame* TryAcquire();
    // Hands a filled buffer to the consumer, behind those submitted before.
    void Submit(Frame* frame);
    // No more submissions: Next returns what was submitted, then nullptr.
    void Close();

    // The oldest submitted buffer, waiting until there is one; nullptr when closed and empty.
    Frame* Next();
    // Gives a buffer back to the free ones (from Next, or acquired and not submitted).
    void Release(Frame* frame);

    // Buffers not free: acquired, submitted and not yet released.
    int busyCount() const;

private:
    std::vector<std::unique_ptr<Frame>> frames_;  // owns every buffer; fixed after construction
    mutable std::mutex mutex_;
    std::condition_variable freed_;
    std::condition_variable submitted_;
    std::vector<Frame*> free_;    // guarded by mutex_
    std::deque<Frame*> waiting_;  // guarded by mutex_; submitted, oldest first
    bool closed_ = false;         // guarded by mutex_
};

}  // namespace vistrela
