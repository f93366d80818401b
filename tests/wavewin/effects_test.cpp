// The window's own effects and the track commands.

#include "wavewin/edittest.h"

using namespace NSWaveWin;
using namespace NSWaveWinTest;

TEST_F(EditTest, FadesRampFromSilenceAndTowardsIt) {
    TWaveWin* w = Window({{1000, 1000, 1000, 1000}, {1000, 1000, 1000, 1000}});
    w->Command(CmdFadeIn);
    EXPECT_EQ(Contents(w->Document), (TSound{{0, 250, 500, 750}, {0, 250, 500, 750}}));
    w->Command(CmdUndo);
    // A cursor on one channel: that whole channel.
    Select(w, 2, 2, 1);
    w->Command(CmdFadeOut);
    EXPECT_EQ(Contents(w->Document), (TSound{{1000, 1000, 1000, 1000}, {1000, 750, 500, 250}}));
    EXPECT_EQ(w->Selection, TSampleRange(2, 2, 1));
}

TEST_F(EditTest, AmplitudeScalesAndSaturatesBothWays) {
    const int32_t big = 1342177280;
    TWaveWin* w = Window({{big, -big, 1000, -3}});
    EXPECT_TRUE(w->ApplyAmplitude(200));
    EXPECT_EQ(Contents(w->Document), (TSound{{INT32_MAX, INT32_MIN, 2000, -6}}));
    w->Command(CmdUndo);
    EXPECT_TRUE(w->ApplyAmplitude(-50));
    EXPECT_EQ(Contents(w->Document), (TSound{{-big / 2, big / 2, -500, 1}}));
    w->Command(CmdUndo);
    Select(w, 1, 3);
    EXPECT_TRUE(w->ApplyAmplitude(0));
    EXPECT_EQ(Contents(w->Document), (TSound{{big, 0, 0, -3}}));
}

TEST_F(EditTest, ReverseTurnsTheRangeAroundPaddingShorterChannels) {
    TWaveWin* w = Window({{1, 2, 3, 4, 5}, {6, 7, 8}});
    w->Command(CmdReverse);
    // The shorter channel reads as silence up to the end of the sound.
    EXPECT_EQ(Contents(w->Document), (TSound{{5, 4, 3, 2, 1}, {0, 0, 8, 7, 6}}));
    w->Command(CmdUndo);
    EXPECT_EQ(Contents(w->Document), (TSound{{1, 2, 3, 4, 5}, {6, 7, 8}}));
    Select(w, 1, 4, 0);
    w->Command(CmdReverse);
    EXPECT_EQ(Contents(w->Document), (TSound{{1, 4, 3, 2, 5}, {6, 7, 8}}));
    // An empty sound: nothing to reverse, and the history stays.
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
    EXPECT_EQ(Contents(mix->Document), (TSound{{0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFE00, 5 << 8}}));
    EXPECT_EQ(mix->Child->windowTitle().toStdString(), "Sound " + std::to_string(number));
    EXPECT_EQ(mix->Document.Rate, 11025);
    EXPECT_EQ(mix->Document.Size, 2);
    EXPECT_EQ(Contents(w->Document), source);
    EXPECT_FALSE(w->IsModified());
    EXPECT_FALSE(w->HasUndo());
    EXPECT_FALSE(mix->IsEnabled(CmdMergeTracks));
}

TEST_F(EditTest, AddTrackUpToThirtyTwoAndDeleteTrackRenumbers) {
    TWaveWin* w = Window(TSound(31, V{1}));
    Select(w, 0, 1, 3);
    w->Command(CmdAddTrack);
    EXPECT_EQ(w->Document.ChannelCount(), 32);
    EXPECT_EQ(w->Document.Channel(31).Count, 0u);
    EXPECT_FALSE(w->Selection.Valid);
    EXPECT_FALSE(w->IsEnabled(CmdAddTrack));
    w->CmAddTrack();
    EXPECT_EQ(w->Document.ChannelCount(), 32);
    w->Command(CmdUndo);
    EXPECT_EQ(w->Document.ChannelCount(), 31);
    EXPECT_EQ(w->Selection, TSampleRange(0, 1, 3));

    TWaveWin* t = Window({{1}, {2, 2}, {3, 3, 3}});
    EXPECT_FALSE(t->IsEnabled(CmdDeleteTrack));
    Select(t, 0, 0, 1);
    t->Command(CmdDeleteTrack);
    EXPECT_EQ(Contents(t->Document), (TSound{{1}, {3, 3, 3}}));
    EXPECT_FALSE(t->Selection.Valid);
    t->Command(CmdUndo);
    EXPECT_EQ(Contents(t->Document), (TSound{{1}, {2, 2}, {3, 3, 3}}));
    Select(t, 0, 0, 2);
    t->Command(CmdDeleteTrack);
    Select(t, 0, 0, 0);
    t->Command(CmdDeleteTrack);
    EXPECT_EQ(Contents(t->Document), (TSound{{2, 2}}));
    EXPECT_FALSE(t->IsEnabled(CmdDeleteTrack));
}
