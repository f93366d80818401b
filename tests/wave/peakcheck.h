#pragma once
// Checks a document's min/max summaries against the plain scan, and fills
// channels with content that makes a stale summary show: stretches of
// different loudness, steps and the extreme values.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>

#include "wave/file.h"

namespace NSPeakTest {

// n samples of varied content.
inline void Content(std::mt19937& rng, int32_t* samples, size_t n) {
    auto pick = [&](uint32_t high) {
        return std::uniform_int_distribution<uint32_t>(0, high)(rng);
    };
    for (size_t i = 0; i < n;) {
        const size_t stretch = std::min<size_t>(n - i, 1 + pick(1u << pick(14)));
        const int kind = int(pick(9));
        const int shift = int(pick(31));
        for (size_t k = 0; k < stretch; ++k, ++i) {
            if (kind == 0)
                samples[i] = pick(1) ? INT32_MAX : INT32_MIN;
            else if (kind == 1)
                samples[i] = int32_t(pick(UINT32_MAX) >> 8);
            else
                samples[i] = int32_t(rng()) >> shift;
        }
    }
    // Now and then one lone extreme.
    if (n && pick(3) == 0)
        samples[pick(uint32_t(n - 1))] = pick(1) ? INT32_MAX : INT32_MIN;
}

// A random stretch first..last: anywhere, also past the end, of any length
// from one sample to twice the channel, often starting next to a block
// boundary.
inline std::pair<uint64_t, uint64_t> AnyStretch(std::mt19937& rng, uint32_t count) {
    auto pick = [&](uint64_t high) {
        return std::uniform_int_distribution<uint64_t>(0, high)(rng);
    };
    uint64_t first = pick(uint64_t(count) + 300);
    if (pick(2) == 0)
        first = std::max<int64_t>(0, int64_t(first / 256 * 256) + int64_t(pick(2)) - 1);
    const uint64_t length = pick(uint64_t(1) << pick(19)) + (pick(7) == 0 ? 2 * count : 0);
    return {first, first + length};
}

// Every channel, swept as a view draws it: columns of one random width
// (each from its first sample through the next column's first), from a
// random start to past the end; then `queries` random stretches. Each
// answer must be what the plain scan gives.
inline ::testing::AssertionResult SummariesHold(const NSWave::TFile& doc, std::mt19937& rng,
                                                int queries) {
    auto pick = [&](uint64_t high) {
        return std::uniform_int_distribution<uint64_t>(0, high)(rng);
    };
    for (int c = 0; c < doc.ChannelCount(); ++c) {
        const NSWave::TChannel& channel = doc.Channel(c);
        auto differs = [&](uint64_t first, uint64_t last) {
            const NSWave::TPeak got = channel.Extremes(first, last);
            const NSWave::TPeak want = NSWave::PlainExtremes(channel, first, last);
            if (got == want)
                return false;
            ADD_FAILURE() << "channel " << c << " of " << channel.Count << " samples, " << first
                          << ".." << last << ": summary " << got.Min << ".." << got.Max
                          << ", samples " << want.Min << ".." << want.Max;
            return true;
        };
        const uint64_t width = 300 + pick(uint64_t(1) << pick(17));
        for (uint64_t first = pick(width); first <= channel.Count; first += width)
            if (differs(first, first + width))
                return ::testing::AssertionFailure();
        for (int q = 0; q < queries; ++q) {
            const auto [first, last] = AnyStretch(rng, channel.Count);
            if (differs(first, last))
                return ::testing::AssertionFailure();
        }
    }
    return ::testing::AssertionSuccess();
}

} // namespace NSPeakTest
