#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

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
        doc.Channel(0).Samples[p] = Pulse;
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

} // namespace
