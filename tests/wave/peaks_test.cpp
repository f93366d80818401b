// The min/max summary against the plain scan: fresh channels of every shape,
// then a long random run of every operation that writes samples, with the
// summaries asked after each step so that a change that failed to mark
// itself shows as a stale answer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "peakcheck.h"
#include "util/opstatus.h"
#include "util/tmpfile.h"
#include "wave/file.h"

using NSWave::TChannel;
using NSWave::TFile;
using NSWave::TPeak;
using namespace NSPeakTest;

namespace {

// The view's own loop: positions past the end read as 0.
TPeak PaintLoop(const TChannel& channel, uint64_t first, uint64_t last) {
    auto at = [&](uint64_t i) { return i < channel.Count ? channel.Samples[i] : 0; };
    TPeak peak{at(first), at(first)};
    for (uint64_t i = first + 1; i <= last; ++i) {
        const int32_t v = at(i);
        if (v < peak.Min)
            peak.Min = v;
        else if (v > peak.Max)
            peak.Max = v;
    }
    return peak;
}

TEST(PeakSummary, EqualsThePlainScanOnChannelsOfEveryShape) {
    std::mt19937 rng(7);
    for (uint32_t n : {0u, 1u, 255u, 256u, 257u, 511u, 512u, 513u, 65535u, 65536u, 65537u,
                       65536u * 2 + 255, 65536u * 3 - 1, 300000u}) {
        TChannel channel;
        channel.SetSize(n);
        Content(rng, channel.MutableSamples(0), n);
        for (int q = 0; q < 150; ++q) {
            auto [first, last] = AnyStretch(rng, n);
            last = std::min<uint64_t>(last, first + 70000); // the paint loop is slow
            const TPeak want = PaintLoop(channel, first, last);
            ASSERT_EQ(NSWave::PlainExtremes(channel, first, last), want) << first << ".." << last;
            ASSERT_EQ(channel.Extremes(first, last), want) << n << ": " << first << ".." << last;
        }
        // Stretches ending exactly at, one before and one past the last
        // sample, and starting next to each block boundary.
        for (uint64_t first : {0ull, 1ull, 255ull, 256ull, 65535ull, 65536ull})
            for (int64_t end : {-2, -1, 0}) {
                const uint64_t last = std::max<int64_t>(int64_t(first), int64_t(n) + end);
                ASSERT_EQ(channel.Extremes(first, last), PaintLoop(channel, first, last))
                    << n << ": " << first << ".." << last;
            }
        EXPECT_LE(channel.SummaryBytes(), uint64_t(n) * 4 / 50) << n;
    }
}

class TPeakRun {
public:
    TPeakRun() : Doc(44100, 2, 4, 3) {
        for (int c = 0; c < 3; ++c)
            Refill(Doc.Channel(c), Pick(0, 150000));
    }

    bool Step(int step) {
        const char* kind = Change();
        ++Done[kind];
        const ::testing::AssertionResult held = SummariesHold(Doc, Rng, 8);
        EXPECT_TRUE(held) << "step " << step << ": " << kind;
        return held;
    }

    // A short sound through the rate converter.
    bool ShortSound() {
        TFile doc(22050, 2, 4, 2);
        for (int c = 0; c < 2; ++c)
            Refill(doc.Channel(c), Pick(1500, 6000));
        EXPECT_TRUE(SummariesHold(doc, Rng, 5));
        doc.SetRate(Pick(0, 1) ? 44100 : 8000);
        const ::testing::AssertionResult held = SummariesHold(doc, Rng, 10);
        EXPECT_TRUE(held) << "rate changed";
        return held;
    }

    std::map<std::string, int> Done;

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(Rng); }

    void Refill(TChannel& channel, uint32_t n) {
        channel.SetSize(n);
        Content(Rng, channel.MutableSamples(0), n);
    }

    std::vector<int32_t> Noise(size_t n) {
        std::vector<int32_t> samples(n);
        Content(Rng, samples.data(), n);
        return samples;
    }

    // Positions and lengths mostly small, now and then across everything.
    uint32_t Length() { return uint32_t(Pick(0, 1 << Pick(0, 17))); }
    TSampleRange AnyRange(bool oneChannel = false) {
        const uint32_t a = uint32_t(Pick(0, int(Doc.GetLength()) + 300));
        const int channel =
            oneChannel || Pick(0, 2) == 0 ? Pick(0, Doc.ChannelCount() - 1) : AllChannels;
        return TSampleRange(a, a + Length(), channel);
    }
    TChannel& AnyChannel() { return Doc.Channel(Pick(0, Doc.ChannelCount() - 1)); }

    const char* Change() {
        // Keep the sound within a few hundred thousand samples.
        const bool tooLong = Doc.GetLength() > 300000;
        switch (tooLong ? 9 : Pick(0, 19)) {
        case 0: {
            TChannel& channel = AnyChannel();
            channel.SetSize(uint32_t(std::max(0, int(channel.Count) + Pick(-3000, 3000))),
                            Pick(0, 1));
            return "SetSize";
        }
        case 1: {
            const TSampleRange r = AnyRange(true);
            Doc.Channel(r.Channel).CopyIn(r, Noise(r.Length()).data());
            return "CopyIn";
        }
        case 2: {
            const TSampleRange r = AnyRange(true);
            std::vector<int32_t> buffer = Noise(r.Length());
            Doc.Channel(r.Channel).SwapRange(r, buffer.data());
            return "SwapRange";
        }
        case 3: {
            const TSampleRange r = AnyRange(true);
            Doc.Channel(r.Channel).ZeroRange(r);
            return "ZeroRange";
        }
        case 4: {
            const TSampleRange r = AnyRange(true);
            Doc.Channel(r.Channel).InsertGap(r);
            return "InsertGap";
        }
        case 5: {
            const TSampleRange r = AnyRange(true);
            Doc.Channel(r.Channel).DeleteRange(r, Pick(0, 1));
            return "channel DeleteRange";
        }
        case 6: {
            const TSampleRange r = AnyRange(true);
            TOpStatus status;
            Doc.Channel(r.Channel).Amplify(r, Pick(0, 30) * 0.1, Pick(0, 30) * 0.1,
                                           Pick(0, 1) ? &status : nullptr, 100);
            return "channel Amplify";
        }
        case 7: {
            TChannel& channel = AnyChannel();
            for (int k = Pick(1, 5); k > 0 && channel.Count; --k)
                channel.MutableSamples(uint32_t(Pick(0, int(channel.Count) - 1)))[0] =
                    int32_t(Rng());
            return "MutableSamples";
        }
        case 8: {
            TFile source(Doc.Rate, 2, 4, Pick(1, 3));
            for (int c = 0; c < source.ChannelCount(); ++c)
                Refill(source.Channel(c), Length());
            Doc.Paste(source, Pick(0, 4) ? AnyRange() : TSampleRange());
            return "Paste";
        }
        case 9:
            Doc.DeleteRange(AnyRange(), Pick(0, 3) != 0);
            return "DeleteRange";
        case 10:
            Doc.InsertSilence(AnyRange());
            return "InsertSilence";
        case 11:
            Doc.Amplify(AnyRange(), Pick(0, 30) * 0.1, Pick(0, 30) * 0.1);
            return "Amplify";
        case 12:
            Doc.Silence(AnyRange());
            return "Silence";
        case 13: {
            const TSampleRange r = AnyRange();
            std::vector<int32_t> buffer = Noise(Doc.CountSamples(r));
            if (Pick(0, 1))
                Doc.CopyIn(r, buffer.data());
            else
                Doc.SwapRange(r, buffer.data());
            return "document CopyIn and SwapRange";
        }
        case 14: {
            const TSampleRange r = AnyRange();
            Doc.Extend(r);
            return "Extend";
        }
        case 15: {
            // A library effect over a short stretch; some give back fewer
            // samples than they were given.
            const TSampleRange r(Pick(0, int(Doc.GetLength())), 0, AllChannels);
            const TSampleRange range(r.Start, r.Start + uint32_t(Pick(1, 3000)), r.Channel);
            static const char* const effects[][2] = {
                {"vol", "-0.5"}, {"reverse", ""}, {"trim", "0 100s"}, {"vol", "3"}};
            const auto* effect = effects[Pick(0, 3)];
            Doc.ApplyEffect(range, effect[0], effect[1]);
            return "ApplyEffect";
        }
        case 16: {
            if (Doc.ChannelCount() > 1 && Pick(0, 1))
                Doc.DeleteChannel(Pick(0, Doc.ChannelCount() - 1));
            else if (Doc.ChannelCount() < 4)
                Doc.InsertChannel(Pick(0, Doc.ChannelCount()));
            return "channels added and deleted";
        }
        case 17: {
            // Through a file: the loader fills channels of its own.
            TTmpFile file("WAV");
            TFile saved(Doc.Rate, 2, 4, Pick(1, 3));
            for (int c = 0; c < saved.ChannelCount(); ++c)
                Refill(saved.Channel(c), Length());
            saved.Save(file.GetFileName());
            Doc.Load(file.GetFileName());
            return "Load";
        }
        default: {
            TChannel& channel = AnyChannel();
            if (Pick(0, 1)) {
                Refill(channel, uint32_t(Pick(0, 150000)));
            } else {
                const TSampleRange r = AnyRange(true);
                TChannel copy(Doc.Channel(r.Channel), r);
                Refill(channel, 0);
                channel.SetSize(copy.Count);
                channel.CopyIn(TSampleRange(0, copy.Count), copy.Samples);
            }
            return "refilled";
        }
        }
    }

    std::mt19937 Rng{20261209};
    TFile Doc;
};

TEST(PeakSummary, FollowsEveryChangeOfTheSamples) {
    TPeakRun run;
    for (int step = 0; step < 400; ++step)
        if (!run.Step(step))
            return;
    for (int i = 0; i < 6; ++i)
        if (!run.ShortSound())
            return;
    EXPECT_EQ(run.Done.size(), 19u);
    for (const auto& [kind, count] : run.Done)
        EXPECT_GE(count, 10) << kind;
}

// A model-based run on one long channel: the samples it should hold are kept
// beside it, and every step is one of the writes that move or replace
// samples, at positions on, next to and between block boundaries. After
// each step the summary must answer as the plain scan does, and the work it
// did must stay near the edit.
class TStretchRun {
public:
    explicit TStretchRun(uint32_t seed, uint32_t most = 2'000'000) : Rng(seed) {
        const auto n = uint32_t(Pick(most / 2, most));
        Model.resize(n);
        Ramps(Model.data(), n);
        Channel.SetSize(n);
        Channel.CopyIn(TSampleRange(0, n), Model.data());
        Channel.Extremes(0, n);
    }

    // With `scattered`, only short edits that leave the length about as it
    // is, which pile up stretches.
    ::testing::AssertionResult Step(bool scattered = false) {
        const uint32_t count = Channel.Count;
        const uint32_t at = Position(count);
        const uint32_t n = scattered ? uint32_t(Pick(1, 300)) : Length();
        switch (scattered ? Pick(0, 3) : Pick(0, 6)) {
        case 0: { // put in, then filled: a paste
            Last = "insert";
            const std::vector<int32_t> added = Noise(n);
            Channel.InsertGap(TSampleRange(at, at + n));
            Channel.CopyIn(TSampleRange(at, at + n), added.data());
            Model.insert(Model.begin() + at, added.begin(), added.end());
            break;
        }
        case 1: {
            Last = "delete";
            const bool shrink = Pick(0, 3) != 0;
            const uint32_t end = std::min<uint32_t>(at + n, count);
            Channel.DeleteRange(TSampleRange(at, at + n), shrink);
            Model.erase(Model.begin() + at, Model.begin() + end);
            if (!shrink)
                Model.resize(count, 0);
            break;
        }
        case 2: {
            Last = "written in place";
            const uint32_t end = std::min<uint32_t>(at + n, count);
            const std::vector<int32_t> written = Noise(end - at);
            Channel.CopyIn(TSampleRange(at, end), written.data());
            std::copy(written.begin(), written.end(), Model.begin() + at);
            break;
        }
        case 3: {
            Last = "amplified";
            const uint32_t end = std::min<uint32_t>(at + n, count);
            TOpStatus status;
            Channel.Amplify(TSampleRange(at, end), 0.5, 2.0, Pick(0, 1) ? &status : nullptr, 100);
            std::copy(Channel.Samples + at, Channel.Samples + end, Model.begin() + at);
            break;
        }
        case 4: {
            Last = "appended";
            const std::vector<int32_t> added = Noise(n);
            Channel.SetSize(count + n, true);
            std::copy(added.begin(), added.end(), Channel.MutableSamples(count, count + n));
            Model.insert(Model.end(), added.begin(), added.end());
            break;
        }
        case 5: {
            Last = "truncated";
            Channel.SetSize(at);
            Model.resize(at);
            break;
        }
        default: {
            Last = "zeroed";
            Channel.ZeroRange(TSampleRange(at, at + n));
            std::fill(Model.begin() + at, Model.begin() + std::min<uint32_t>(at + n, count), 0);
            break;
        }
        }
        if (Channel.Count != Model.size() ||
            (!Model.empty() &&
             std::memcmp(Model.data(), Channel.Samples, Model.size() * sizeof(int32_t)) != 0))
            return ::testing::AssertionFailure() << "the samples differ from the model";
        const uint64_t built = Channel.SummarisedBlocks();
        for (int q = 0; q < (scattered ? 3 : 8); ++q) {
            auto [first, last] = AnyStretch(Rng, Channel.Count);
            last = std::min<uint64_t>(last, first + 400'000);
            if (q == 0 && Pick(0, 7) == 0) // now and then the whole channel
                first = 0, last = Channel.Count;
            if (q == 1) // across the edit
                first = at > 70000 ? at - 70000 : 0, last = uint64_t(at) + n + 70000;
            const TPeak got = Channel.Extremes(first, last);
            const TPeak want = NSWave::PlainExtremes(Channel, first, last);
            if (got != want)
                return ::testing::AssertionFailure()
                       << Channel.Count << " samples, " << first << ".." << last << ": summary "
                       << got.Min << ".." << got.Max << ", samples " << want.Min << ".."
                       << want.Max;
        }
        // Every phase of the summary's blocks, somewhere behind the edit or
        // anywhere: a stretch moved by one sample too many or too few
        // shows where a ramp's end falls just outside a block.
        const uint64_t from = Pick(0, 1) ? uint64_t(at) + n + uint64_t(Pick(0, 3000))
                                         : uint64_t(Pick(0, Channel.Count));
        if (from + 1024 <= Channel.Count) {
            for (uint64_t k = 0; k < 256; ++k)
                for (auto [first, last] : {std::pair{from + k, from + k + 511},
                                           std::pair{from + 256 + k - 511, from + 256 + k}}) {
                    if (Channel.Extremes(first, last) !=
                        NSWave::PlainExtremes(Channel, first, last))
                        return ::testing::AssertionFailure()
                               << Channel.Count << " samples, " << first << ".." << last;
                }
        }
        // An edit costs the blocks it touched, and now and then a tidy-up
        // of the shortest stretches.
        const uint64_t work = Channel.SummarisedBlocks() - built;
        if (work > n / 256 + 8)
            ++Wide;
        if (Channel.StretchCount() > 256)
            return ::testing::AssertionFailure() << Channel.StretchCount() << " stretches";
        return ::testing::AssertionSuccess();
    }

    const char* Last = "";
    int Wide = 0;

private:
    int64_t Pick(int64_t low, int64_t high) {
        return std::uniform_int_distribution<int64_t>(low, high)(Rng);
    }
    // Anywhere up to the end, often on or next to a block boundary.
    uint32_t Position(uint32_t count) {
        uint64_t at = uint64_t(Pick(0, count));
        switch (Pick(0, 3)) {
        case 0:
            at = at / 256 * 256 + uint64_t(Pick(0, 2)) - 1;
            break;
        case 1:
            at = at / 65536 * 65536 + uint64_t(Pick(0, 2)) - 1;
            break;
        default:
            break;
        }
        return uint32_t(std::min<uint64_t>(at, count));
    }
    // Mostly short, a block's length give or take one, now and then a
    // second or more.
    uint32_t Length() {
        switch (Pick(0, 4)) {
        case 0:
            return uint32_t(Pick(1, 3));
        case 1:
            return uint32_t(256 * Pick(1, 3) + Pick(-1, 1));
        case 2:
            return uint32_t(Pick(1, 300'000));
        default:
            return uint32_t(Pick(1, 5000));
        }
    }
    std::vector<int32_t> Noise(size_t n) {
        std::vector<int32_t> samples(n);
        if (Pick(0, 1))
            Content(Rng, samples.data(), n);
        else
            Ramps(samples.data(), n);
        return samples;
    }
    // Rising and falling ramps: the extremes of a stretch lie at its ends.
    void Ramps(int32_t* samples, size_t n) {
        for (size_t i = 0; i < n;) {
            const size_t stretch = std::min<size_t>(n - i, size_t(Pick(1, 4096)));
            const int64_t slope = Pick(1, 1000) * (Pick(0, 1) ? 1 : -1);
            int64_t v = Pick(INT32_MIN / 2, INT32_MAX / 2);
            for (size_t k = 0; k < stretch; ++k, ++i, v += slope)
                samples[i] = int32_t(v);
        }
    }

    std::mt19937 Rng;
    std::vector<int32_t> Model;
    TChannel Channel;
};

TEST(PeakSummary, StretchesFollowInsertsDeletesAndInPlaceChanges) {
    for (uint32_t seed : {1u, 2u}) {
        TStretchRun run(seed);
        for (int step = 0; step < 250; ++step) {
            const ::testing::AssertionResult held = run.Step();
            ASSERT_TRUE(held) << "seed " << seed << ", step " << step << ": " << run.Last;
        }
        // The tidy-ups are rare.
        EXPECT_LE(run.Wide, 10) << "seed " << seed;
    }
    // Many short edits scattered over a long channel: the summary tidies
    // its stretches up now and then and stays exact.
    TStretchRun run(4, 600'000);
    for (int step = 0; step < 600; ++step) {
        const ::testing::AssertionResult held = run.Step(true);
        ASSERT_TRUE(held) << "scattered, step " << step << ": " << run.Last;
    }
    EXPECT_LE(run.Wide, 20);
}

} // namespace
