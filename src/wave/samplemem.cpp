#include "wave/samplemem.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace NSWave {

namespace {

constexpr size_t HugePage = size_t(2) << 20;

bool IsLarge(size_t count) {
    return count >= LargeSampleArray;
}

size_t MappedBytes(size_t count) {
    return (count * sizeof(int32_t) + HugePage - 1) & ~(HugePage - 1);
}

// Reserves `bytes` of fresh memory at a 2 MB boundary.
void* MapAligned(size_t bytes) {
    void* raw =
        mmap(nullptr, bytes + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    auto base = reinterpret_cast<uintptr_t>(raw);
    uintptr_t aligned = (base + HugePage - 1) & ~(HugePage - 1);
    if (aligned > base)
        munmap(raw, aligned - base);
    size_t tail = (base + bytes + HugePage) - (aligned + bytes);
    if (tail)
        munmap(reinterpret_cast<void*>(aligned + bytes), tail);
    madvise(reinterpret_cast<void*>(aligned), bytes, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

} // namespace

int32_t* AllocSamples(size_t count) {
    if (count == 0)
        return nullptr;
    if (IsLarge(count))
        return static_cast<int32_t*>(MapAligned(MappedBytes(count)));
    void* p = std::malloc(count * sizeof(int32_t));
    if (!p)
        throw std::bad_alloc();
    return static_cast<int32_t*>(p);
}

void FreeSamples(int32_t* samples, size_t count) {
    if (!samples)
        return;
    if (IsLarge(count))
        munmap(samples, MappedBytes(count));
    else
        std::free(samples);
}

int32_t* ReallocSamples(int32_t* samples, size_t oldCount, size_t newCount, size_t* freshFrom) {
    *freshFrom = newCount;
    if (!samples) {
        int32_t* fresh = AllocSamples(newCount);
        if (IsLarge(newCount))
            *freshFrom = 0;
        return fresh;
    }
    if (IsLarge(oldCount) && IsLarge(newCount)) {
        size_t oldBytes = MappedBytes(oldCount), newBytes = MappedBytes(newCount);
        if (newBytes <= oldBytes) {
            if (newBytes < oldBytes)
                munmap(reinterpret_cast<char*>(samples) + newBytes, oldBytes - newBytes);
            return samples;
        }
        // Move the old pages into a fresh aligned reservation of the new size;
        // the pages beyond the old mapping are new and read as zero.
        void* target = MapAligned(newBytes);
        void* moved = mremap(samples, oldBytes, oldBytes, MREMAP_MAYMOVE | MREMAP_FIXED, target);
        if (moved == MAP_FAILED) {
            munmap(target, newBytes);
            throw std::bad_alloc();
        }
        *freshFrom = oldBytes / sizeof(int32_t);
        return static_cast<int32_t*>(moved);
    }
    if (!IsLarge(oldCount) && !IsLarge(newCount)) {
        void* p = std::realloc(samples, newCount * sizeof(int32_t));
        if (!p)
            throw std::bad_alloc();
        return static_cast<int32_t*>(p);
    }
    int32_t* fresh = AllocSamples(newCount);
    std::memcpy(fresh, samples, std::min(oldCount, newCount) * sizeof(int32_t));
    FreeSamples(samples, oldCount);
    if (IsLarge(newCount))
        *freshFrom = oldCount;
    return fresh;
}

} // namespace NSWave
