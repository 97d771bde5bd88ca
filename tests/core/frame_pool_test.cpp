#include "recording/frame_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

using namespace vistrela;

TEST(FramePool, HoldsNoMoreThanItsBuffersAndHandsThemOnInOrder) {
    FramePool pool(3, 16);
    std::vector<FramePool::Frame*> taken;
    for (int i = 0; i < 3; ++i) taken.push_back(pool.TryAcquire());
    EXPECT_EQ(std::count(taken.begin(), taken.end(), nullptr), 0);
    EXPECT_EQ(pool.TryAcquire(), nullptr);  // all three filled or in use
    EXPECT_EQ(pool.busyCount(), 3);

    for (int i = 0; i < 3; ++i) {
        taken[i]->index = i;
        pool.Submit(taken[i]);
    }
    FramePool::Frame* first = pool.Next();
    EXPECT_EQ(first->index, 0);
    EXPECT_EQ(pool.TryAcquire(), nullptr);  // the consumer still holds it
    pool.Release(first);
    FramePool::Frame* again = pool.TryAcquire();
    EXPECT_EQ(again, first);
    pool.Release(again);

    // Closing lets the consumer take what was submitted, then tells it the end.
    pool.Close();
    EXPECT_EQ(pool.Next()->index, 1);
    EXPECT_EQ(pool.Next()->index, 2);
    EXPECT_EQ(pool.Next(), nullptr);
    EXPECT_EQ(pool.Acquire(), nullptr);
}

TEST(FramePool, ProducerWaitsForTheConsumerAndNoPictureIsLostOrOverwritten) {
    constexpr int kPictures = 500;
    FramePool pool(3, 4096);
    std::vector<int> seen;
    bool intact = true;
    std::thread consumer([&] {
        while (FramePool::Frame* frame = pool.Next()) {
            // A buffer refilled while the consumer holds it would change under this check.
            const auto expected = static_cast<std::uint8_t>(frame->index);
            std::this_thread::yield();
            intact = intact && std::all_of(frame->bytes.begin(), frame->bytes.end(),
                                           [&](std::uint8_t b) { return b == expected; });
            seen.push_back(static_cast<int>(frame->index));
            pool.Release(frame);
        }
    });
    for (int i = 0; i < kPictures; ++i) {
        FramePool::Frame* frame = pool.Acquire();
        if (frame == nullptr) break;  // the count below fails
        std::fill(frame->bytes.begin(), frame->bytes.end(), static_cast<std::uint8_t>(i));
        frame->index = i;
        pool.Submit(frame);
    }
    pool.Close();
    consumer.join();
    EXPECT_TRUE(intact);
    ASSERT_EQ(seen.size(), static_cast<std::size_t>(kPictures));
    for (int i = 0; i < kPictures; ++i) EXPECT_EQ(seen[i], i);
    EXPECT_EQ(pool.busyCount(), 0);
}
