#include "recording/frame_pool.h"

#include <algorithm>

namespace vistrela {

FramePool::FramePool(int count, std::size_t bytesPerFrame) {
    count = std::max(count, 1);
    frames_.reserve(static_cast<std::size_t>(count));
    free_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        frames_.push_back(std::make_unique<Frame>());
        frames_.back()->bytes.resize(bytesPerFrame);
        free_.push_back(frames_.back().get());
    }
}

FramePool::Frame* FramePool::Acquire() {
    std::unique_lock lock(mutex_);
    freed_.wait(lock, [this] { return closed_ || !free_.empty(); });
    if (closed_) return nullptr;
    Frame* frame = free_.back();
    free_.pop_back();
    return frame;
}

FramePool::Frame* FramePool::TryAcquire() {
    std::lock_guard lock(mutex_);
    if (closed_ || free_.empty()) return nullptr;
    Frame* frame = free_.back();
    free_.pop_back();
    return frame;
}

void FramePool::Submit(Frame* frame) {
    {
        std::lock_guard lock(mutex_);
        waiting_.push_back(frame);
    }
    submitted_.notify_one();
}

void FramePool::Close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    submitted_.notify_all();
    freed_.notify_all();
}

FramePool::Frame* FramePool::Next() {
    std::unique_lock lock(mutex_);
    submitted_.wait(lock, [this] { return closed_ || !waiting_.empty(); });
    if (waiting_.empty()) return nullptr;
    Frame* frame = waiting_.front();
    waiting_.pop_front();
    return frame;
}

void FramePool::Release(Frame* frame) {
    {
        std::lock_guard lock(mutex_);
        free_.push_back(frame);
    }
    freed_.notify_one();
}

int FramePool::busyCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(frames_.size() - free_.size());
}

}  // namespace vistrela
