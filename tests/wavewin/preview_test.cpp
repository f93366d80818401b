// Preview in the effect dialogs: what the virtual card plays is, sample for
// sample, the change made to a copy of the range's first seconds (for Echo,
// what Ok then makes of them), and until Ok the sound, its modified flag and
// its history are untouched.

#include <random>

#include "wave/device.h"
#include "wavewin/ampdlg.h"
#include "wavewin/dialogtest.h"
#include "wavewin/echodlg.h"
#include "wavewin/preview.h"

using namespace NSWaveWin;
using namespace NSWaveWinTest;

namespace {

class PreviewTest : public DialogTest {
protected:
    // Plays what is queued to its end; the first output channel of every
    // frame, on the 32-bit scale.
    V PlayOut() {
        while (Card.OutputOpen() && Card.PlayBlocks(1) == 1)
            Deliver();
        const int bytes = Card.OutputFormat.SampleBytes;
        const size_t frame = size_t(bytes * Card.OutputFormat.Channels);
        V out;
        for (size_t at = 0; at + frame <= Card.Played.size(); at += frame) {
            uint32_t v = 0;
            for (int b = 0; b < bytes; ++b)
                v |= uint32_t(Card.Played[at + size_t(b)]) << (8 * (4 - bytes + b));
            out.push_back(int32_t(bytes == 1 ? v ^ 0x80000000u : v));
        }
        Card.Played.clear();
        return out;
    }
    // The first `n` samples of channel `c` from `from`, kept to the bits the
    // card was given.
    V Expected(const TSound& sound, int c, uint32_t from, uint32_t n) {
        const uint32_t mask = ~0u << (8 * (4 - Card.OutputFormat.SampleBytes));
        V want(sound[size_t(c)].begin() + from, sound[size_t(c)].begin() + from + n);
        for (int32_t& s : want)
            s = int32_t(uint32_t(s) & mask);
        return want;
    }
};

} // namespace

TEST_F(PreviewTest, PreviewPlaysWhatOkMakesOfTheFirstSecondsAndLeavesTheSound) {
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int32_t> sample(-(1 << 29), 1 << 29);
    constexpr int Rate = 8000;
    TEffectPreview::SecondsSetting.Set(2);
    const uint32_t seconds = 2 * Rate;

    for (int round = 0; round < 3; ++round) {
        TSound before(2, V(uint32_t(Rate) * 7));
        for (V& channel : before)
            for (int32_t& s : channel)
                s = sample(random);
        TWaveWin* w = Window(before, Rate, 1 + round);
        const uint32_t start = uint32_t(random() % Rate);
        const int channel = round == 1 ? 1 : AllChannels;
        w->SetSelection(TSampleRange(start, start + 4 * Rate, channel));
        const int shown = channel == AllChannels ? 0 : channel;

        // Amplitude: a changed field while it plays plays the new gain from
        // the start; closing stops it.
        V heard;
        EXPECT_FALSE(Drive<TAmpDlg>(w, CmdAmplitude, [&](TAmpDlg& d) {
            Type(d, 2529, "150");
            Press(d, 3);
            ASSERT_TRUE(d.Previewer().Playing());
            Card.PlayBlocks(1);
            Deliver();
            Type(d, 2529, "40");
            Card.Played.clear();
            heard = PlayOut();
            EXPECT_FALSE(d.Previewer().Playing());
            EXPECT_EQ(Snapshot(w->Document), before);
            EXPECT_FALSE(w->IsModified());
            EXPECT_FALSE(w->HasUndo());
            Press(d, 3);
            EXPECT_TRUE(Card.OutputOpen());
            Ok(d);
            EXPECT_FALSE(Card.OutputOpen());
        }));
        w->Command(CmdUndo);
        ASSERT_EQ(Snapshot(w->Document), before);
        // The reference: the same change made to a copy of those seconds.
        NSWave::TFile copy(w->Document, TSampleRange(start, start + seconds, AllChannels));
        TOpStatus status("");
        AmplifyBy(copy, TSampleRange(0, seconds, channel), 40, status);
        EXPECT_EQ(heard, Expected(Snapshot(copy), shown, 0, seconds)) << round;

        // Echo through the library; Cancel leaves everything as it was.
        EXPECT_FALSE(Drive<TEchoDlg>(w, CmdEcho, [&](TEchoDlg& d) {
            Type(d, 2526, "0.3");
            Type(d, 2527, "60");
            Press(d, 3);
            Card.PlayBlocks(2);
            Deliver();
            Card.Played.clear();
            Press(d, 3); // again: from the start
            heard = PlayOut();
            Press(d, 3);
            Cancel(d);
            EXPECT_FALSE(Card.OutputOpen());
        }));
        EXPECT_EQ(NSWave::ActiveEngine(), nullptr);
        EXPECT_EQ(Snapshot(w->Document), before);
        EXPECT_FALSE(w->IsModified());
        EXPECT_FALSE(w->HasUndo());
        if (round == 0) {
            EXPECT_NE(Stored("Filters\\Echo\\Delay"), "0.3");
        }
        EXPECT_FALSE(Drive<TEchoDlg>(w, CmdEcho, [&](TEchoDlg& d) {
            Type(d, 2526, "0.3");
            Type(d, 2527, "60");
            Ok(d);
        }));
        EXPECT_EQ(heard, Expected(Snapshot(w->Document), shown, start, seconds)) << round;
        w->Command(CmdUndo);
        Card.Clear();
    }
}
