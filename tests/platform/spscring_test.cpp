// The real-time ring: against a plain queue over a random sequence of pushes
// and pops, and between two threads, where every value must arrive once and
// in order.

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <random>
#include <thread>

#include "platform/spscring.h"

using NSAudio::TSpscRing;

TEST(SpscRing, BehavesAsABoundedQueue) {
    TSpscRing<int, 8> ring;
    std::deque<int> model;
    std::mt19937 random(22);
    int next = 0;
    for (int step = 0; step < 100000; ++step) {
        // Runs of pushes and of pops, so the ring is often full and empty.
        if (random() % 16 < 9) {
            const bool pushed = ring.Push(next);
            ASSERT_EQ(pushed, model.size() < 8) << step;
            if (pushed)
                model.push_back(next);
            ++next;
        } else {
            int value = -1;
            int* front = ring.Front();
            ASSERT_EQ(front != nullptr, !model.empty()) << step;
            const bool popped = ring.Pop(value);
            ASSERT_EQ(popped, !model.empty()) << step;
            if (popped) {
                EXPECT_EQ(*front, model.front());
                ASSERT_EQ(value, model.front()) << step;
                model.pop_front();
            }
        }
        ASSERT_EQ(ring.Empty(), model.empty());
    }
}

TEST(SpscRing, EveryValueCrossesBetweenTwoThreadsOnceAndInOrder) {
    TSpscRing<uint64_t, 64> ring;
    constexpr uint64_t Count = 200'000;
    std::thread producer([&] {
        for (uint64_t i = 0; i < Count;)
            if (ring.Push(i * 2654435761u))
                ++i;
            else
                std::this_thread::yield();
    });
    uint64_t wrong = 0, got = 0;
    while (got < Count) {
        uint64_t value = 0;
        if (ring.Pop(value))
            wrong += value != got++ * 2654435761u;
        else
            std::this_thread::yield();
    }
    producer.join();
    EXPECT_EQ(wrong, 0u);
    EXPECT_TRUE(ring.Empty());
}
