// Loudness and Measure through their dialogs: random sounds and ranges
// reach the target loudness unless their true peak would pass the limit,
// which they then just reach; the sound outside the range stays, and Undo
// gives everything back.

#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <cmath>
#include <random>

#include "wave/loudness.h"
#include "wavewin/dialogtest.h"
#include "wavewin/loudnessdlg.h"
#include "wavewin/measuredlg.h"

using namespace NSWaveWin;
using namespace NSWaveWinTest;

namespace {

class LoudnessTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        Forget(TLoudnessDlg::TargetSetting);
        Forget(TLoudnessDlg::CeilingSetting);
    }
    int Pick(int a, int b) { return std::uniform_int_distribution<int>(a, b)(Random); }

    // Tones and noise at a random level: some quiet enough to be raised to
    // the target, some so peaky that the limit holds them back.
    V Channel(size_t n, int rate) {
        V v(n);
        const double level = std::pow(10.0, -Pick(3, 50) / 20.0) * 2147483647.0;
        const double tone = Pick(50, 5000);
        const bool clicks = Pick(0, 2) == 0;
        std::normal_distribution<double> noise(0, 0.3);
        for (size_t i = 0; i < n; ++i) {
            double x = std::sin(2 * M_PI * tone * double(i) / rate) * 0.7 + noise(Random) * 0.3;
            if (clicks && i % 4000 == 0)
                x = 3;
            v[i] = int32_t(std::clamp(x * level / 3, -2147483648.0, 2147483647.0));
        }
        return v;
    }

    std::mt19937 Random{77001};
};

NSWave::TLoudnessFigures Measured(TWaveWin* w, const TSampleRange& r) {
    return NSWave::MeasureLoudness(w->Document, r, NSWave::TLoudnessDetail::All).Together;
}

} // namespace

TEST_F(LoudnessTest, RangesReachTheTargetOrTheLimitAndUndoGivesTheSoundBack) {
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const int rate = 16000;
        const int channels = Pick(1, 2);
        const size_t length = size_t(Pick(rate, 4 * rate));
        TSound sound;
        for (int c = 0; c < channels; ++c)
            sound.push_back(Channel(length, rate));
        TWaveWin* w = Window(sound, rate);
        const uint32_t a = uint32_t(Pick(0, int(length) / 3));
        const uint32_t b = uint32_t(Pick(int(length) * 2 / 3, int(length)));
        const int channel = channels == 1 || Pick(0, 1) ? AllChannels : Pick(0, channels - 1);
        Select(w, a, b, channel);
        const TSampleRange range(a, b, channel);
        const double target = std::vector<double>{-23, -16, -14, -30}[size_t(Pick(0, 3))];
        const double ceiling = std::vector<double>{-1, -2, -0.5}[size_t(Pick(0, 2))];

        EXPECT_FALSE(Drive<TLoudnessDlg>(w, CmdLoudness, [&](TLoudnessDlg& d) {
            Type(d, 2580, std::to_string(target).c_str());
            Type(d, 2581, std::to_string(ceiling).c_str());
            Ok(d);
        }));
        const NSWave::TLoudnessFigures after = Measured(w, range);
        // Never past the limit; below the target only when held at it.
        EXPECT_LE(after.TruePeak, ceiling + 0.02);
        if (std::abs(after.Integrated - target) > 0.1) {
            EXPECT_NEAR(after.TruePeak, ceiling, 0.05) << after.Integrated;
        }
        EXPECT_LE(after.Integrated, target + 0.1);
        // Outside the range nothing moved.
        const TSound changed = Snapshot(w->Document);
        for (int c = 0; c < channels; ++c) {
            const bool inside = channel == AllChannels || channel == c;
            for (size_t i = 0; i < length; ++i)
                if (!inside || i < a || i >= b) {
                    ASSERT_EQ(changed[size_t(c)][i], sound[size_t(c)][i]) << c << " " << i;
                }
        }
        w->Command(CmdUndo);
        ASSERT_EQ(Snapshot(w->Document), sound);
        w->Command(CmdUndo);
        ASSERT_EQ(Snapshot(w->Document), changed);
    }
}

TEST_F(LoudnessTest, FieldsPresetsRefusalsAndTheMeasureWindow) {
    const TSound quiet{V(100, 5), V(100, -5)};
    TWaveWin* w = Window(quiet);
    EXPECT_TRUE(Drive<TLoudnessDlg>(w, CmdLoudness, [&](TLoudnessDlg& d) {
        EXPECT_EQ(TextOf(d, 2580), "-23");
        EXPECT_EQ(TextOf(d, 2581), "-1");
        Press(d, 2583);
        EXPECT_EQ(TextOf(d, 2580), "-16");
        Press(d, 2584);
        EXPECT_EQ(TextOf(d, 2580), "-14");
        Press(d, 2582);
        EXPECT_EQ(TextOf(d, 2580), "-23");
        Type(d, 2580, "3");
        Boxes.Expect("The target loudness must be a number from -70 to 0 LUFS.", IdOk);
        Ok(d);
        Type(d, 2580, "-14");
        Type(d, 2581, "loud");
        Boxes.Expect("The true peak limit must be a number from -20 to 0 dBTP.", IdOk);
        Ok(d);
        // 100 samples are shorter than one measuring block.
        Type(d, 2581, "-2");
        Boxes.Expect("The range is too short or too quiet to measure its loudness (it needs at "
                     "least 0.4 seconds of sound above -70 LUFS).",
                     IdOk);
        Ok(d);
        EXPECT_TRUE(d.isVisible());
    }));
    EXPECT_EQ(Snapshot(w->Document), quiet);
    EXPECT_FALSE(w->HasUndo());
    EXPECT_EQ(Stored("Filters\\Loudness\\Target"), "-14");
    EXPECT_EQ(Stored("Filters\\Loudness\\PeakLimit"), "-2");

    // The window shows the library's figures for each channel and both.
    const TSound tones{Channel(30000, 22050), Channel(30000, 22050)};
    TWaveWin* t = Window(tones);
    const NSWave::TLoudness figures =
        NSWave::MeasureLoudness(t->Document, TSampleRange(0, 30000), NSWave::TLoudnessDetail::All);
    // The measurement shows its progress, which lets events through: the
    // window is looked for until it is there.
    bool seen = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        auto* d = dynamic_cast<TMeasureDlg*>(QApplication::activeModalWidget());
        if (!d)
            return;
        look.stop();
        seen = true;
        QTableWidget* grid = d->Table();
        EXPECT_EQ(grid->rowCount(), 3);
        EXPECT_EQ(grid->verticalHeaderItem(2)->text(), "All channels");
        for (int row = 0; row < 3 && grid->rowCount() == 3; ++row) {
            const NSWave::TLoudnessFigures& f =
                row < 2 ? figures.PerChannel[size_t(row)] : figures.Together;
            const double values[] = {f.Integrated, f.Range, f.TruePeak, f.SamplePeak, f.Rms};
            for (int c = 0; c < 5; ++c)
                EXPECT_EQ(grid->item(row, c)->text(), TMeasureDlg::Text(values[c]));
        }
        d->reject();
    });
    look.start(5);
    t->Command(CmdMeasure);
    EXPECT_TRUE(seen);
}
