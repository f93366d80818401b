// The window's own effects and the track commands.

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
    EXPECT_FALSE(w->Selection.Valid);
    EXPECT_FALSE(w->IsEnabled(CmdAddTrack));
    w->CmAddTrack();
    EXPECT_EQ(w->Document.ChannelCount(), 32);
    w->Command(CmdUndo);
    EXPECT_EQ(w->Document.ChannelCount(), 31);
    EXPECT_EQ(w->Selection, TSampleRange(0, 1, 3));
}
