// View > Spectrogram against a plain painting of spectrograms made afresh
// from a copy of each channel: random sounds, zooms, scroll positions,
// selections and edits, compared as the screen shows them after the
// window's own repaints (tiles arriving, scrolling, changes of the sound).

#include <QMenu>
#include <cmath>
#include <numbers>
#include <random>

#include "wave/spectro.h"
#include "wavewin/spectrotest.h"
#include "wavewin/spectroview.h"
#include "wavewin/viewtest.h"
#include "wavewin/wavewintest.h"

using namespace NSWaveWin;
using namespace NSWaveWinTest;
using NSWave::TSpectrogram;
using NSWave::TSpectrumScale;

namespace {

constexpr QRgb Waiting = 0xff303030u;

class SpectroViewTest : public WaveWinTest {
protected:
    uint64_t Pick(uint64_t low, uint64_t high) {
        return std::uniform_int_distribution<uint64_t>(low, high)(Rng);
    }

    // A tone and some noise, so that the spectrogram has rows of every level.
    void Fill(TWaveWin* w, int c, uint32_t length) {
        NSWave::TChannel& channel = w->Document.Channel(c);
        channel.SetSize(length);
        int32_t* s = channel.MutableSamples(0);
        const double hz = 200.0 * double(Pick(1, 40));
        for (uint32_t i = 0; i < length; ++i)
            s[i] = int32_t(1e9 * std::sin(2 * std::numbers::pi * hz * i / w->Document.Rate)) +
                   (int32_t(Rng()) >> int(Pick(4, 20)));
    }

    static void Settle(TWaveWin* w) { SettleSpectrograms(w); }

    void Check(TWaveWin* w, const std::string& state) {
        Settle(w);
        for (TChannelWin* view : w->Views()) {
            SCOPED_TRACE(state + ", channel " + std::to_string(view->Channel));
            const QImage want = PlainSpectrogram(*w, view->Channel, view->width(), view->height());
            QRect visible;
            const QImage shown = OnScreen(*view, &visible);
            visible.setLeft(std::max(visible.left(), TSpectroStrip::RulerWidth));
            ASSERT_TRUE(SamePixels(shown, want, visible)) << "on screen";
        }
    }

    std::mt19937 Rng{2069};
};

TEST_F(SpectroViewTest, StripsShowTheSpectrogramsThroughZoomScrollSelectionAndEdits) {
    TWaveWin* w = Open();
    w->Document.Rate = 22050;
    w->Document.SetChannelCount(2);
    Fill(w, 0, 300000);
    Fill(w, 1, 120000);
    w->AnnounceChanges();
    w->ResetView();
    ASSERT_FALSE(w->IsChecked(CmdSpectrogram));
    ASSERT_STREQ(FindCommand(CmdSpectrogram)->MenuText, "&Spectrogram");

    // The first paint does not wait for a tile: the sound's columns are
    // drawn as not computed yet, past its end the background.
    w->Command(CmdSpectrogram);
    ASSERT_TRUE(w->IsChecked(CmdSpectrogram));
    {
        TChannelWin* view = w->Views()[1];
        const QImage first = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int64_t end = w->PixelOf(120000);
        EXPECT_EQ(first.pixel(TSpectroStrip::RulerWidth + 1, 10), Waiting);
        EXPECT_EQ(first.pixel(int(end) - 2, view->height() - 1), Waiting);
        EXPECT_EQ(first.pixel(int(end) + 2, 10), RgbOf(w->View().BackColor));
    }
    Check(w, "fitted");

    // First zoomed in far enough that a frame spans many columns, with an
    // edit in the middle of the screen, then anything.
    for (int round = 0; round < 14; ++round) {
        const std::string state = "round " + std::to_string(round);
        switch (round == 0 ? 0 : round == 1 ? 4 : Pick(0, 5)) {
        case 0:
            w->SetScale(round == 0
                            ? 0.5
                            : std::exp(std::uniform_real_distribution<double>(
                                  std::log(TWaveWin::ZoomMin), std::log(TWaveWin::ZoomMax))(Rng)));
            break;
        case 1:
            w->ScrollHorizontally(TScroll(Pick(0, 7)),
                                  int64_t(Pick(0, uint64_t(w->View().MaxScrollX))));
            break;
        case 2: {
            const uint32_t a =
                uint32_t(w->SampleUnder(int64_t(Pick(0, uint64_t(w->View().ViewWidth)))));
            w->SetSelection(
                TSampleRange(a, a + uint32_t(Pick(0, 20000)), Pick(0, 1) ? AllChannels : 1));
            break;
        }
        case 3:
            // An edit through the window's protocol, or undoing it.
            if (w->Selected().Valid && w->Selected().Start < w->Selected().End &&
                w->IsEnabled(CmdDelete))
                w->Command(CmdDelete);
            else if (w->IsEnabled(CmdUndo))
                w->Command(CmdUndo);
            break;
        case 4: {
            // Samples written in place in the middle of the screen.
            NSWave::TChannel& channel = w->Document.Channel(0);
            const uint32_t at = uint32_t(
                std::clamp<int64_t>(w->SampleUnder(w->View().ViewWidth / 2), 0, channel.Count));
            const uint32_t n = std::min<uint32_t>(4000, channel.Count - at);
            int32_t* s = channel.MutableSamples(at);
            for (uint32_t i = 0; i < n; ++i)
                s[i] = int32_t(Rng());
            w->AnnounceChanges();
            break;
        }
        case 5:
            w->SetChannelHeight(double(Pick(50, 300)));
            break;
        }
        Check(w, state);
    }

    // Back to the waveforms: the tiles go.
    w->Command(CmdSpectrogram);
    EXPECT_FALSE(w->IsChecked(CmdSpectrogram));
    for (TChannelWin* view : w->Views())
        EXPECT_FALSE(view->Spectro);
}

} // namespace
