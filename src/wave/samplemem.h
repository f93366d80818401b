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

namespace NSWave {

// Arrays of at least this many samples are mapped.
constexpr size_t LargeSampleArray = 1u << 20;

int32_t* AllocSamples(size_t count);
void FreeSamples(int32_t* samples, size_t count);
// Gives an array of newCount samples holding the first min(oldCount,
// newCount) samples of the old one; the old array is gone afterwards.
// *freshFrom receives the first index from which the new array is known to
// read as zero (newCount when nothing is known).
int32_t* ReallocSamples(int32_t* samples, size_t oldCount, size_t newCount, size_t* freshFrom);

} // namespace NSWave
