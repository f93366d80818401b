#pragma once
// Memory for channel sample arrays.
//
// Small arrays come from the C heap. Large ones are mapped directly, aligned
// to 2 MB and marked for transparent huge pages: fresh memory then faults in
// many times faster, and growing or shrinking one moves its pages with
// mremap instead of copying the samples. Fresh pages of a large array read
// as zero.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace NSWave {

// Arrays of at least this many samples are mapped.
constexpr size_t LargeSampleArray = 1u << 20;

// Uninitialised: inside a TReuseFreed scope a large array may be one freed
// there, holding its old samples.
int32_t* AllocSamples(size_t count);
void FreeSamples(int32_t* samples, size_t count);

// While one is alive, large arrays freed on its thread are kept (two at
// most) instead of unmapped, and AllocSamples of the same mapped size takes
// them back: an undo record built right after its predecessor left the
// history reuses that one's memory, already faulted in, rather than fresh
// pages. What is still kept when the scope ends is unmapped then, so no
// memory outlives it.
class TReuseFreed {
public:
    TReuseFreed();
    ~TReuseFreed();
    TReuseFreed(const TReuseFreed&) = delete;
    TReuseFreed& operator=(const TReuseFreed&) = delete;

private:
    TReuseFreed* Outer;
};
// Gives an array of newCount samples holding the first min(oldCount,
// newCount) samples of the old one; the old array is gone afterwards.
// *freshFrom receives the first index from which the new array is known to
// read as zero (newCount when nothing is known).
int32_t* ReallocSamples(int32_t* samples, size_t oldCount, size_t newCount, size_t* freshFrom);

// Faults in the pages of large arrays on a helper thread, ahead of the code
// that first writes them from their start: the kernel's zeroing of fresh
// pages (most of the time of a first write) then runs beside the writing
// instead of inside it. The helper only makes pages present; it never reads
// or changes a sample. The arrays must not move or be freed while it runs:
// Stop() first (the destructor stops too).
class TFaultAhead {
public:
    TFaultAhead();
    ~TFaultAhead();
    TFaultAhead(const TFaultAhead&) = delete;
    TFaultAhead& operator=(const TFaultAhead&) = delete;

    // Starts on samples [from, to) of each array, written in step; nothing
    // starts for a part too small to gain from it. An unpaced helper runs
    // as fast as it can (the writer will fill the whole part); a `paced`
    // one keeps at most 64 MB ahead of what Written() last reported (the
    // part may be more than the writer will need).
    void Start(const std::vector<int32_t*>& arrays, size_t from, size_t to, bool paced);
    // The writer has written every array up to `index`.
    void Written(size_t index);
    void Stop();

private:
    struct TState;
    std::unique_ptr<TState> State;
};

// Runs `write`, which first-writes samples [0, count) from the start, with
// their pages faulted in ahead of it.
template <class F> void FirstWrite(int32_t* samples, size_t count, F&& write) {
    TFaultAhead ahead;
    ahead.Start({samples}, 0, count, false);
    write();
}

} // namespace NSWave
