#include "wave/samplemem.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23 // Linux 5.14
#endif

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

// The innermost live reuse scope of this thread, and the arrays it keeps
// (mapped bytes each; 0 for an empty place).
struct TKept {
    void* Base = nullptr;
    size_t Bytes = 0;
};
constexpr int KeptArrays = 2;
thread_local TReuseFreed* ReuseScope = nullptr;
thread_local TKept Kept[KeptArrays];

void* TakeKept(size_t bytes) {
    if (!ReuseScope)
        return nullptr;
    for (TKept& k : Kept)
        if (k.Base && k.Bytes == bytes)
            return std::exchange(k.Base, nullptr);
    return nullptr;
}

bool Keep(void* base, size_t bytes) {
    if (!ReuseScope)
        return false;
    for (TKept& k : Kept)
        if (!k.Base) {
            k = {base, bytes};
            return true;
        }
    return false;
}

// Fresh pages only: the callers rely on their reading as zero.
int32_t* MapFresh(size_t count) {
    return static_cast<int32_t*>(MapAligned(MappedBytes(count)));
}

} // namespace

TReuseFreed::TReuseFreed() : Outer(ReuseScope) {
    ReuseScope = this;
}

TReuseFreed::~TReuseFreed() {
    ReuseScope = Outer;
    if (Outer)
        return;
    for (TKept& k : Kept)
        if (k.Base)
            munmap(std::exchange(k.Base, nullptr), k.Bytes);
}

int32_t* AllocSamples(size_t count) {
    if (count == 0)
        return nullptr;
    if (IsLarge(count)) {
        if (void* kept = TakeKept(MappedBytes(count)))
            return static_cast<int32_t*>(kept);
        return MapFresh(count);
    }
    void* p = std::malloc(count * sizeof(int32_t));
    if (!p)
        throw std::bad_alloc();
    return static_cast<int32_t*>(p);
}

void FreeSamples(int32_t* samples, size_t count) {
    if (!samples)
        return;
    if (IsLarge(count)) {
        if (!Keep(samples, MappedBytes(count)))
            munmap(samples, MappedBytes(count));
    } else
        std::free(samples);
}

int32_t* ReallocSamples(int32_t* samples, size_t oldCount, size_t newCount, size_t* freshFrom) {
    *freshFrom = newCount;
    if (!samples) {
        if (!IsLarge(newCount))
            return AllocSamples(newCount);
        *freshFrom = 0;
        return MapFresh(newCount);
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
    int32_t* fresh = IsLarge(newCount) ? MapFresh(newCount) : AllocSamples(newCount);
    std::memcpy(fresh, samples, std::min(oldCount, newCount) * sizeof(int32_t));
    FreeSamples(samples, oldCount);
    if (IsLarge(newCount))
        *freshFrom = oldCount;
    return fresh;
}

namespace {

// How far a paced helper runs ahead, and how much it faults in per step
// (what Stop() waits for at most).
constexpr size_t AheadBytes = size_t(64) << 20;
constexpr size_t StepBytes = 4 * HugePage;
// Less than this is faulted in about as fast as a thread starts.
constexpr size_t WorthBytes = size_t(32) << 20;

std::atomic<bool> PopulateRefused{false};

// Makes the pages of [begin, end) present and writable without changing
// them: the kernel's populate call, or, where the kernel refuses it, a
// locked add of zero to one word of each page (a no-op that a concurrent
// writer cannot be hurt by).
bool Populate(int32_t* begin, int32_t* end) {
    if (begin >= end)
        return true;
    static const uintptr_t page = uintptr_t(sysconf(_SC_PAGESIZE));
    if (!PopulateRefused.load(std::memory_order_relaxed)) {
        const uintptr_t from = reinterpret_cast<uintptr_t>(begin) & ~(page - 1);
        const uintptr_t to = (reinterpret_cast<uintptr_t>(end) + page - 1) & ~(page - 1);
        if (madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE) == 0)
            return true;
        if (errno != EINVAL)
            return false; // out of memory: the writer meets it itself
        PopulateRefused.store(true, std::memory_order_relaxed);
    }
    for (int32_t* p = begin; p < end;
         p = reinterpret_cast<int32_t*>((reinterpret_cast<uintptr_t>(p) | (page - 1)) + 1))
        std::atomic_ref<int32_t>(*p).fetch_add(0, std::memory_order_relaxed);
    return true;
}

} // namespace

struct TFaultAhead::TState {
    std::vector<int32_t*> Arrays;
    size_t From = 0, To = 0, Ahead = 0;
    bool Paced = false;
    std::atomic<size_t> WrittenTo{0};
    std::atomic<bool> Waiting{false};
    std::atomic<bool> Stopping{false};
    std::mutex Lock;
    std::condition_variable Wake;
    std::thread Helper;

    void Run() {
        const size_t step = std::max<size_t>(1, StepBytes / sizeof(int32_t));
        for (size_t next = From; next < To && !Stopping.load();) {
            size_t limit = To;
            if (Paced) {
                limit = std::min(To, WrittenTo.load() + Ahead);
                if (next >= limit) {
                    std::unique_lock<std::mutex> lock(Lock);
                    Waiting.store(true);
                    Wake.wait(lock,
                              [&] { return Stopping.load() || WrittenTo.load() + Ahead > next; });
                    Waiting.store(false);
                    continue;
                }
            }
            const size_t end = std::min(limit, next + step);
            for (int32_t* array : Arrays)
                if (!Populate(array + next, array + end))
                    return;
            next = end;
        }
    }
};

TFaultAhead::TFaultAhead() = default;

TFaultAhead::~TFaultAhead() {
    Stop();
}

void TFaultAhead::Start(const std::vector<int32_t*>& arrays, size_t from, size_t to, bool paced) {
    Stop();
    if (to <= from || arrays.empty() || (to - from) * sizeof(int32_t) * arrays.size() < WorthBytes)
        return;
    State = std::make_unique<TState>();
    State->Arrays = arrays;
    State->From = from;
    State->To = to;
    State->Paced = paced;
    State->Ahead = std::max<size_t>(1, AheadBytes / sizeof(int32_t) / arrays.size());
    State->WrittenTo = from;
    try {
        State->Helper = std::thread([state = State.get()] { state->Run(); });
    } catch (const std::system_error&) {
        State.reset(); // no thread to spare: the writer faults its pages itself
    }
}

void TFaultAhead::Written(size_t index) {
    if (!State)
        return;
    State->WrittenTo.store(index);
    if (State->Waiting.load()) {
        std::lock_guard<std::mutex> lock(State->Lock);
        State->Wake.notify_one();
    }
}

void TFaultAhead::Stop() {
    if (!State)
        return;
    {
        std::lock_guard<std::mutex> lock(State->Lock);
        State->Stopping.store(true);
        State->Wake.notify_one();
    }
    State->Helper.join();
    State.reset();
}

} // namespace NSWave
