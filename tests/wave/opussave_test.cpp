// Opus files the program saves decode, in the Opus tools' own decoder and in
// the program's loader, to the sound that was saved: its rate, channels and
// length, each channel's tones at their levels and little else.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "support/testenv.h"
#include "util/settings.h"
#include "wave/file.h"
#include "wave/opuswriter.h"
#include "wavetest.h"

namespace fs = std::filesystem;
using NSWave::TFile;

namespace {

struct TTone {
    double Hz;
    double Level; // of full scale
};

// Each channel's own tones, so that a channel that moved shows.
std::vector<TTone> TonesOf(int channel) {
    const std::vector<std::vector<TTone>> tones = {{{440, 0.30}, {1250, 0.15}, {3100, 0.08}},
                                                   {{660, 0.25}, {2000, 0.12}, {5000, 0.06}},
                                                   {{330, 0.2}, {1800, 0.1}},
                                                   // low frequency only, as for a subwoofer
                                                   {{60, 0.3}, {95, 0.15}},
                                                   {{770, 0.2}, {3500, 0.1}},
                                                   {{880, 0.2}, {4200, 0.1}}};
    return tones[size_t(channel) % tones.size()];
}

// Seconds of the channels' tones at `rate`, held at `size` (the document's
// size code: the samples keep only that many bits).
void MakeTones(TFile& doc, int rate, int channels, int size, double seconds) {
    doc.Rate = rate;
    doc.Size = size;
    const uint32_t frames = uint32_t(seconds * rate);
    doc.SetSize(frames, channels);
    const unsigned drop = 32 - 8 * unsigned(size);
    for (int c = 0; c < channels; ++c) {
        const std::vector<TTone> tones = TonesOf(c);
        int32_t* out = doc.Channel(c).MutableSamples(0);
        for (uint32_t i = 0; i < frames; ++i) {
            double v = 0;
            for (const TTone& t : tones)
                v += t.Level * std::sin(2 * std::numbers::pi * t.Hz * i / rate + c);
            const int32_t s = int32_t(std::lround(v * 2147483647.0));
            out[i] = int32_t(uint32_t(s) >> drop << drop);
        }
    }
}

// How a decoded channel holds its tones: each tone's level in dB against
// the one saved, and the ratio of the tones to everything else (after the
// tones found are taken out) in dB. The edges, where the codec starts and
// stops, are left out.
struct TFit {
    std::vector<double> LevelDb;
    double SnrDb = 0;
};

TFit FitTones(const NSWave::TChannel& channel, int rate, const std::vector<TTone>& tones) {
    const size_t edge = size_t(rate / 20);
    const size_t n = channel.Count > 2 * edge ? channel.Count - 2 * edge : 0;
    std::vector<double> y(n);
    for (size_t i = 0; i < n; ++i)
        y[i] = channel.Samples[edge + i] / 2147483648.0;
    TFit fit;
    std::vector<double> rest = y;
    double toneEnergy = 0;
    for (const TTone& t : tones) {
        double s = 0, c = 0;
        const double w = 2 * std::numbers::pi * t.Hz / rate;
        for (size_t i = 0; i < n; ++i) {
            s += y[i] * std::sin(w * double(edge + i));
            c += y[i] * std::cos(w * double(edge + i));
        }
        s *= 2.0 / double(n);
        c *= 2.0 / double(n);
        const double level = std::hypot(s, c);
        fit.LevelDb.push_back(20 * std::log10(std::max(level, 1e-9) / t.Level));
        for (size_t i = 0; i < n; ++i)
            rest[i] -= s * std::sin(w * double(edge + i)) + c * std::cos(w * double(edge + i));
        toneEnergy += level * level / 2 * double(n);
    }
    double noise = 0;
    for (double v : rest)
        noise += v * v;
    fit.SnrDb = 10 * std::log10(toneEnergy / std::max(noise, 1e-12));
    return fit;
}

bool HaveOpusdec() {
    return std::system("opusdec --version >/dev/null 2>&1") == 0;
}

#define REQUIRE_OPUS_TOOLS()                                                                       \
    do {                                                                                           \
        if (!NSWave::CanSaveOpus())                                                                \
            GTEST_SKIP() << "built without the Opus encoder";                                      \
        if (!HaveOpusdec()) {                                                                      \
            const char* ci = std::getenv("CI");                                                    \
            if (ci && std::string(ci) == "true")                                                   \
                FAIL() << "opusdec is not installed";                                              \
            GTEST_SKIP() << "opusdec is not installed";                                            \
        }                                                                                          \
    } while (0)

// Checks a decoded document against the saved one.
void ExpectSame(const TFile& saved, const TFile& back, const std::string& what) {
    ASSERT_EQ(back.ChannelCount(), saved.ChannelCount()) << what;
    // The length at the decoded rate, within 5 ms: the decoder drops the
    // encoder's lead-in (its pre-skip) and the padding of the last packet.
    const double expected = double(saved.GetLength()) * back.Rate / saved.Rate;
    EXPECT_NEAR(double(back.GetLength()), expected, 0.005 * back.Rate) << what;
    for (int c = 0; c < saved.ChannelCount(); ++c) {
        const TFit fit = FitTones(back.Channel(c), back.Rate, TonesOf(c));
        for (size_t t = 0; t < fit.LevelDb.size(); ++t)
            EXPECT_NEAR(fit.LevelDb[t], 0.0, 1.0)
                << what << ": channel " << c << ", tone " << TonesOf(c)[t].Hz << " Hz";
        EXPECT_GT(fit.SnrDb, 15.0) << what << ": channel " << c;
    }
}

} // namespace

TEST(OpusSave, TheOpusToolsAndTheProgramDecodeWhatWasSaved) {
    REQUIRE_OPUS_TOOLS();
    const std::string dir = TestTmpDir() + "/opus";
    fs::create_directory(dir);
    const std::string file = dir + "/take.opus", decoded = dir + "/decoded.wav";
    for (int rate : {44100, 48000})
        for (int channels : {1, 2})
            for (int size : {2, 3}) {
                const std::string what = std::to_string(rate) + " Hz, " + std::to_string(channels) +
                                         " channels, " + std::to_string(8 * size) + "-bit";
                TFile doc;
                MakeTones(doc, rate, channels, size, 1.5);
                const std::vector<int32_t> before(doc.Channel(0).Samples,
                                                  doc.Channel(0).Samples + doc.GetLength());
                doc.Save(file);
                // Opus is lossy: the document keeps its own samples.
                EXPECT_TRUE(std::equal(before.begin(), before.end(), doc.Channel(0).Samples))
                    << what;

                // The Opus tools decode at the rate the header records.
                const std::string command =
                    "opusdec --quiet --float '" + file + "' '" + decoded + "'";
                ASSERT_EQ(std::system(command.c_str()), 0) << command;
                TFile tools;
                tools.Load(decoded);
                EXPECT_EQ(tools.Rate, rate) << what;
                ExpectSame(doc, tools, "opusdec, " + what);

                TFile own;
                own.Load(file);
                ExpectSame(doc, own, "loaded, " + what);
            }
    fs::remove_all(dir);
}

// Surround sound keeps each channel in its place (the file holds them in
// the surround order of Opus files, its low-frequency channel coded as
// such), and the comment goes along.
TEST(OpusSave, SurroundChannelsAndTheCommentSurviveTheRoundTrip) {
    REQUIRE_OPUS_TOOLS();
    const std::string dir = TestTmpDir() + "/opus";
    fs::create_directory(dir);
    const std::string file = dir + "/surround.opus", decoded = dir + "/decoded.wav";
    for (int channels : {3, 6}) {
        TFile doc;
        MakeTones(doc, 48000, channels, 2, 1.0);
        doc.Comment = "Take 3, room B";
        doc.Save(file);
        TFile own;
        own.Load(file);
        ExpectSame(doc, own, "loaded, " + std::to_string(channels) + " channels");
        const std::string info = NSWaveTest::Shell("opusinfo '" + file + "' 2>&1");
        EXPECT_NE(info.find("COMMENT=Take 3, room B"), std::string::npos) << info;
    }
    fs::remove_all(dir);
}

// The bit rate setting reaches the encoder: each step up takes more bytes,
// and the rate is near what was asked for.
TEST(OpusSave, AHigherBitRateMakesALargerFile) {
    if (!NSWave::CanSaveOpus())
        GTEST_SKIP() << "built without the Opus encoder";
    const std::string dir = TestTmpDir() + "/opus";
    fs::create_directory(dir);
    const std::string file = dir + "/rate.opus";
    TFile doc;
    MakeTones(doc, 44100, 2, 2, 4.0);
    // Some noise, so that the encoder has use for the bits.
    uint32_t seed = 7;
    for (int c = 0; c < 2; ++c)
        for (uint32_t i = 0; i < doc.GetLength(); ++i) {
            seed = seed * 1664525u + 1013904223u;
            doc.Channel(c).MutableSamples(0)[i] += int32_t(seed >> 8) - (1 << 23);
        }
    std::vector<double> kbits;
    for (int bitrate : {64, 128, 256}) {
        NSWave::OpusBitrateSetting.Set(bitrate);
        doc.Save(file);
        kbits.push_back(double(fs::file_size(file)) * 8 / 1000 / 4.0);
        EXPECT_NEAR(kbits.back(), bitrate, bitrate * 0.25) << bitrate;
    }
    NSWave::OpusBitrateSetting.Set(NSWave::DefaultOpusBitrate);
    EXPECT_LT(kbits[0], kbits[1]);
    EXPECT_LT(kbits[1], kbits[2]);
    fs::remove_all(dir);
}
