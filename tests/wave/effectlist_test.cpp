// The library effects the Other Effect dialog offers: only those a
// replacement undo record can take back, which every one of them that runs
// must bear out by leaving the channel's length and the samples around the
// range alone.

#include <gtest/gtest.h>
#include <sox.h>
#include <unistd.h>
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "support/testenv.h"
#include "util/xmsg.h"
#include "wave/effectlist.h"
#include "wave/file.h"

using NSWave::TFile;
using V = std::vector<int32_t>;

namespace {

// Runs `run`; with `libraryLeaks`, what the library allocates meanwhile and
// never frees (the noise profiler's buffer) is not reported as this
// program's leak.
template <class F> void RunEffect(bool libraryLeaks, F run) {
#ifdef __SANITIZE_ADDRESS__
    if (libraryLeaks)
        __lsan_disable();
    struct TRestore {
        bool On;
        ~TRestore() {
            if (On)
                __lsan_enable();
        }
    } restore{libraryLeaks};
#endif
    run();
}

} // namespace

TEST(EffectList, OffersTheInPlaceEffectsAndEachKeepsTheLength) {
    const std::vector<NSWave::TLibraryEffect> effects = NSWave::InPlaceEffects();
    std::set<std::string> names;
    for (const auto& e : effects) {
        names.insert(e.Name);
        const sox_effect_handler_t* handler = sox_find_effect(e.Name.c_str());
        ASSERT_TRUE(handler) << e.Name;
        EXPECT_EQ(handler->flags & (SOX_EFF_RATE | SOX_EFF_CHAN | SOX_EFF_LENGTH |
                                    SOX_EFF_DEPRECATED | SOX_EFF_INTERNAL),
                  0u)
            << e.Name;
        EXPECT_EQ(e.Usage, handler->usage ? handler->usage : "") << e.Name;
    }
    EXPECT_TRUE(std::is_sorted(effects.begin(), effects.end(),
                               [](const auto& a, const auto& b) { return a.Name < b.Name; }));
    for (const char* in : {"vol", "lowpass", "highpass", "bass", "treble", "reverb", "gain"})
        EXPECT_TRUE(names.count(in)) << in;
    // Rate, channels, length; and echo, which the program's own Echo means.
    for (const char* out : {"rate", "channels", "trim", "pad", "speed", "tempo", "tremolo", "echo",
                            "remix", "silence", "repeat"})
        EXPECT_FALSE(names.count(out)) << out;

    // Words that make most of them run; the rest run without words or
    // refuse with the library's own text. No effect may wait for standard
    // input: those that read a file without one are given a name.
    const std::map<std::string, std::string> words = {
        {"allpass", "1000 1q"},
        {"band", "1000"},
        {"bandpass", "1000 1q"},
        {"bandreject", "1000 1q"},
        {"bass", "3"},
        {"bend", "0.05,100,0.1"},
        {"biquad", "1 0 0 1 0 0"},
        {"compand", "0.3,1 6:-70,-60,-20 -5"},
        {"dcshift", "0.1"},
        {"equalizer", "1000 1q 3"},
        {"fir", "0.5 0.5"},
        {"firfit", "missing-knots"},
        {"gain", "-3"},
        {"highpass", "500"},
        {"lowpass", "1000"},
        {"noiseprof", "profile"},
        {"sinc", "100-3000"},
        {"spectrogram", "-o spectrogram.png"},
        {"treble", "3"},
        {"vol", "0.5"},
    };
    // Effects that write files write them in a folder of their own.
    const std::filesystem::path folder = TestTmpDir() + "/effects";
    std::filesystem::create_directory(folder);
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);

    std::mt19937 random(15);
    std::uniform_int_distribution<int32_t> noise(-(1 << 28), 1 << 28);
    V samples(20000);
    for (int32_t& s : samples)
        s = noise(random);
    int ran = 0;
    for (const auto& e : effects) {
        TFile doc(44100, 2, 2, 1);
        doc.SetSize(uint32_t(samples.size()), 1);
        std::copy(samples.begin(), samples.end(), doc.Channel(0).MutableSamples(0));
        const auto found = words.find(e.Name);
        try {
            RunEffect(e.Name == "noiseprof", [&] {
                doc.ApplyEffect(TSampleRange(5000, 15000, 0), e.Name.c_str(),
                                found == words.end() ? "" : found->second.c_str());
            });
        } catch (const xmsg& error) {
            // A refusal must say something and leave the channel alone.
            EXPECT_FALSE(error.why().empty()) << e.Name;
            EXPECT_TRUE(std::equal(samples.begin(), samples.end(), doc.Channel(0).Samples))
                << e.Name;
            continue;
        }
        ++ran;
        const auto& c = doc.Channel(0);
        ASSERT_EQ(c.Count, samples.size()) << e.Name;
        EXPECT_TRUE(std::equal(samples.begin(), samples.begin() + 5000, c.Samples)) << e.Name;
        EXPECT_TRUE(std::equal(samples.begin() + 15000, samples.end(), c.Samples + 15000))
            << e.Name;
    }
    std::filesystem::current_path(before);
    std::filesystem::remove_all(folder);
    EXPECT_GE(ran, 25);
}
