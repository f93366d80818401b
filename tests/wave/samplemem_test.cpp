#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "wave/samplemem.h"

using namespace NSWave;

namespace {

int32_t Pattern(size_t array, size_t i) {
    return int32_t(uint32_t(i) * 2654435761u ^ uint32_t(array) << 28);
}

// The helper that faults pages in ahead of a writer never changes a sample,
// whether it runs ahead or falls behind, and when it is stopped while the
// arrays move and started again.
TEST(FaultAhead, TheWriterFindsExactlyWhatItWrote) {
    const size_t n = size_t(4) << 20; // three arrays of 16 MB, then 32 MB
    std::vector<int32_t*> arrays;
    for (int a = 0; a < 3; ++a)
        arrays.push_back(AllocSamples(n));
    size_t count = n;
    TFaultAhead ahead;
    ahead.Start(arrays, 0, count, true);
    for (size_t i = 0; i < 2 * n; i += 4096) {
        if (i >= count) {
            ahead.Stop();
            for (int32_t*& array : arrays) {
                size_t fresh = 0;
                array = ReallocSamples(array, count, 2 * n, &fresh);
            }
            count = 2 * n;
            ahead.Start(arrays, i, count, true);
        }
        for (size_t a = 0; a < arrays.size(); ++a)
            for (size_t k = i; k < i + 4096; ++k)
                arrays[a][k] = Pattern(a, k);
        ahead.Written(i + 4096);
    }
    ahead.Stop();
    size_t wrong = 0;
    for (size_t a = 0; a < arrays.size(); ++a) {
        for (size_t k = 0; k < count; ++k)
            wrong += arrays[a][k] != Pattern(a, k);
        FreeSamples(arrays[a], count);
    }
    EXPECT_EQ(wrong, 0u);

    // Unpaced, beside one copy into fresh memory.
    std::vector<int32_t> source(size_t(12) << 20);
    for (size_t k = 0; k < source.size(); ++k)
        source[k] = Pattern(7, k);
    int32_t* copy = AllocSamples(source.size());
    FirstWrite(copy, source.size(),
               [&] { std::memcpy(copy, source.data(), source.size() * sizeof(int32_t)); });
    EXPECT_EQ(std::memcmp(copy, source.data(), source.size() * sizeof(int32_t)), 0);
    FreeSamples(copy, source.size());
}

} // namespace
