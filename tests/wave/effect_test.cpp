#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "support/testenv.h"
#include "util/opstatus.h"
#include "util/xmsg.h"
#include "wave/effectmap.h"
#include "wave/file.h"
#include "wavetest.h"

using NSWave::TFile;
using namespace NSWaveTest;
using V = std::vector<int32_t>;

namespace {

constexpr int32_t Pulse = 1 << 28;

// A mono document of `n` silent samples with impulses at `at`.
void Impulses(TFile& doc, uint32_t n, std::initializer_list<uint32_t> at) {
    doc.SetSize(n, doc.ChannelCount() ? doc.ChannelCount() : 1);
    for (uint32_t p : at)
        doc.Channel(0).MutableSamples(p)[0] = Pulse;
}

// n samples first, first + 256, first + 512, ...
V Ramp(size_t n, int32_t first) {
    V samples(n);
    for (size_t i = 0; i < n; ++i)
        samples[i] = first + (int32_t(i) << 8);
    return samples;
}

// Positions of samples whose magnitude exceeds `threshold`.
std::vector<uint32_t> Peaks(const NSWave::TChannel& channel, int32_t threshold) {
    std::vector<uint32_t> at;
    for (uint32_t i = 0; i < channel.Count; ++i)
        if (std::abs(int64_t(channel.Samples[i])) > threshold)
            at.push_back(i);
    return at;
}

uint32_t Loudest(const NSWave::TChannel& channel) {
    auto it = std::max_element(channel.Samples, channel.Samples + channel.Count,
                               [](int32_t a, int32_t b) { return std::abs(a) < std::abs(b); });
    return uint32_t(it - channel.Samples);
}

// A reporter that remembers every position it was given.
struct TRecordingStatus : TOpStatus {
    void SetPercent(int percent) override {
        TOpStatus::SetPercent(percent);
        Seen.push_back(percent);
    }
    std::vector<int> Seen;
};

TEST(EffectWords, SplitKeepsAtMostTwentyWords) {
    EXPECT_TRUE(NSWave::SplitEffectWords(nullptr).empty());
    EXPECT_TRUE(NSWave::SplitEffectWords(" \t ").empty());
    EXPECT_EQ(NSWave::SplitEffectWords("  1\t0.5 \n x "),
              (std::vector<std::string>{"1", "0.5", "x"}));
    std::string text;
    for (int i = 0; i < 25; ++i)
        text += std::to_string(i) + " ";
    auto words = NSWave::SplitEffectWords(text.c_str());
    ASSERT_EQ(words.size(), 20u);
    EXPECT_EQ(words.back(), "19");
}

TEST(EffectWords, ProgramEffectsMapToInstalledHandlers) {
    struct TCase {
        const char* Name;
        const char* Args;
        const char* Handler;
        std::vector<std::string> Words;
    };
    const TCase cases[] = {
        {"echo", "1 0.5", "echo", {"1", "1", "1000", "0.5"}},
        {"ECHO", "0.25 0.5 0.0125 0.1", "echo", {"1", "1", "250", "0.5", "12.5", "0.1"}},
        // Words that are no numbers reach the library, which names the fault.
        {"Echo", "soon 0.5", "echo", {"1", "1", "soon", "0.5"}},
        {"vibro", "8 0.5", "tremolo", {"8", "50"}},
        {"resample", "", "rate", {"11025"}},
        {"Reverse", "", "reverse", {}},
        {"pad", "10s", "pad", {"10s"}},
    };
    for (const auto& c : cases) {
        auto call = NSWave::TranslateEffect(c.Name, NSWave::SplitEffectWords(c.Args), 11025);
        EXPECT_EQ(call.Name, c.Handler) << c.Name;
        EXPECT_EQ(call.Words, c.Words) << c.Name << " " << c.Args;
    }
    // The library's echo overruns its tables past 7 delays.
    EXPECT_THROW(
        NSWave::TranslateEffect(
            "echo", NSWave::SplitEffectWords("1 .1 2 .1 3 .1 4 .1 5 .1 6 .1 7 .1 8 .1"), 0),
        xmsg);
}

TEST(Effect, EchoAddsTheAttenuatedCopyDelayLaterAndKeepsTheLength) {
    TFile doc(8000, 2, 2, 1);
    Impulses(doc, 16000, {1000});
    doc.ApplyEffect(TSampleRange(), "ECHO", "0.5 0.5 1.25 0.25");
    ASSERT_EQ(doc.Channel(0).Count, 16000u);
    EXPECT_EQ(Peaks(doc.Channel(0), 0), (std::vector<uint32_t>{1000, 5000, 11000}));
    EXPECT_EQ(doc.Channel(0).Samples[1000], Pulse);
    EXPECT_EQ(doc.Channel(0).Samples[5000], Pulse / 2);
    EXPECT_EQ(doc.Channel(0).Samples[11000], Pulse / 4);
}

TEST(Effect, VibroModulatesAConstantSignalAtItsSpeed) {
    TFile doc(8000, 2, 2, 1);
    const int32_t level = 1 << 28;
    Fill(doc.Channel(0), V(8000, level));
    doc.ApplyEffect(TSampleRange(), "vibro", "5 0.5");
    const auto& c = doc.Channel(0);
    ASSERT_EQ(c.Count, 8000u);
    // 5 Hz at 8000 samples a second: one period every 1600 samples.
    for (uint32_t i = 0; i + 1600 < c.Count; i += 97)
        EXPECT_NEAR(c.Samples[i], c.Samples[i + 1600], level / 1000.0) << i;
    auto [lo, hi] = std::minmax_element(c.Samples, c.Samples + c.Count);
    EXPECT_NEAR(*hi, level, level * 0.01);
    EXPECT_NEAR(*lo, level * 0.5, level * 0.01);
}

TEST(Effect, ShorterOutputShortensTheChannelAndMovesLaterSamplesUp) {
    TFile doc(8000, 2, 2, 1);
    V samples = Ramp(3000, 0);
    Fill(doc.Channel(0), samples);
    doc.ApplyEffect(TSampleRange(1000, 2000, 0), "trim", "0 100s");
    V want(samples.begin(), samples.begin() + 1100);
    want.insert(want.end(), samples.begin() + 2000, samples.end());
    EXPECT_EQ(Samples(doc.Channel(0)), want);
}

TEST(Effect, LongerOutputIsCutAtTheRange) {
    TFile doc(8000, 2, 2, 1);
    V samples = Ramp(3000, 256);
    Fill(doc.Channel(0), samples);
    // 500 samples of silence ahead of the range's content push its last 500
    // beyond the range; the samples after the range stay where they were.
    doc.ApplyEffect(TSampleRange(1000, 2000, 0), "pad", "500s");
    V want = samples;
    std::fill(want.begin() + 1000, want.begin() + 1500, 0);
    std::copy(samples.begin() + 1000, samples.begin() + 1500, want.begin() + 1500);
    EXPECT_EQ(Samples(doc.Channel(0)), want);
}

TEST(Effect, OutputHandedOutOverSeveralDrainsIsKept) {
    // The library's reverse keeps all its input and gives it back while
    // draining, one output block at a time.
    TFile doc(8000, 2, 2, 1);
    V samples = Ramp(200000, 0);
    Fill(doc.Channel(0), samples);
    doc.ApplyEffect(TSampleRange(), "reverse", nullptr);
    std::reverse(samples.begin(), samples.end());
    EXPECT_EQ(Samples(doc.Channel(0)), samples);
}

TEST(Effect, TwentyFiveWordsPassOnlyTheFirstTwenty) {
    TFile doc(8000, 2, 2, 1);
    Fill(doc.Channel(0), V(100, 1 << 20));
    std::string args;
    for (int i = 1; i <= 20; ++i)
        args += "1s@" + std::to_string(i) + "s ";
    args += "x x x x x"; // the library's pad refuses these
    doc.ApplyEffect(TSampleRange(), "pad", args.c_str());
    // One silent sample at each of the 20 positions; the range keeps its length.
    ASSERT_EQ(doc.Channel(0).Count, 100u);
    EXPECT_EQ(std::count(doc.Channel(0).Samples, doc.Channel(0).Samples + 100, 0), 20);
}

TEST(Effect, FailuresLeaveTheChannelUnchanged) {
    struct TCase {
        const char* Name;
        const char* Args;
        std::string Text;
    };
    const TCase cases[] = {
        {"nosuch", "", "Effect name not found"},
        {"", "", "Effect name not found"},
        {"echo", "1", "usage: gain-in gain-out delay decay [ delay decay ... ]"},
        {"echo", "0.1 1.5", "echo: decay must be less than 1.0!"},
        {"echo", "400 0.5", "echo: delay must be less than 320 seconds!"},
        {"echo", "1 .1 2 .1 3 .1 4 .1 5 .1 6 .1 7 .1 8 .1", "echo: at most 7 delays"},
        {"vibro", "fast", "usage: speed_Hz [depth_percent]"},
    };
    // Staging needs the temporary directory.
    {
        const std::string saved = TestTmpDir();
        setenv("TMPDIR", (saved + "/missing").c_str(), 1);
        TFile doc(8000, 2, 2, 1);
        Fill(doc.Channel(0), V(100, 1 << 20));
        try {
            doc.ApplyEffect(TSampleRange(), "echo", "0.001 0.5");
            ADD_FAILURE() << "echo ran without a temporary directory";
        } catch (const xmsg& e) {
            EXPECT_EQ(e.why(), "can't make temp file name");
        }
        setenv("TMPDIR", saved.c_str(), 1);
        EXPECT_EQ(Samples(doc.Channel(0)), V(100, 1 << 20));
    }
    // A staging file that cannot grow: writes fail instead of signalling.
    {
        TFile doc(8000, 2, 2, 1);
        Fill(doc.Channel(0), V(100000, 1 << 20));
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
        std::string text;
        try {
            doc.ApplyEffect(TSampleRange(), "echo", "0.001 0.5");
        } catch (const xmsg& e) {
            text = e.why();
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        EXPECT_EQ(text, "Tmpfile write error");
        EXPECT_EQ(Samples(doc.Channel(0)), V(100000, 1 << 20));
    }
    TFile noRate(0, 2, 2, 1);
    Fill(noRate.Channel(0), V(100, 1));
    EXPECT_THROW(noRate.ApplyEffect(TSampleRange(), "echo", "0.001 0.5"), xmsg);
    EXPECT_EQ(Samples(noRate.Channel(0)), V(100, 1));
    for (const auto& c : cases) {
        TFile doc(8000, 2, 2, 2);
        Fill(doc, {V(5000, 1 << 20), V(4000, -(1 << 20))});
        try {
            doc.ApplyEffect(TSampleRange(), c.Name, c.Args);
            ADD_FAILURE() << c.Name << " " << c.Args << " did not fail";
        } catch (const xmsg& e) {
            EXPECT_NE(e.why().find(c.Text), std::string::npos) << e.why();
        }
        EXPECT_EQ(Samples(doc.Channel(0)), V(5000, 1 << 20)) << c.Name << " " << c.Args;
        EXPECT_EQ(Samples(doc.Channel(1)), V(4000, -(1 << 20))) << c.Name << " " << c.Args;
    }
}

TEST(Effect, DocumentRangesAndProgress) {
    TFile doc(8000, 2, 2, 2);
    Fill(doc, {V(4000, 1 << 20), V(3000, 1 << 20)});

    // A valid empty range does nothing, not even a failing lookup.
    doc.ApplyEffect(TSampleRange(10, 10), "nosuch", "");

    // An invalid range means every channel, completely.
    TRecordingStatus status;
    status.SetPercent(0);
    doc.ApplyEffect(TSampleRange(), "vol", "0.5", &status);
    EXPECT_EQ(Samples(doc.Channel(0)), V(4000, 1 << 19));
    EXPECT_EQ(Samples(doc.Channel(1)), V(3000, 1 << 19));
    EXPECT_TRUE(std::is_sorted(status.Seen.begin(), status.Seen.end()));
    EXPECT_NE(std::find(status.Seen.begin(), status.Seen.end(), 50), status.Seen.end());
    EXPECT_EQ(status.GetPercent(), 100);

    // One channel, clipped against the document; the other stays.
    doc.ApplyEffect(TSampleRange(2000, 9000, 1), "vol", "2");
    V want(3000, 1 << 19);
    std::fill(want.begin() + 2000, want.end(), 1 << 20);
    EXPECT_EQ(Samples(doc.Channel(1)), want);
    EXPECT_EQ(Samples(doc.Channel(0)), V(4000, 1 << 19));
    doc.ApplyEffect(TSampleRange(0, 100, 5), "vol", "2");
    EXPECT_EQ(Samples(doc.Channel(0)), V(4000, 1 << 19));
}

TEST(Effect, ResampleToTheSameRateChangesNothing) {
    TFile doc(8000, 2, 2, 1);
    V samples{1, 2, 3, 4, 5};
    Fill(doc.Channel(0), samples);
    doc.ApplyEffect(TSampleRange(), "resample", "");
    EXPECT_EQ(Samples(doc.Channel(0)), samples);
}

TEST(SetRate, HalvingKeepsImpulsesAlignedAndTruncatesTheLength) {
    TFile doc(22050, 2, 2, 1);
    Impulses(doc, 22050, {100, 22000});
    doc.SetRate(11025);
    EXPECT_EQ(doc.Rate, 11025);
    const auto& c = doc.Channel(0);
    EXPECT_LE(c.Count, 11025u);
    EXPECT_GE(c.Count, 11000u);
    // The impulse near the end comes out of the converter's tail.
    auto peaks = Peaks(c, Pulse / 8);
    EXPECT_EQ(peaks, (std::vector<uint32_t>{50, 11000}));
}

TEST(SetRate, DoublingGivesAtMostTwiceTheLength) {
    TFile small(11025, 2, 2, 1);
    Impulses(small, 1000, {500});
    small.SetRate(22050);
    EXPECT_LE(small.Channel(0).Count, 2000u);
    EXPECT_GE(small.Channel(0).Count, 1990u);
    EXPECT_EQ(Loudest(small.Channel(0)), 1000u);

    // Longer than one output block: the converter's tail takes several
    // drain calls.
    TFile doc(11025, 2, 2, 2);
    Impulses(doc, 100000, {500, 99000});
    doc.SetRate(22050);
    EXPECT_EQ(doc.Rate, 22050);
    for (int i = 0; i < 2; ++i) {
        EXPECT_LE(doc.Channel(i).Count, 200000u);
        EXPECT_GE(doc.Channel(i).Count, 199990u);
    }
    const auto& c = doc.Channel(0);
    EXPECT_EQ(Loudest(c), 1000u);
    EXPECT_EQ(std::abs(c.Samples[198000]), std::abs(c.Samples[Loudest(c)]));
    EXPECT_EQ(Peaks(doc.Channel(1), 0), std::vector<uint32_t>{});
}

TEST(SetRate, SameRateOrZeroChangesNothing) {
    for (int rate : {22050, 0}) {
        TFile doc(22050, 2, 2, 1);
        Fill(doc.Channel(0), V{1, 2, 3});
        doc.SetRate(rate);
        EXPECT_EQ(doc.Rate, 22050);
        EXPECT_EQ(Samples(doc.Channel(0)), (V{1, 2, 3}));
    }
    TFile unknown(0, 2, 2, 1);
    Fill(unknown.Channel(0), V{1, 2, 3});
    unknown.SetRate(8000);
    EXPECT_EQ(unknown.Rate, 0);
    EXPECT_EQ(Samples(unknown.Channel(0)), (V{1, 2, 3}));
}

TEST(SetRate, PasteConvertsAndMixesTheSource) {
    TFile source(44100, 2, 2, 2);
    Fill(source, {V(4410, 1 << 24), V(4410, 1 << 26)});
    TFile doc(22050, 2, 2, 1);
    Fill(doc.Channel(0), V(1000, 7));
    TSampleRange got = doc.Paste(source, TSampleRange(500, 500));
    EXPECT_EQ(source.Rate, 22050);
    ASSERT_TRUE(got.Valid);
    EXPECT_EQ(got.Start, 500u);
    EXPECT_LE(got.Length(), 2205u);
    EXPECT_GE(got.Length(), 2150u);
    const auto& c = doc.Channel(0);
    ASSERT_EQ(c.Count, 1000 + got.Length());
    EXPECT_EQ(c.Samples[499], 7);
    EXPECT_EQ(c.Samples[got.End], 7);
    // Well inside the pasted part the two constants arrive summed.
    const double mixed = (1 << 24) + (1 << 26);
    for (uint32_t i = got.Start + 200; i < got.End - 200; i += 50)
        EXPECT_NEAR(c.Samples[i], mixed, mixed * 0.01) << i;
}

} // namespace

// Random sounds (1 to 3 channels of their own lengths, several converter
// blocks long) converted with a Cancel at a random progress question: the
// sound and its rate stay as they were. Run to the end, each channel comes
// out as its own conversion alone would give it.
TEST(SetRate, CancelAnywhereLeavesTheSoundAndConvertsAllAtOnceOtherwise) {
    class TCancelAt : public TCancelTarget {
    public:
        explicit TCancelAt(int asks) : Left(asks) {}
        bool CancelRequested() override { return --Left < 0; }
        int Left;
    };
    std::mt19937 random(24);
    for (int round = 0; round < 6; ++round) {
        const int channels = 1 + int(random() % 3);
        const int rate = round % 2 ? 22050 : 44100;
        const int newRate = round % 2 ? 48000 : 8000;
        TFile doc(rate, 2, 2, channels);
        std::vector<V> before;
        for (int c = 0; c < channels; ++c) {
            V samples(70000 + random() % 130000);
            for (int32_t& s : samples)
                s = int32_t(random()) >> 3;
            doc.Channel(c).SetSize(uint32_t(samples.size()));
            Fill(doc.Channel(c), samples);
            before.push_back(samples);
        }
        // Each block of each channel asks at least once, two blocks or more.
        TCancelAt cancel(int(random() % (2 * channels)));
        TStatusTarget target;
        target.Cancel = &cancel;
        {
            TOpStatus status("Resampling...", target);
            EXPECT_THROW(doc.SetRate(newRate, &status), xmsg) << round;
        }
        EXPECT_EQ(doc.Rate, rate) << round;
        ASSERT_EQ(doc.ChannelCount(), channels);
        for (int c = 0; c < channels; ++c)
            EXPECT_EQ(Samples(doc.Channel(c)), before[size_t(c)]) << round << " " << c;

        TCancelAt never(1 << 30);
        target.Cancel = &never;
        {
            TOpStatus status("Resampling...", target);
            doc.SetRate(newRate, &status);
        }
        EXPECT_EQ(doc.Rate, newRate);
        for (int c = 0; c < channels; ++c) {
            TFile alone(rate, 2, 2, 1);
            alone.Channel(0).SetSize(uint32_t(before[size_t(c)].size()));
            Fill(alone.Channel(0), before[size_t(c)]);
            alone.SetRate(newRate);
            EXPECT_EQ(Samples(doc.Channel(c)), Samples(alone.Channel(0))) << round << " " << c;
        }
    }
}
