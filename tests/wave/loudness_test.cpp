// Loudness figures against signals of known loudness made by the sox
// command, and the peaks and RMS levels against its `stats` over random
// sounds and ranges.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/testenv.h"
#include "util/tmpfile.h"
#include "wave/file.h"
#include "wave/loudness.h"
#include "wavetest.h"

using NSWave::TFile;
using NSWave::TLoudness;
using NSWave::TLoudnessDetail;
using NSWaveTest::Shell;

namespace {

// A sound the sox command makes from `effects`, loaded.
void Synth(TFile& doc, int rate, int channels, const std::string& effects) {
    TTmpFile file("wav");
    const std::string name = file.GetFileName();
    Shell("sox -V1 -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) +
          " -b 32 -e signed '" + name + "' " + effects + " 2>&1");
    doc.Load(name);
}

// The columns of one line of `sox … stats` (the channels' own, without
// the overall column sox adds for several channels).
std::vector<double> StatsLine(const std::string& stats, const std::string& label, int channels,
                              double* overall) {
    std::istringstream in(stats);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(label, 0) != 0)
            continue;
        std::istringstream values(line.substr(label.size()));
        std::vector<double> all;
        std::string word;
        while (values >> word)
            all.push_back(word == "-inf" ? -HUGE_VAL : std::stod(word));
        if (channels > 1 && !all.empty()) {
            *overall = all.front();
            all.erase(all.begin());
        } else if (!all.empty()) {
            *overall = all.front();
        }
        return all;
    }
    return {};
}

} // namespace

TEST(Loudness, ReferenceSinesReadTheirLoudnessInEveryChannel) {
    for (int rate : {48000, 44100}) {
        SCOPED_TRACE(rate);
        TFile doc;
        // A 1 kHz sine at -20 dBFS: -23.0 LUFS in each channel on its own,
        // -20.0 for two channels of weight 1 together.
        Synth(doc, rate, 2, "synth 20 sine 1000 vol -20dB");
        const TLoudness all =
            MeasureLoudness(doc, TSampleRange(0, doc.GetLength()), TLoudnessDetail::All);
        ASSERT_EQ(all.PerChannel.size(), 2u);
        for (const auto& f : all.PerChannel) {
            EXPECT_NEAR(f.Integrated, -23.0, 0.1);
            EXPECT_NEAR(f.Range, 0.0, 0.1);
            EXPECT_NEAR(f.TruePeak, -20.0, 0.1);
            EXPECT_NEAR(f.SamplePeak, -20.0, 0.05);
            EXPECT_NEAR(f.Rms, -23.01, 0.05);
        }
        EXPECT_NEAR(all.Together.Integrated, -20.0, 0.1);
        // The quick measure the Loudness command takes agrees.
        const TLoudness gain =
            MeasureLoudness(doc, TSampleRange(0, doc.GetLength()), TLoudnessDetail::Gain);
        EXPECT_NEAR(gain.Together.Integrated, all.Together.Integrated, 1e-9);
        EXPECT_NEAR(gain.Together.TruePeak, all.Together.TruePeak, 0.05);
        // One channel alone is a mono programme.
        const TLoudness right =
            MeasureLoudness(doc, TSampleRange(0, doc.GetLength(), 1), TLoudnessDetail::All);
        ASSERT_EQ(right.Channels, std::vector<int>{1});
        EXPECT_NEAR(right.Together.Integrated, -23.0, 0.1);
    }
    // 20 s at -20 dBFS then 20 s at -30 dBFS: a loudness range of 10 LU.
    TFile steps(48000, 2, 4, 1);
    steps.SetSize(40 * 48000, 1);
    int32_t* s = steps.Channel(0).MutableSamples(0);
    for (uint32_t i = 0; i < 40 * 48000; ++i)
        s[i] = int32_t(std::lround(2147483647.0 * (i < 20 * 48000 ? 0.1 : 0.031622777) *
                                   std::sin(2 * M_PI * 1000 * i / 48000.0)));
    const TLoudness r =
        MeasureLoudness(steps, TSampleRange(0, steps.GetLength()), TLoudnessDetail::All);
    EXPECT_NEAR(r.PerChannel[0].Range, 10.0, 1.0);
    // Too short to hold one 400 ms block, and silence: no loudness.
    const TLoudness shortOne = MeasureLoudness(steps, TSampleRange(0, 9000), TLoudnessDetail::All);
    EXPECT_FALSE(std::isfinite(shortOne.Together.Integrated));
    EXPECT_EQ(NSWave::LoudnessGain(shortOne.Together.Integrated, -20, -23, -1), 0);
}

TEST(Loudness, PeaksAndRmsMatchTheSoxCommandOverRandomSoundsAndRanges) {
    std::mt19937 random(424242);
    auto pick = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(random); };
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int channels = pick(1, 3);
        const uint32_t frames = uint32_t(pick(2000, 60000));
        TFile doc(pick(0, 1) ? 44100 : 8000, 2, 4, channels);
        doc.SetSize(frames, channels);
        for (int c = 0; c < channels; ++c) {
            const double scale = std::pow(2.0, pick(12, 31)) - 1;
            std::normal_distribution<double> noise(0, scale / 4);
            int32_t* s = doc.Channel(c).MutableSamples(0);
            for (uint32_t i = 0; i < frames; ++i)
                s[i] = int32_t(std::clamp(noise(random), -scale, scale));
        }
        uint32_t a = uint32_t(pick(0, int(frames) - 1)), b = uint32_t(pick(0, int(frames)));
        if (a > b)
            std::swap(a, b);
        if (b - a < 100)
            a = 0, b = frames;
        const int channel = channels > 1 && pick(0, 1) ? pick(0, channels - 1) : AllChannels;
        const TLoudness ours =
            MeasureLoudness(doc, TSampleRange(a, b, channel), TLoudnessDetail::All);

        TTmpFile file("wav");
        doc.Save(file.GetFileName());
        std::string command = "sox -V1 '" + file.GetFileName() + "' -n";
        if (channel != AllChannels)
            command += " remix " + std::to_string(channel + 1);
        command += " trim " + std::to_string(a) + "s =" + std::to_string(b) + "s stats 2>&1";
        const std::string stats = Shell(command);
        const int measured = channel == AllChannels ? channels : 1;
        double overallPeak = 0, overallRms = 0;
        const std::vector<double> peaks = StatsLine(stats, "Pk lev dB", measured, &overallPeak);
        const std::vector<double> rms = StatsLine(stats, "RMS lev dB", measured, &overallRms);
        ASSERT_EQ(peaks.size(), size_t(measured)) << stats;
        ASSERT_EQ(rms.size(), size_t(measured)) << stats;
        for (int i = 0; i < measured; ++i) {
            EXPECT_NEAR(ours.PerChannel[size_t(i)].SamplePeak, peaks[size_t(i)], 0.011) << stats;
            EXPECT_NEAR(ours.PerChannel[size_t(i)].Rms, rms[size_t(i)], 0.011) << stats;
            EXPECT_GE(ours.PerChannel[size_t(i)].TruePeak, ours.PerChannel[size_t(i)].SamplePeak);
        }
        EXPECT_NEAR(ours.Together.SamplePeak, overallPeak, 0.011) << stats;
        EXPECT_NEAR(ours.Together.Rms, overallRms, 0.011) << stats;
    }
}
