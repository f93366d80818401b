// The spectrogram's columns against a plain DFT written here, and its tiles
// against a spectrogram computed afresh after random edits of the channel.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>

#include "wave/channel.h"
#include "wave/spectro.h"

using NSWave::TChannel;
using NSWave::TSpectrogram;
using NSWave::TSpectrumScale;

namespace {

// The textbook transform of the Hann-windowed frame, in double precision,
// as powers relative to a full-scale sine centred on a bin.
std::vector<double> PlainPower(const TChannel& channel, int64_t start, int n) {
    std::vector<double> frame(static_cast<size_t>(n));
    std::vector<std::complex<double>> turn(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) {
        const int64_t i = start + k;
        const double v = i >= 0 && i < int64_t(channel.Count) ? channel.Samples[i] : 0;
        frame[size_t(k)] = v * (0.5 - 0.5 * std::cos(2 * std::numbers::pi * k / n));
        turn[size_t(k)] = std::polar(1.0, -2 * std::numbers::pi * k / n);
    }
    std::vector<double> power(size_t(n / 2 + 1));
    const double full = 2147483648.0 * n / 4;
    for (int b = 0; b <= n / 2; ++b) {
        std::complex<double> sum = 0;
        for (int k = 0; k < n; ++k)
            sum += frame[size_t(k)] * turn[size_t(int64_t(b) * k % n)];
        power[size_t(b)] = std::norm(sum) / (full * full);
    }
    return power;
}

double Db(double power) {
    return 10 * std::log10(std::max(power, 1e-30));
}

void Sine(TChannel& channel, double cycles, double amplitude, double phase) {
    int32_t* s = channel.MutableSamples(0);
    for (uint32_t i = 0; i < channel.Count; ++i)
        s[i] = int32_t(std::lround(amplitude * 2147483647.0 *
                                   std::sin(2 * std::numbers::pi * cycles * i + phase)));
}

void Noise(std::mt19937& rng, int32_t* s, uint32_t n) {
    const int shift = int(rng() % 12);
    for (uint32_t i = 0; i < n; ++i)
        s[i] = int32_t(rng()) >> shift;
}

TEST(Spectrum, BinsEqualAPlainDftAndASineLandsInItsBinAndRow) {
    std::mt19937 rng(26);
    for (int round = 0; round < 24; ++round) {
        const int n = std::array{64, 256, 300, 1024, 2048}[size_t(round % 5)];
        TChannel channel;
        channel.SetSize(uint32_t(n * 2 + rng() % 500));
        // Noise, or a loud sine on a bin with quiet noise, or a sine off the
        // bins; frames reaching past either end of the channel too.
        const int bin = 1 + int(rng() % uint32_t(n / 2 - 2));
        if (round % 3 == 0) {
            Noise(rng, channel.MutableSamples(0), channel.Count);
        } else {
            const double cycles = (bin + (round % 3 == 2 ? 0.37 : 0.0)) / n;
            Sine(channel, cycles, 0.25 + 0.75 * (round % 4) / 3.0, rng() % 628 / 100.0);
        }
        const int64_t start = int64_t(rng() % (channel.Count + n)) - n / 2;
        const std::vector<float> db =
            NSWave::FrameSpectrumDb(channel.Samples, channel.Count, start, n);
        const std::vector<double> want = PlainPower(channel, start, n);
        ASSERT_EQ(db.size(), want.size());
        const double loudest = Db(*std::max_element(want.begin(), want.end()));
        for (size_t b = 0; b < want.size(); ++b)
            if (Db(want[b]) > loudest - 70) {
                ASSERT_NEAR(db[b], Db(want[b]), 0.05) << n << " bin " << b << " round " << round;
            }

        if (round % 3 == 1 && start >= 0 && start + n <= int64_t(channel.Count)) {
            // A whole frame of a sine on bin `bin`: the loudest bin, at the
            // sine's own level.
            const auto peak = std::max_element(db.begin(), db.end()) - db.begin();
            EXPECT_EQ(peak, bin) << n;
            const double amplitude = 0.25 + 0.75 * (round % 4) / 3.0;
            EXPECT_NEAR(db[size_t(bin)], 20 * std::log10(amplitude), 0.05) << n;
            // On the rows: the loudest row is the one that holds its tone.
            const int rate = 8000 + int(rng() % 40000);
            const TSpectrumScale scale(rate, n);
            std::vector<float> power(want.begin(), want.end());
            std::vector<uint8_t> rows(TSpectrumScale::Rows);
            scale.Gather(power.data(), rows.data(), 1);
            const double hz = double(bin) * rate / n;
            if (hz > scale.Low()) {
                const int loudRow = int(std::max_element(rows.begin(), rows.end()) - rows.begin());
                EXPECT_NEAR(loudRow, scale.RowOf(hz), 1) << n << " at " << hz << " Hz";
                EXPECT_NEAR(scale.FrequencyAt(scale.RowOf(hz) + 0.5), hz,
                            hz * (std::pow(scale.High() / scale.Low(), 1.0 / 256) - 1));
            }
        }
    }
}

TEST(Spectrum, PaletteRunsFromBlackToWhiteGrowingBrighter) {
    const auto& palette = NSWave::SpectrumPalette();
    auto luma = [](uint32_t c) {
        return 0.30 * ((c >> 16) & 255) + 0.59 * ((c >> 8) & 255) + 0.11 * (c & 255);
    };
    EXPECT_EQ(palette.front(), 0xff000000u);
    EXPECT_EQ(palette.back(), 0xffffffffu);
    for (size_t i = 1; i < palette.size(); ++i)
        EXPECT_GE(luma(palette[i]), luma(palette[i - 1]) - 0.5) << i;
}

// Every column of a finished tile from a spectrogram just made.
std::vector<uint8_t> Fresh(TChannel& channel, int rate, int window, double zoom, int64_t index) {
    TSpectrogram fresh(window);
    fresh.Follow(channel, rate);
    fresh.Tile(zoom, index);
    fresh.Finish();
    const uint8_t* levels = fresh.Tile(zoom, index);
    return std::vector<uint8_t>(levels, levels + TSpectrumScale::Rows * TSpectrogram::TileColumns);
}

TEST(Spectrogram, TilesEqualThePlainDftOnTheRows) {
    std::mt19937 rng(2048);
    TChannel channel;
    channel.SetSize(40000);
    Sine(channel, 440.0 / 22050, 0.5, 0);
    Noise(rng, channel.MutableSamples(0), 10000);
    Noise(rng, channel.MutableSamples(30000), 10000);
    for (double zoom : {0.01, 0.3, 2.5}) {
        const int window = zoom < 1 ? 512 : 2048;
        TSpectrogram spectrogram(window);
        spectrogram.Follow(channel, 22050);
        const int64_t index = zoom < 0.1 ? 0 : 1;
        ASSERT_EQ(spectrogram.Tile(zoom, index), nullptr);
        spectrogram.Finish();
        const uint8_t* levels = spectrogram.Tile(zoom, index);
        ASSERT_NE(levels, nullptr);
        const TSpectrumScale scale(22050, window);
        for (int i = 0; i < TSpectrogram::TileColumns; i += 17) {
            const int64_t column = index * TSpectrogram::TileColumns + i;
            const int64_t start = int64_t((double(column) + 0.5) / zoom) - window / 2;
            const std::vector<double> plain = PlainPower(channel, start, window);
            std::vector<float> power(plain.begin(), plain.end());
            std::vector<uint8_t> want(TSpectrumScale::Rows);
            scale.Gather(power.data(), want.data(), 1);
            for (int r = 0; r < TSpectrumScale::Rows; ++r)
                ASSERT_NEAR(levels[r * TSpectrogram::TileColumns + i], want[size_t(r)], 1)
                    << "zoom " << zoom << " column " << column << " row " << r;
        }
    }
}

// A random run of the operations that write samples, with tiles asked for
// before and after each, some left computing across the change: whatever the
// spectrogram shows equals a spectrogram made afresh, so a change that slips
// past the marks, or a tile that arrives stale, shows as a difference.
TEST(Spectrogram, FollowsEveryChangeOfTheChannel) {
    std::mt19937 rng(61);
    const int window = 256;
    TChannel channel;
    channel.SetSize(20000);
    Noise(rng, channel.MutableSamples(0), channel.Count);
    TSpectrogram spectrogram(window);
    int rate = 16000;
    const double zooms[] = {0.05, 0.5, 3};
    for (int step = 0; step < 40; ++step) {
        spectrogram.Follow(channel, rate);
        for (int k = 0; k < 3; ++k) {
            const double zoom = zooms[rng() % 3];
            const int64_t tiles = int64_t(channel.Count * zoom) / TSpectrogram::TileColumns + 1;
            spectrogram.Tile(zoom, int64_t(rng() % uint64_t(tiles)));
        }
        if (step % 2)
            spectrogram.Finish();

        const uint32_t at = channel.Count ? uint32_t(rng() % channel.Count) : 0;
        const uint32_t n = std::min<uint32_t>(1 + rng() % 3000, channel.Count - at);
        switch (rng() % 6) {
        case 0:
            Noise(rng, channel.MutableSamples(at), n);
            break;
        case 1:
            channel.DeleteRange(TSampleRange(at, at + n, 0), bool(rng() % 2));
            break;
        case 2:
            channel.InsertGap(TSampleRange(at, at + n, 0));
            Noise(rng, channel.MutableSamples(at), n);
            break;
        case 3:
            channel.ZeroRange(TSampleRange(at, at + n, 0));
            break;
        case 4:
            channel.SetSize(channel.Count + n);
            break;
        case 5:
            if (step % 10 == 5)
                rate = rate == 16000 ? 44100 : 16000;
            break;
        }

        spectrogram.Follow(channel, rate);
        spectrogram.Finish();
        // The tiles around the change at every zoom, and a few others.
        std::vector<std::pair<double, int64_t>> check;
        for (double zoom : zooms) {
            const int64_t near = int64_t(at * zoom) / TSpectrogram::TileColumns;
            for (int64_t index = 0; index * TSpectrogram::TileColumns < channel.Count * zoom + 256;
                 ++index)
                if (spectrogram.Computed(zoom, index) &&
                    (std::llabs(index - near) <= 1 || rng() % 16 == 0))
                    check.emplace_back(zoom, index);
        }
        for (const auto& [zoom, index] : check) {
            const std::vector<uint8_t> want = Fresh(channel, rate, window, zoom, index);
            ASSERT_TRUE(std::equal(want.begin(), want.end(), spectrogram.Computed(zoom, index)))
                << "step " << step << " zoom " << zoom << " tile " << index;
        }
        spectrogram.CancelOtherZooms(zooms[rng() % 3]);
    }
    spectrogram.Finish();
    EXPECT_EQ(spectrogram.Pending(), 0u);
    EXPECT_LE(spectrogram.TileCount(), TSpectrogram::MaxTiles);
}

TEST(Spectrogram, TilesArriveThroughTheEventLoop) {
    TChannel channel;
    channel.SetSize(100000);
    Sine(channel, 0.01, 0.5, 0);
    std::vector<std::pair<int64_t, int64_t>> ready;
    {
        TSpectrogram spectrogram;
        spectrogram.Ready = [&](double zoom, int64_t first, int64_t end) {
            EXPECT_EQ(zoom, 0.1);
            ready.emplace_back(first, end);
        };
        spectrogram.Follow(channel, 44100);
        for (int64_t index = 0; index < 4; ++index)
            EXPECT_EQ(spectrogram.Tile(0.1, index), nullptr);
        for (int turn = 0; turn < 1000 && ready.size() < 4; ++turn)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ASSERT_EQ(ready.size(), 4u);
        std::sort(ready.begin(), ready.end());
        for (int64_t index = 0; index < 4; ++index) {
            EXPECT_EQ(ready[size_t(index)], std::pair(index * TSpectrogram::TileColumns,
                                                      (index + 1) * TSpectrogram::TileColumns));
            EXPECT_NE(spectrogram.Tile(0.1, index), nullptr);
        }
        // Gone while tiles are computing: nothing arrives for it.
        spectrogram.Tile(0.1, 10);
        spectrogram.Tile(0.1, 11);
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(ready.size(), 4u);
}

} // namespace
