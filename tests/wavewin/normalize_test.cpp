// Normalize through its dialog over random sounds and selections, next to a
// plain reference: the peak of each channel (or of all together) raised or
// lowered to the level typed, undone and redone exactly.

#include <QRadioButton>
#include <cmath>
#include <random>

#include "wavewin/dialogtest.h"
#include "wavewin/normalizedlg.h"

using namespace NSWaveWin;
using namespace NSWaveWinTest;

namespace {

class NormalizeTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        Forget(TNormalizeDlg::LevelSetting);
        Forget(TNormalizeDlg::TogetherSetting);
    }

    int Pick(int a, int b) { return std::uniform_int_distribution<int>(a, b)(Random); }

    // A channel of random samples at a random loudness; now and then
    // silent, or holding the most negative sample.
    V Channel(size_t n) {
        V v(n, 0);
        const int kind = Pick(0, 5);
        if (kind == 0)
            return v;
        const int64_t scale = int64_t(1) << Pick(8, 31);
        for (int32_t& s : v)
            s = int32_t(std::uniform_int_distribution<int64_t>(-scale, scale - 1)(Random));
        if (kind == 1 && n > 0)
            v[size_t(Pick(0, int(n) - 1))] = INT32_MIN;
        return v;
    }

    std::mt19937 Random{20261209};
};

// The range the effects work on, as the window's rules give it.
TSampleRange Effective(const TSampleRange& sel, uint32_t length) {
    if (!sel.Valid)
        return TSampleRange(0, length, AllChannels);
    if (sel.Start == sel.End)
        return TSampleRange(0, length, sel.Channel);
    return TSampleRange(sel.Start, std::min(sel.End, length), sel.Channel);
}

TSound Normalized(TSound sound, const TSampleRange& r, double level, bool together) {
    const int first = r.Channel == AllChannels ? 0 : r.Channel;
    const int last = r.Channel == AllChannels ? int(sound.size()) - 1 : r.Channel;
    auto peak = [&](int c) {
        int64_t p = 0;
        for (uint32_t i = r.Start; i < r.End; ++i)
            p = std::max(p, std::abs(int64_t(sound[size_t(c)][i])));
        return p;
    };
    for (int c = first; c <= last; ++c)
        if (sound[size_t(c)].size() < r.End)
            sound[size_t(c)].resize(r.End, 0);
    int64_t loudest = 0;
    for (int c = first; c <= last; ++c)
        loudest = std::max(loudest, peak(c));
    for (int c = first; c <= last; ++c) {
        const int64_t p = together ? loudest : peak(c);
        if (p == 0)
            continue;
        const double gain = std::pow(10.0, level / 20) * 2147483647.0 / double(p);
        for (uint32_t i = r.Start; i < r.End; ++i) {
            const double v = gain * double(sound[size_t(c)][i]);
            sound[size_t(c)][i] = int32_t(std::clamp(v, -2147483648.0, 2147483647.0));
        }
    }
    return sound;
}

} // namespace

TEST_F(NormalizeTest, PeaksReachTheLevelOverAnyRangeAndUndoGivesTheSoundBack) {
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TSound sound;
        const int channels = Pick(1, 3);
        const size_t length = size_t(Pick(1, 3000));
        for (int c = 0; c < channels; ++c)
            sound.push_back(Channel(Pick(0, 3) == 0 ? size_t(Pick(0, int(length))) : length));
        TWaveWin* w = Window(sound);
        const uint32_t longest = w->Document.GetLength();
        const uint32_t a = uint32_t(Pick(0, int(longest))), b = uint32_t(Pick(0, int(longest)));
        const int channel = Pick(0, 1) ? AllChannels : Pick(0, channels - 1);
        if (Pick(0, 3) != 0)
            Select(w, std::min(a, b), std::max(a, b), channel);
        const TSampleRange range = Effective(w->Selected(), longest);
        const double level = std::vector<double>{-1, -0.5, -6, -20.25, 0, -100}[size_t(Pick(0, 5))];
        const bool together = Pick(0, 1);

        EXPECT_FALSE(Drive<TNormalizeDlg>(w, CmdNormalize, [&](TNormalizeDlg& d) {
            EXPECT_EQ(d.windowTitle(), "Normalize");
            Type(d, 2570, std::to_string(level).c_str());
            qobject_cast<QRadioButton*>(d.Control(together ? 2572 : 2571))->setChecked(true);
            Ok(d);
        }));
        const TSound after = Snapshot(w->Document);
        ASSERT_EQ(after, Normalized(sound, range, level, together));
        EXPECT_TRUE(w->IsModified());
        w->Command(CmdUndo);
        ASSERT_EQ(Snapshot(w->Document), sound);
        w->Command(CmdUndo);
        ASSERT_EQ(Snapshot(w->Document), after);
    }
}

TEST_F(NormalizeTest, TheLevelIsRememberedAndOneOutOfRangeKeepsTheDialogOpen) {
    const TSound sound{{1 << 20, -(1 << 22), 3}, {1 << 24, 0, -5}};
    TWaveWin* w = Window(sound);
    EXPECT_TRUE(Drive<TNormalizeDlg>(w, CmdNormalize, [&](TNormalizeDlg& d) {
        // The first time: -1 dBFS, each channel on its own.
        EXPECT_EQ(TextOf(d, 2570), "-1");
        EXPECT_TRUE(qobject_cast<QRadioButton*>(d.Control(2571))->isChecked());
        for (const char* wrong : {"3", "-101", "loud", ""}) {
            Type(d, 2570, wrong);
            Boxes.Expect("The peak level must be a number from -100 to 0 dBFS.", IdOk);
            Ok(d);
            EXPECT_TRUE(d.isVisible()) << wrong;
        }
        EXPECT_EQ(Snapshot(w->Document), sound);
        EXPECT_FALSE(w->HasUndo());
    }));
    EXPECT_FALSE(Drive<TNormalizeDlg>(w, CmdNormalize, [&](TNormalizeDlg& d) {
        Type(d, 2570, "-3.5");
        qobject_cast<QRadioButton*>(d.Control(2572))->setChecked(true);
        Ok(d);
    }));
    EXPECT_EQ(Stored("Filters\\Normalize\\Level"), "-3.5");
    EXPECT_EQ(Stored("Filters\\Normalize\\Together"), "1");
    // Read again from the store, as at the next start.
    TNormalizeDlg::LevelSetting.Unload();
    TNormalizeDlg::TogetherSetting.Unload();
    EXPECT_TRUE(Drive<TNormalizeDlg>(w, CmdNormalize, [&](TNormalizeDlg& d) {
        EXPECT_EQ(TextOf(d, 2570), "-3.5");
        EXPECT_TRUE(qobject_cast<QRadioButton*>(d.Control(2572))->isChecked());
    }));
}
