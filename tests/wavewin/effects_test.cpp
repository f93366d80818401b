// The window's own effects and the track commands.

#include <optional>
#include <random>

#include "undo/undo.h"
#include "wavewin/chanwin.h"
#include "wavewin/edittest.h"

using namespace NSWaveWin;
using namespace NSWaveWinTest;

TEST_F(EditTest, FadesAmplitudeAndReverseGiveTheSamplesTheyShould) {
    TWaveWin* w = Window({{1000, 1000, 1000, 1000}, {1000, 1000, 1000, 1000}});
    w->Command(CmdFadeIn);
    EXPECT_EQ(Snapshot(w->Document), (TSound{{0, 250, 500, 750}, {0, 250, 500, 750}}));
    w->Command(CmdUndo);
    // A cursor on one channel: that whole channel.
    Select(w, 2, 2, 1);
    w->Command(CmdFadeOut);
    EXPECT_EQ(Snapshot(w->Document), (TSound{{1000, 1000, 1000, 1000}, {1000, 750, 500, 250}}));

    const int32_t big = 1342177280;
    TWaveWin* a = Window({{big, -big, 1000, -3}});
    EXPECT_TRUE(a->ApplyAmplitude(200));
    EXPECT_EQ(Snapshot(a->Document), (TSound{{INT32_MAX, INT32_MIN, 2000, -6}}));
    a->Command(CmdUndo);
    EXPECT_TRUE(a->ApplyAmplitude(-50));
    EXPECT_EQ(Snapshot(a->Document), (TSound{{-big / 2, big / 2, -500, 1}}));

    TWaveWin* r = Window({{1, 2, 3, 4, 5}});
    r->Command(CmdReverse);
    EXPECT_EQ(Snapshot(r->Document), (TSound{{5, 4, 3, 2, 1}}));
    // An empty sound: nothing to do, and nothing is marked.
    TWaveWin* empty = Window({{}});
    EXPECT_FALSE(empty->IsEnabled(CmdReverse));
    empty->CmReverse();
    EXPECT_FALSE(empty->IsModified());
}

TEST_F(EditTest, MergeTracksMixesIntoANewWindowAndLeavesTheSourceAlone) {
    const TSound source{{0x40000000, 0x7FFFFF00, 0x7FFFFE00, 5 << 8}, {0x40000000, 0, 0}};
    TWaveWin* w = Window(source, 11025, 2);
    const int number = TWaveWin::NextUntitledNumber();
    w->Command(CmdMergeTracks);
    ASSERT_EQ(TWaveWin::Windows().size(), 2u);
    TWaveWin* mix = TWaveWin::Windows().back();
    EXPECT_EQ(Snapshot(mix->Document), (TSound{{0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFE00, 5 << 8}}));
    EXPECT_EQ(mix->Child->windowTitle().toStdString(), "Sound " + std::to_string(number));
    EXPECT_EQ(mix->Document.Rate, 11025);
    EXPECT_EQ(mix->Document.Size, 2);
    EXPECT_EQ(Snapshot(w->Document), source);
    EXPECT_FALSE(w->IsModified());
    EXPECT_FALSE(w->HasUndo());
    EXPECT_FALSE(mix->IsEnabled(CmdMergeTracks));
}

TEST_F(EditTest, AddTrackUpToThirtyTwoThenDisabled) {
    TWaveWin* w = Window(TSound(31, V{1}));
    Select(w, 0, 1, 3);
    w->Command(CmdAddTrack);
    EXPECT_EQ(w->Document.ChannelCount(), 32);
    EXPECT_EQ(w->Document.Channel(31).Count, 0u);
    EXPECT_FALSE(w->Selected().Valid);
    EXPECT_FALSE(w->IsEnabled(CmdAddTrack));
    w->CmAddTrack();
    EXPECT_EQ(w->Document.ChannelCount(), 32);
    w->Command(CmdUndo);
    EXPECT_EQ(w->Document.ChannelCount(), 31);
    EXPECT_EQ(w->Selected(), TSampleRange(0, 1, 3));
}

namespace {

// What an in-place effect does to the sound, written plainly: over the
// range clipped to its channel (to the longest channel over all channels,
// the shorter ones padded with silence first); nothing at all when that
// holds no samples (then nullopt).
std::optional<TSound> InPlaceReference(TSound sound, TSampleRange r, int id, double amp) {
    const size_t longest = std::max_element(sound.begin(), sound.end(), [](const V& a, const V& b) {
                               return a.size() < b.size();
                           })->size();
    if (r.Start == r.End)
        r = TSampleRange(0, uint32_t(longest), r.Channel);
    size_t end = std::min<size_t>(r.End, longest);
    if (r.Channel != AllChannels)
        end = std::min(end, sound[size_t(r.Channel)].size());
    if (r.Start >= end)
        return std::nullopt;
    for (size_t c = 0; c < sound.size(); ++c) {
        if (r.Channel != AllChannels && r.Channel != int(c))
            continue;
        V& ch = sound[c];
        if (ch.size() < end)
            ch.resize(end, 0);
        int32_t* s = ch.data() + r.Start;
        const size_t n = end - r.Start;
        auto ramp = [&](double from, double to) {
            for (size_t i = 0; i < n; ++i) {
                const double gain =
                    (double(n) - double(i)) * from / double(n) + double(i) * to / double(n);
                const double v = gain * double(s[i]);
                s[i] = v >= 2147483647.0 ? INT32_MAX : v <= -2147483648.0 ? INT32_MIN : int32_t(v);
            }
        };
        switch (id) {
        case CmdFadeIn:
            ramp(0, 1);
            break;
        case CmdFadeOut:
            ramp(1, 0);
            break;
        case CmdReverse:
            std::reverse(s, s + n);
            break;
        case CmdSilence:
            std::fill(s, s + n, 0);
            break;
        default:
            ramp(amp, amp);
        }
    }
    return sound;
}

} // namespace

TEST_F(EditTest, InPlaceEffectsChangeOnlyTheSamplesTheRangeHoldsAndUndoTakesThemBack) {
    std::mt19937 random(20240917u);
    auto pick = [&](int a, int b) { return std::uniform_int_distribution<int>(a, b)(random); };
    // The case a user met first, then random lengths and ranges.
    TSound first{V(317, 5000), V(887, -7000)};
    for (int round = 0; round < 120; ++round) {
        TSound sound = first;
        TSampleRange range(384, 553, 0);
        int id = CmdFadeIn + round % 4;
        const int ids[] = {CmdFadeIn, CmdFadeOut, CmdReverse, CmdSilence, CmdAmplitude};
        if (round >= 4) {
            sound.assign(size_t(pick(1, 3)), V());
            for (V& channel : sound) {
                channel.resize(size_t(pick(0, 900)));
                for (int32_t& s : channel)
                    s = int32_t(random());
            }
            const uint32_t a = uint32_t(pick(0, 1000)), b = uint32_t(pick(0, 1000));
            const int channel = pick(-1, int(sound.size()) - 1);
            range = TSampleRange(std::min(a, b), pick(0, 5) == 0 ? a : std::max(a, b),
                                 channel < 0 ? AllChannels : channel);
            id = ids[pick(0, 4)];
        }
        if (round < 4)
            id = ids[round];
        const std::string what = "round " + std::to_string(round) + " command " +
                                 std::to_string(id) + " range " + std::to_string(range.Start) +
                                 ".." + std::to_string(range.End) + " on " +
                                 std::to_string(range.Channel);
        TWaveWin* w = Window(sound);
        // An earlier edit's record, which an effect that changes nothing
        // must leave in place.
        ASSERT_TRUE(w->AddUndo(new NSUndo::TReplacement(*w, TSampleRange(0, 1, AllChannels))));
        const NSUndo::TUndoBase* earlier = w->UndoHistory().NextUndo();
        w->SetModified(false);
        w->SetSelection(range);
        const bool enabled = id != CmdSilence || range.Start < range.End;
        if (id == CmdAmplitude)
            EXPECT_TRUE(w->ApplyAmplitude(150)) << what;
        else
            w->Command(id);
        const std::optional<TSound> changed =
            enabled ? InPlaceReference(sound, range, id, 1.5) : std::nullopt;
        ASSERT_EQ(Snapshot(w->Document), changed.value_or(sound)) << what;
        if (!changed) {
            EXPECT_EQ(w->UndoHistory().NextUndo(), earlier) << what;
            EXPECT_FALSE(w->IsModified()) << what;
        } else {
            ASSERT_NE(w->UndoHistory().NextUndo(), earlier) << what;
            w->Command(CmdUndo);
            EXPECT_EQ(Snapshot(w->Document), sound) << what;
            EXPECT_FALSE(w->IsModified()) << what;
            w->Command(CmdUndo);
            EXPECT_EQ(Snapshot(w->Document), *changed) << what;
        }
        w->SetModified(false);
        w->CmClose();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(EditTest, TracksThatComeBackOrArriveWithAPasteAreInSight) {
    auto inSight = [](TWaveWin* w, int c) { return w->rect().contains(w->Views()[c]->geometry()); };
    // Twelve tracks: more than the window holds; the last one deleted and
    // brought back by Undo is in sight, and so is the first, then.
    TWaveWin* w = Window(TSound(12, V(500, 1000)));
    ASSERT_GT(w->View().MaxScrollY, 0);
    for (int channel : {11, 0}) {
        w->ScrollVertically(TScroll::ThumbPosition, channel == 0 ? w->View().MaxScrollY : 0);
        Select(w, 10, 20, channel);
        w->Command(CmdDeleteTrack);
        ASSERT_EQ(w->Document.ChannelCount(), 11);
        w->Command(CmdUndo);
        ASSERT_EQ(w->Document.ChannelCount(), 12);
        ASSERT_EQ(int(w->Views().Count()), 12);
        EXPECT_TRUE(inSight(w, channel)) << channel;
    }

    // A new window that takes the pasted sound's four channels (Show
    // Clipboard) shares its height among them.
    Offer(TSound(4, V(300, 5)), 22050);
    TWaveWin* clip = Open();
    clip->Command(CmdPaste);
    ASSERT_EQ(clip->Document.ChannelCount(), 4);
    for (int c = 0; c < 4; ++c)
        EXPECT_TRUE(inSight(clip, c)) << c;
}
