#pragma once
// A fixed-size queue between exactly one producing and one consuming thread,
// with no lock and no allocation after construction: what the sound card's
// real-time thread may touch. Push fails when the ring is full, Pop when it
// is empty; neither ever waits.

#include <array>
#include <atomic>
#include <cstddef>

namespace NSAudio {

template <class T, size_t N> class TSpscRing {
    static_assert(N >= 2 && (N & (N - 1)) == 0, "the capacity is a power of two");

public:
    // Producer side.
    bool Push(const T& value) {
        const size_t tail = Tail.load(std::memory_order_relaxed);
        if (tail - Head.load(std::memory_order_acquire) == N)
            return false;
        Slots[tail & (N - 1)] = value;
        Tail.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Consumer side.
    bool Pop(T& value) {
        const size_t head = Head.load(std::memory_order_relaxed);
        if (head == Tail.load(std::memory_order_acquire))
            return false;
        value = Slots[head & (N - 1)];
        Head.store(head + 1, std::memory_order_release);
        return true;
    }
    // The oldest entry without taking it; null when empty. Consumer side.
    T* Front() {
        const size_t head = Head.load(std::memory_order_relaxed);
        if (head == Tail.load(std::memory_order_acquire))
            return nullptr;
        return &Slots[head & (N - 1)];
    }

    // Entries waiting; consumer side (exact but for pushes under way).
    size_t Size() const {
        return Tail.load(std::memory_order_acquire) - Head.load(std::memory_order_relaxed);
    }

    // Either side; exact only while the other side is quiet.
    bool Empty() const {
        return Head.load(std::memory_order_acquire) == Tail.load(std::memory_order_acquire);
    }
    static constexpr size_t Capacity() { return N; }

private:
    std::array<T, N> Slots{};
    // Apart, so the two threads do not share a cache line for them.
    alignas(64) std::atomic<size_t> Head{0}; // next to pop
    alignas(64) std::atomic<size_t> Tail{0}; // next to push
};

} // namespace NSAudio
