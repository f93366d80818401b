// The channel views against the plain painter: random sounds, zooms, scroll
// positions, selections and channel lengths, rendered whole, in any stretch
// of columns, and as the screen shows them after the window's own
// repaints; then through every kind of change of the sound.

#include <cmath>
#include <random>
#include <sstream>

#include "undo/undo.h"
#include "wave/peakcheck.h"
#include "wavewin/viewtest.h"
#include "wavewin/wavewintest.h"

using namespace NSWaveWin;
using namespace NSWaveWinTest;

namespace {

class ViewTest : public WaveWinTest {
protected:
    uint64_t Pick(uint64_t low, uint64_t high) {
        return std::uniform_int_distribution<uint64_t>(low, high)(Rng);
    }

    // A length: often none or a few samples, now and then long enough for
    // the coarse blocks of the summary.
    uint32_t AnyLength() {
        switch (Pick(0, 5)) {
        case 0:
            return uint32_t(Pick(0, 3));
        case 1:
            return uint32_t(Pick(1, 1000));
        case 2:
            return uint32_t(Pick(60000, 1200000));
        default:
            return uint32_t(Pick(1, 100000));
        }
    }

    void Fill(TWaveWin* w, int channel, uint32_t length) {
        NSWave::TChannel& c = w->Document.Channel(channel);
        c.SetSize(length);
        if (length)
            NSPeakTest::Content(Rng, c.MutableSamples(0), length);
    }

    // Every view, whole and in stretches of columns (among them the band's
    // first and last column and the view's last one), and what the screen
    // shows of it, against the plain painter.
    void Check(TWaveWin* w, const std::string& state) {
        ASSERT_EQ(w->Views().Count(), w->Document.ChannelCount()) << state;
        for (TChannelWin* view : w->Views()) {
            SCOPED_TRACE(state + ", channel " + std::to_string(view->Channel));
            const QImage want = PlainView(*view);
            const int width = view->width(), height = view->height();
            ASSERT_TRUE(SamePixels(view->grab().toImage().convertToFormat(QImage::Format_RGB32),
                                   want, view->rect()));
            QRect visible;
            const QImage shown = OnScreen(*view, &visible);
            ASSERT_TRUE(SamePixels(shown, want, visible)) << "on screen";

            const auto [bandFrom, bandTo] = view->Band();
            const int64_t starts[] = {bandFrom,   bandTo,    bandTo - 1,
                                      bandTo + 1, width - 1, int64_t(Pick(0, uint64_t(width - 1)))};
            for (int64_t start : starts) {
                if (start < 0 || start >= width)
                    continue;
                const int left = int(start);
                const int right = int(Pick(uint64_t(left), uint64_t(width - 1)));
                const int top = Pick(0, 3) == 0 ? int(Pick(0, uint64_t(height - 1))) : 0;
                const QRect area(QPoint(left, top), QPoint(right, height - 1));
                ASSERT_TRUE(SamePixels(Rendered(*view, area, want), want, area));
            }
        }
    }

    std::mt19937 Rng{13};
};

TEST_F(ViewTest, ViewsShowWhatThePlainPainterShowsForAnySoundZoomScrollAndSelection) {
    TWaveWin* w = Open();
    const uint32_t lastSample = 999;
    for (int round = 0; round < 48; ++round) {
        // The sound: one to three channels of their own lengths; the first
        // rounds are the edge cases: an empty channel, a cursor at the last
        // sample, ten pixels per sample, 25,000 samples per column.
        const int channels = round < 4 ? 1 : int(Pick(1, 3));
        w->Document.SetChannelCount(channels);
        for (int c = 0; c < channels; ++c)
            Fill(w, c, round == 0 ? 0 : round < 4 ? lastSample + 1 : AnyLength());
        const double zooms[] = {0.01, 0.5, 10.0, TWaveWin::ZoomMin};
        TWaveWinProbe::View(*w).Zoom =
            round < 4 ? zooms[round]
                      : std::exp(std::uniform_real_distribution<double>(
                            std::log(TWaveWin::ZoomMin), std::log(TWaveWin::ZoomMax))(Rng));
        TWaveWinProbe::View(*w).ChannelHeight = int(Pick(50, 400));
        w->SetSelection(TSampleRange());
        w->UpdateView();
        QCoreApplication::processEvents();

        // Then what a user does: scrolling and selecting, each change shown
        // before the next, so the screen is the sum of the window's own
        // partial repaints.
        const uint32_t length = w->Document.GetLength();
        auto anySample = [&]() -> uint32_t {
            if (Pick(0, 4) == 0)
                return uint32_t(Pick(0, uint64_t(length) + 100));
            // Mostly a sample in view.
            const int64_t from = w->SampleUnder(0), to = w->SampleUnder(w->View().ViewWidth + 4);
            return uint32_t(Pick(uint64_t(std::max<int64_t>(0, from - 10)), uint64_t(to + 10)));
        };
        auto anyChannel = [&]() {
            return Pick(0, 2) == 0 ? AllChannels : int(Pick(0, channels - 1));
        };
        for (int step = 0, steps = int(Pick(1, 8)); step < steps; ++step) {
            switch (Pick(0, 6)) {
            case 0:
                w->ScrollHorizontally(TScroll(Pick(0, 7)),
                                      int64_t(Pick(0, uint64_t(w->View().MaxScrollX))));
                break;
            case 1:
                w->SetSelection(TSampleRange());
                break;
            case 2: {
                const uint32_t s = anySample();
                w->SetSelection(TSampleRange(s, s, anyChannel()));
                break;
            }
            case 3:
            case 4: {
                // A drag: one end stays.
                TSampleRange r = w->Selected().Valid
                                     ? w->Selected()
                                     : TSampleRange(anySample(), anySample(), anyChannel());
                r = Pick(0, 1) ? TSampleRange(r.Start, anySample(), r.Channel)
                               : TSampleRange(anySample(), r.End, r.Channel);
                w->SetSelection(r);
                break;
            }
            default:
                w->SetSelection(TSampleRange(anySample(), anySample(), anyChannel()));
                break;
            }
            if (Pick(0, 1))
                QCoreApplication::processEvents();
        }
        if (round < 4) {
            w->ScrollHorizontally(TScroll::ThumbPosition, round == 2 ? 9000 : 0);
            w->SetSelection(TSampleRange(lastSample, lastSample, 0));
        }
        std::ostringstream state;
        state << "round " << round << ": zoom " << w->View().Zoom << ", scroll "
              << w->View().ScrollX << " of " << w->View().MaxScrollX << ", selection "
              << w->Selected().Start << ".." << w->Selected().End << " on " << w->Selected().Channel
              << (w->Selected().Valid ? "" : " (none)") << ", length " << length;
        Check(w, state.str());
        if (HasFatalFailure())
            return;
    }
}

TEST_F(ViewTest, ViewsFollowEveryChangeOfTheSound) {
    TWaveWin* w = Open();
    w->Document.SetChannelCount(2);
    Fill(w, 0, 150000);
    Fill(w, 1, 120000);
    // Columns of about 700 samples: the summary's blocks draw most of them.
    TWaveWinProbe::View(*w).Zoom = 1.0 / 700;
    w->UpdateView();
    auto step = [&](const std::string& what) {
        w->UpdateView();
        Check(w, what);
    };
    step("loaded");

    auto keep = [&](NSUndo::TUndoBase* record) { ASSERT_TRUE(w->AddUndo(record)); };
    const TSampleRange second(60000, 60000 + 22050, AllChannels);
    keep(new NSUndo::TDeletion(*w, second));
    w->Document.DeleteRange(second);
    step("a second deleted in the middle");

    // Pasted material, longer on one channel than on the other.
    NSWave::TFile material(w->Document.Rate, 2, 4, 2);
    material.SetSize(30000, 2);
    material.Channel(1).SetSize(9000);
    for (int c = 0; c < 2; ++c)
        NSPeakTest::Content(Rng, material.Channel(c).MutableSamples(0), material.Channel(c).Count);
    TTmpFile file("WAV");
    material.Save(file.GetFileName());
    auto* paste = new NSUndo::TInsertion(*w, TSampleRange(1000, 5000, AllChannels), file, 0, -1);
    keep(paste);
    paste->Redo(*w, nullptr);
    w->SetSelection(paste->Inserted);
    step("pasted over a range");

    const TSampleRange loud(20000, 90000, 1);
    keep(new NSUndo::TReplacement(*w, loud));
    w->Document.Amplify(loud, 0.2, 3.0);
    step("an effect on one channel");
    w->CmUndo();
    step("the effect undone");
    w->CmUndo();
    step("the effect redone");

    keep(new NSUndo::TAddChannel(*w));
    w->Document.SetChannelCount(3);
    Fill(w, 2, 80000);
    step("a channel added");
    keep(new NSUndo::TDelChannel(*w, 0));
    w->Document.DeleteChannel(0);
    step("a channel deleted");
    w->CmUndo();
    step("the deletion undone");

    // Samples written in place, and a sound loaded over everything.
    NSPeakTest::Content(Rng, w->Document.Channel(1).MutableSamples(50000), 70000);
    step("samples written");
    w->LoadFile(MakeSound("other.wav", 2, 90000, 22050, 2, [](int c, uint32_t i) {
        return int32_t(((i * 7919u + uint32_t(c) * 104729u) % 65536u) << 16);
    }));
    TWaveWinProbe::View(*w).Zoom = 1.0 / 700;
    step("another sound loaded");
}

// The commands announce what they changed and nobody asks for a repaint:
// what the screen shows must still be the sound, after any command.
TEST_F(ViewTest, ViewsRepaintWhatEachCommandChangedWithoutBeingAsked) {
    TWaveWin* w = Open();
    w->Document.SetChannelCount(2);
    Fill(w, 0, 150000);
    Fill(w, 1, 120000);
    w->AnnounceChanges();
    TWaveWinProbe::View(*w).Zoom = 1.0 / 700;
    w->UpdateView();
    Check(w, "loaded");
    const int commands[] = {CmdCut,      CmdPaste,       CmdDelete,  CmdSilence,
                            CmdReverse,  CmdFadeIn,      CmdFadeOut, CmdUndo,
                            CmdAddTrack, CmdDeleteTrack, CmdUndo,    CmdPaste};
    for (int round = 0; round < 24; ++round) {
        const uint32_t length = w->Document.GetLength();
        const uint32_t a = uint32_t(Pick(0, length)), b = uint32_t(Pick(0, length));
        const int channel =
            Pick(0, 2) == 0 ? AllChannels : int(Pick(0, uint64_t(w->Document.ChannelCount() - 1)));
        w->SetSelection(TSampleRange(std::min(a, b), std::max(a, b), channel));
        const int id = commands[Pick(0, std::size(commands) - 1)];
        w->Command(id);
        Check(w, "round " + std::to_string(round) + ", command " + std::to_string(id));
    }
}

} // namespace
