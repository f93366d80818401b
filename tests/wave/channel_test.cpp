#include <gtest/gtest.h>

#include <random>

#include <climits>
#include <vector>

#include "util/opstatus.h"
#include "util/xmsg.h"
#include "wave/channel.h"
#include "wavetest.h"

using NSWave::TChannel;
using namespace NSWaveTest;
using V = std::vector<int32_t>;

namespace {

TEST(ChannelSize, SpareRoomPolicyAtItsBoundaries) {
    TChannel c;
    c.SetSize(1);
    EXPECT_EQ(c.Capacity, 1u + 32768);
    const int32_t* first = c.Samples;

    c.SetSize(1 + 32768); // grows within the spare room
    EXPECT_EQ(c.Samples, first);
    EXPECT_EQ(c.Capacity, 1u + 32768);

    c.SetSize(1 + 32768 + 1); // one past it reallocates
    EXPECT_EQ(c.Capacity, 1u + 32768 + 1 + 32768);

    c.SetSize(100000);
    EXPECT_EQ(c.Capacity, 100000u + 32768);
    c.SetSize(100000 + 32768 - 65536); // exactly 65536 spare: kept
    EXPECT_EQ(c.Capacity, 100000u + 32768);
    c.SetSize(100000 + 32768 - 65537); // one more spare: reallocated
    EXPECT_EQ(c.Capacity, 100000u + 32768 - 65537 + 32768);

    c.SetSize(0);
    EXPECT_EQ(c.Samples, nullptr);
    EXPECT_EQ(c.Capacity, 0u);
    EXPECT_EQ(c.Count, 0u);
}

TEST(ChannelSize, GrowthZeroesUnlessAskedNotTo) {
    TChannel c;
    Fill(c, {5, 6, 7});
    c.SetSize(1);
    c.SetSize(4);
    EXPECT_EQ(Samples(c), (V{5, 0, 0, 0}));
}

TEST(ChannelSize, LargeArraysKeepTheirSamplesAcrossGrowthAndShrink) {
    // Large enough to be mapped; growth moves pages rather than copying.
    const uint32_t n = 3u << 20;
    TChannel c;
    c.SetSize(n, true);
    int32_t* s = c.MutableSamples(0);
    for (uint32_t i = 0; i < n; ++i)
        s[i] = int32_t(i * 7);
    c.SetSize(2 * n);
    bool same = true;
    for (uint32_t i = 0; i < n; ++i)
        same &= c.Samples[i] == int32_t(i * 7);
    EXPECT_TRUE(same);
    bool zero = true;
    for (uint32_t i = n; i < 2 * n; ++i)
        zero &= c.Samples[i] == 0;
    EXPECT_TRUE(zero);
    // Shrinking back to a small array copies the head.
    c.SetSize(10);
    EXPECT_EQ(c.Samples[9], 63);
    // Growing a shrunk channel must not resurrect old samples.
    c.SetSize(n);
    c.SetSize(5);
    c.SetSize(20);
    EXPECT_EQ(c.Samples[5], 0);
    EXPECT_EQ(c.Samples[19], 0);
}

TEST(ChannelRanges, RangeCopyPadsBeyondTheSourceEnd) {
    TChannel src;
    Fill(src, {1, 2, 3, 4});
    TChannel copy(src, TSampleRange(2, 7));
    EXPECT_EQ(Samples(copy), (V{3, 4, 0, 0, 0}));
    TChannel none(src, TSampleRange());
    EXPECT_EQ(none.Count, 0u);
    TChannel beyond(src, TSampleRange(10, 12));
    EXPECT_EQ(Samples(beyond), (V{0, 0}));
}

TEST(ChannelRanges, CountInRangeClipsToTheChannel) {
    TChannel c;
    Fill(c, {1, 2, 3, 4, 5});
    EXPECT_EQ(c.CountInRange(TSampleRange(1, 3)), 2u);
    EXPECT_EQ(c.CountInRange(TSampleRange(3, 100)), 2u);
    EXPECT_EQ(c.CountInRange(TSampleRange(5, 100)), 0u);
    EXPECT_EQ(c.CountInRange(TSampleRange(2, 2)), 0u);
}

TEST(ChannelRanges, CopyOutInAndSwapAdvanceByTheClippedCount) {
    TChannel c;
    Fill(c, {1, 2, 3, 4, 5});
    int32_t buf[8] = {};
    EXPECT_EQ(c.CopyOut(TSampleRange(3, 8), buf), buf + 2);
    EXPECT_EQ(buf[0], 4);
    EXPECT_EQ(buf[1], 5);
    int32_t in[2] = {40, 50};
    EXPECT_EQ(c.CopyIn(TSampleRange(0, 2), in), in + 2);
    int32_t swap[3] = {7, 8, 9};
    EXPECT_EQ(c.SwapRange(TSampleRange(2, 5), swap), swap + 3);
    EXPECT_EQ(Samples(c), (V{40, 50, 7, 8, 9}));
    EXPECT_EQ((V{swap[0], swap[1], swap[2]}), (V{3, 4, 5}));
    EXPECT_EQ(c.CopyOut(TSampleRange(0, 2), nullptr), nullptr);
}

TEST(ChannelRanges, ZeroRangeClips) {
    TChannel c;
    Fill(c, {1, 2, 3, 4});
    c.ZeroRange(TSampleRange(2, 9));
    EXPECT_EQ(Samples(c), (V{1, 2, 0, 0}));
    c.ZeroRange(TSampleRange(9, 12));
    EXPECT_EQ(c.Count, 4u);
}

TEST(ChannelEdits, InsertGapOpensSilenceOrPadsBeyondTheEnd) {
    struct Case {
        uint32_t start, end;
        V expected;
    };
    const Case cases[] = {
        {1, 3, {1, 0, 0, 2, 3}},
        {0, 1, {0, 1, 2, 3}},
        {3, 5, {1, 2, 3, 0, 0}},       // at the end
        {5, 7, {1, 2, 3, 0, 0, 0, 0}}, // beyond the end: padded up to End
        {2, 2, {1, 2, 3}},             // empty: nothing
    };
    for (const Case& k : cases) {
        TChannel c;
        Fill(c, {1, 2, 3});
        c.InsertGap(TSampleRange(k.start, k.end));
        EXPECT_EQ(Samples(c), k.expected) << k.start << ".." << k.end;
    }
}

TEST(ChannelEdits, DeleteRangeWithAndWithoutShrink) {
    TChannel c;
    Fill(c, {1, 2, 3, 4, 5});
    c.DeleteRange(TSampleRange(1, 3), false);
    EXPECT_EQ(Samples(c), (V{1, 4, 5, 0, 0}));
    Fill(c, {1, 2, 3, 4, 5});
    c.DeleteRange(TSampleRange(3, 99), true);
    EXPECT_EQ(Samples(c), (V{1, 2, 3}));
    c.DeleteRange(TSampleRange(4, 6), true); // starts beyond the end
    EXPECT_EQ(Samples(c), (V{1, 2, 3}));
}

TEST(ChannelEdits, GrowingPastTheLargestLengthIsRefusedUnchanged) {
    TChannel c;
    Fill(c, {1, 2, 3});
    EXPECT_EQ(c.LengthAfterGap(TSampleRange(1, UINT32_MAX)), 3ull + UINT32_MAX - 1);
    EXPECT_THROW(c.InsertGap(TSampleRange(1, UINT32_MAX)), xmsg);
    EXPECT_EQ(Samples(c), (V{1, 2, 3}));
}

TEST(ChannelAmplify, RampArithmetic) {
    struct Case {
        V in;
        double from, to;
        V expected;
    };
    const Case cases[] = {
        {{1000, 1000, 1000, 1000}, 0, 1, {0, 250, 500, 750}},    // fade in
        {{1000, 1000, 1000, 1000}, 1, 0, {1000, 750, 500, 250}}, // fade out
        {{-1001, 1001}, 0.5, 0.5, {-500, 500}},                  // truncation toward zero
        {{INT32_MAX, INT32_MIN, 2, -2}, 2, 2, {INT32_MAX, INT32_MIN, 4, -4}}, // saturation
        {{INT32_MIN}, -1, -1, {INT32_MAX}},
    };
    for (const Case& k : cases) {
        TChannel c;
        Fill(c, k.in);
        c.Amplify(TSampleRange(0, uint32_t(k.in.size())), k.from, k.to, nullptr, 100);
        EXPECT_EQ(Samples(c), k.expected) << k.from << "->" << k.to;
    }
}

TEST(ChannelAmplify, EverySampleFollowsTheWrittenArithmetic) {
    // Random channels, ranges and factors against the ramp written out
    // sample by sample in plain double arithmetic.
    std::mt19937 random(2027);
    for (int round = 0; round < 300; ++round) {
        const uint32_t length = 1 + random() % 3000;
        V in(length);
        for (int32_t& v : in)
            v = int32_t(random());
        const uint32_t start = random() % length, end = start + 1 + random() % (length - start);
        std::uniform_real_distribution<double> factor(-3, 3);
        const double from = round % 3 == 0 ? 0 : factor(random);
        // Fades in from and out to silence among them.
        const double to = round % 3 == 1 ? 1 : round % 5 == 2 ? 0 : factor(random);
        V expected = in;
        const double n = end - start;
        for (uint32_t i = 0; i < end - start; ++i) {
            const double gain = (n - i) * from / n + i * to / n;
            const double v = gain * double(in[start + i]);
            expected[start + i] = v >= 2147483647.0    ? INT32_MAX
                                  : v <= -2147483648.0 ? INT32_MIN
                                                       : int32_t(v);
        }
        TChannel c;
        Fill(c, in);
        c.Amplify(TSampleRange(start, end), from, to, nullptr, 100);
        ASSERT_EQ(Samples(c), expected)
            << round << ": " << from << "->" << to << " over " << start << ".." << end;
    }
}

TEST(ChannelAmplify, ClipsAndReportsProgressFromItsBase) {
    TChannel c;
    Fill(c, V(200, 100));
    TOpStatus status;
    status.SetPercent(50);
    c.Amplify(TSampleRange(100, 500), 0, 0, &status, 50);
    EXPECT_EQ(c.Samples[99], 100);
    EXPECT_EQ(c.Samples[100], 0);
    EXPECT_EQ(c.Samples[199], 0);
    EXPECT_EQ(status.Percent, 50 + 50 * 99 / 100);
}

} // namespace
