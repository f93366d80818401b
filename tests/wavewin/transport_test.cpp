// Play, pause, stop and record through the window; the volume and the meter;
// and which commands each device state leaves enabled.

#include <sys/mount.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "dlg/dlgbar.h"
#include "support/testenv.h"
#include "undo/undo.h"
#include "wavewin/prefsdlg.h"
#include "wavewin/timeline.h"
#include "wavewin/transport.h"
#include "wavewin/wavewindlg.h"
#include "wavewin/wavewintest.h"

using namespace NSWaveWin;
using NSWave::TDeviceState;
using NSWaveWinTest::WaveWinTest;

namespace {

// Every command a document window decides.
std::vector<int> DocumentCommands() {
    std::vector<int> ids;
    for (const TCommandInfo& c : Commands())
        if (IsDocumentCommand(c.Id))
            ids.push_back(c.Id);
    return ids;
}

bool InGroupA(int id) {
    return (id >= CmdHeightUp && id <= CmdFit) || (id >= CmdPlay && id <= CmdRecord) ||
           (id >= CmdLevel0 && id <= CmdLevel7) || id == CmdPreferences;
}
// Redo of its own (one undo level here) and the marks, which only playing
// enables.
bool Idle(int id) {
    return id != CmdStop && id != CmdPause && id != CmdRedo && id != 2218 && id != 2219;
}

} // namespace

TEST_F(WaveWinTest, EachDeviceStateEnablesItsCommandsAndTheButtonsAgree) {
    // A state in which every command has a reason to be enabled: a file,
    // an undo record, a range on one of three channels, sound on the
    // clipboard, room to scroll both ways.
    TWaveWin* other = Open(MakeSound("other.wav", 1, 50000), false);
    std::string path = MakeSound("three.wav", 3, 200000, 22050, 2);
    TWaveWin* w = Open(path);
    w->Document.Channel(0).MutableSamples(5)[0] = 1 << 30;
    ASSERT_TRUE(w->AddUndo(new NSUndo::TReplacement(*w, TSampleRange(0, 10, 0))));
    auto* data = new QMimeData;
    data->setData("audio/x-wav", QByteArray("RIFF"));
    QGuiApplication::clipboard()->setMimeData(data);
    TWaveWinProbe::View(*w).ChannelHeight = 400;
    w->UpdateView();
    w->SetScale(1.0);
    w->ScrollHorizontally(TScroll::ThumbPosition, w->View().MaxScrollX / 2);
    w->ScrollVertically(TScroll::ThumbPosition, w->View().MaxScrollY / 2);
    w->SetSelection(TSampleRange(1000, 5000, 1));
    ASSERT_GT(w->View().ScrollX, 0);
    ASSERT_LT(w->View().ScrollX, w->View().MaxScrollX);
    ASSERT_GT(w->View().ScrollY, 0);
    ASSERT_LT(w->View().ScrollY, w->View().MaxScrollY);

    auto check = [&](const char* state, auto expected) {
        SCOPED_TRACE(state);
        // Zoom to Selection follows the selection, a cursor while playing.
        for (int id : DocumentCommands())
            EXPECT_EQ(w->IsEnabled(id),
                      id == 2220 ? RangeSelected(w->CommandState()) : expected(id))
                << "command " << id;
        for (TBVButton* button : w->Dialog->Buttons())
            EXPECT_EQ(button->isEnabled(), w->IsEnabled(button->Command()))
                << "button " << button->Command();
    };

    check("idle", Idle);

    w->Command(CmdPlay);
    ASSERT_EQ(w->Engine.State(), TDeviceState::Playing);
    check("playing", [](int id) {
        if (id == CmdRecord)
            return false;
        return InGroupA(id) || id == CmdSave || id == CmdSaveAs || id == CmdPrint || id == 2218 ||
               id == 2219;
    });
    // Play again stops.
    w->Command(CmdPlay);
    EXPECT_EQ(w->Engine.State(), TDeviceState::Idle);

    w->Command(CmdRecord);
    ASSERT_EQ(w->Engine.State(), TDeviceState::Recording);
    check("recording", [](int id) {
        if (id == CmdPlay || id == CmdRecord)
            return false;
        return InGroupA(id) || id == CmdSave || id == CmdSaveAs || id == CmdPrint;
    });
    EXPECT_FALSE(other->IsEnabled(CmdRecord));
    EXPECT_TRUE(other->IsEnabled(CmdPlay));

    w->Command(CmdPause);
    ASSERT_EQ(w->Engine.State(), TDeviceState::RecordPaused);
    EXPECT_EQ(w->StatusBar->MessageGadget()->Text().toStdString(),
              "Click the red record button to continue recording");
    check("paused", [](int id) {
        if (id == CmdPlay || id == CmdPause)
            return false;
        return InGroupA(id) || id == CmdSave || id == CmdSaveAs || id == CmdPrint;
    });
    EXPECT_TRUE(other->IsEnabled(CmdRecord));
    w->Command(CmdStop);

    other->Command(CmdRecord);
    ASSERT_EQ(other->Engine.State(), TDeviceState::Recording);
    check("another document records", [](int id) { return Idle(id) && id != CmdRecord; });
    other->Command(CmdStop);
    check("idle again", Idle);
    QGuiApplication::clipboard()->clear();
}

TEST_F(WaveWinTest, PlayPauseAndStopMoveAndRestoreTheSelection) {
    TWaveWin* w = Open(MakeSound("long.wav", 1, 100000));
    const TSampleRange chosen(1000, 90000, AllChannels);
    w->SetSelection(chosen);
    w->Command(CmdPlay);
    ASSERT_EQ(w->Engine.State(), TDeviceState::Playing);
    // The cursor follows the blocks the card has played.
    Card.PlayBlocks(3);
    Deliver();
    EXPECT_TRUE(w->Selected().Valid);
    EXPECT_EQ(w->Selected().Start, w->Selected().End);
    EXPECT_EQ(w->Selected().Start, 1000u + 3 * 2048);
    // Pause leaves the cursor where playback was; Play goes on from there.
    w->Command(CmdPause);
    EXPECT_EQ(w->Engine.State(), TDeviceState::Idle);
    const TSampleRange cursor = w->Selected();
    EXPECT_EQ(cursor.Start, 1000u + 3 * 2048);
    w->Command(CmdPlay);
    Card.PlayBlocks(1);
    Deliver();
    EXPECT_EQ(w->Selected().Start, cursor.Start + 2048);
    // Stop gives back the selection Play started with.
    w->Command(CmdStop);
    EXPECT_EQ(w->Selected(), cursor);

    w->SetSelection(chosen);
    w->Command(CmdPlay);
    Card.PlayBlocks(2);
    Deliver();
    w->Command(CmdStop);
    EXPECT_EQ(w->Selected(), chosen);
    // Played to the end, the selection comes back too.
    w->SetSelection(TSampleRange(99000, 100000, AllChannels));
    w->Command(CmdPlay);
    while (Card.OutputOpen() && Card.PlayBlocks(1) == 1)
        Deliver();
    EXPECT_EQ(w->Engine.State(), TDeviceState::Idle);
    EXPECT_EQ(w->Selected(), TSampleRange(99000, 100000, AllChannels));
}

TEST_F(WaveWinTest, VolumeLevelsSliderAndCheckMarkStayInStep) {
    TWaveWin* a = Open();
    TWaveWin* b = Open();
    for (int level = 0; level <= 7; ++level) {
        a->Command(CmdLevel0 + level);
        EXPECT_EQ(Card.Volume & 0xFFFF, uint32_t(level * 9362));
        for (TWaveWin* w : {a, b}) {
            EXPECT_EQ(w->Slider->value(), 7 - level);
            for (int k = 0; k <= 7; ++k)
                EXPECT_EQ(w->IsChecked(CmdLevel0 + k), k == level);
        }
    }
    // The slider's top is the loudest, its bottom silence.
    b->Slider->setValue(0);
    EXPECT_EQ(Card.Volume & 0xFFFF, 65534u);
    EXPECT_TRUE(a->IsChecked(CmdLevel0 + 7));
    EXPECT_EQ(a->Slider->value(), 0);
    b->Slider->setValue(7);
    EXPECT_EQ(Card.Volume & 0xFFFF, 0u);
    b->Slider->setValue(4);
    EXPECT_EQ(Card.Volume & 0xFFFF, 3u * 9362);
    EXPECT_TRUE(a->IsChecked(CmdLevel0 + 3));
    // Play uses the level's volume.
    a->Command(CmdLevel0 + 5);
    EXPECT_EQ(a->Slider->value(), 2);
}

TEST_F(WaveWinTest, RecordingShowsItsLevelAndLengthAndGoesIntoTheSound) {
    TWaveWin* w = Open();
    Card.SourceConstant(16384); // half scale
    w->Command(CmdRecord);
    ASSERT_EQ(w->Engine.State(), TDeviceState::Recording);
    Card.Capture(2 * 2048);
    Deliver();
    EXPECT_EQ(w->Meter->Level(), 50);
    EXPECT_EQ(w->StatusBar->MessageGadget()->Text().toStdString(),
              "Recorded " + QString::number(4096.0 / 22050, 'g', 6).toStdString() + " seconds");
    w->Command(CmdStop);
    EXPECT_EQ(w->Meter->Level(), 0);
    EXPECT_TRUE(w->StatusBar->MessageGadget()->Text().isEmpty());
    EXPECT_EQ(w->Document.GetLength(), 4096u);
    EXPECT_EQ(w->Document.Channel(0).Samples[100] >> 24, 16384 >> 8);
    EXPECT_TRUE(w->IsModified());
    // The recording undoes like a paste.
    w->Command(CmdUndo);
    EXPECT_EQ(w->Document.GetLength(), 0u);
    // A recording stopped before any sound arrived changes nothing.
    w->Command(CmdRecord);
    w->Command(CmdStop);
    EXPECT_EQ(w->Document.GetLength(), 0u);

    // A stereo sound records both channels, the meter a bar for each (the
    // sound is 8-bit).
    w->Document.SetChannelCount(2);
    Card.SetSource(NSAudio::TVirtualCard::TFrameSource(
        [](int64_t, int channel, int) { return channel == 0 ? 64 : -32; }));
    w->Command(CmdRecord);
    Card.Capture(2048);
    Deliver();
    EXPECT_EQ(w->Meter->Levels(), (std::vector<int>{50, 25}));
    w->Command(CmdStop);
    EXPECT_EQ(w->Meter->Levels(), (std::vector<int>{0, 0}));
    ASSERT_EQ(w->Document.GetLength(), 2048u);
    EXPECT_EQ(w->Document.Channel(0).Samples[7], 16384 << 16);
    EXPECT_EQ(w->Document.Channel(1).Samples[7], -8192 * 65536);
}

// The capture folder on a small file system that fills during the take:
// the window says so at once, and Stop still inserts every sample.
TEST_F(WaveWinTest, ARecordingGoesOnInMemoryWhenTheDiskIsFull) {
    const std::string state = TestTmpDir() + "/smalldisk";
    std::filesystem::create_directory(state);
    if (mount("tmpfs", state.c_str(), "tmpfs", 0, "size=64k,mode=0700") != 0) {
        const std::string why = std::strerror(errno);
        std::filesystem::remove(state);
        GTEST_SKIP() << "a small file system cannot be mounted here (" << why
                     << "); the file-size limit test of the engine covers the same ground";
    }
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    TWaveWin* w = Open();
    w->Document.Size = 2; // 16-bit recording
    Card.SetSource([](int64_t i, int) { return int(i % 30000) - 15000; });
    w->Command(CmdRecord);
    ASSERT_EQ(w->Engine.State(), TDeviceState::Recording);
    const int total = 2048 * 40 + 77; // 160 KB of 16-bit sound onto 64 KB
    Boxes.Expect("The disk is full: the recording goes on in memory and is not protected against "
                 "a crash.",
                 IdOk);
    for (int heard = 0; heard + 2048 <= total; heard += 2048) {
        Card.Capture(2048);
        Deliver();
    }
    EXPECT_EQ(Boxes.Shown.size(), 1u) << "said at once";
    Card.Capture(total % 2048);
    w->Command(CmdStop);
    EXPECT_EQ(Boxes.Shown.size(), 1u) << "said once";
    ASSERT_EQ(w->Document.GetLength(), uint32_t(total));
    int wrong = 0;
    for (int i = 0; i < total; ++i)
        wrong += w->Document.Channel(0).Samples[i] >> 16 != i % 30000 - 15000;
    EXPECT_EQ(wrong, 0);
    // Undo and Redo keep the part held in memory.
    w->Command(CmdUndo);
    EXPECT_EQ(w->Document.GetLength(), 0u);
    w->Command(CmdUndo);
    EXPECT_EQ(w->Document.GetLength(), uint32_t(total));
    // The window and its records go before their file system.
    w->SetModified(false);
    Area->closeAllSubWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(std::filesystem::is_empty(state + "/brimvale"));
    setenv("XDG_STATE_HOME", TestStateDir().c_str(), 1);
    umount2(state.c_str(), MNT_DETACH);
    std::filesystem::remove(state);
}

// A sound server that goes away while the window plays: the window leaves
// "playing" (the selection back, Play enabled again) and says why.
TEST_F(WaveWinTest, AnOutputThatStopsWorkingEndsPlaybackInTheWindow) {
    TWaveWin* w = Open(MakeSound("long.wav", 1, 100000));
    w->SetSelection(TSampleRange(1000, 90000, AllChannels));
    w->Command(CmdPlay);
    ASSERT_EQ(w->Engine.State(), TDeviceState::Playing);
    Card.PlayBlocks(2);
    Deliver();
    Boxes.Expect("The sound output stopped working: playback has ended.", IdOk);
    Card.FailDevice(false);
    Deliver();
    EXPECT_EQ(w->Engine.State(), TDeviceState::Idle);
    EXPECT_EQ(w->Selected(), TSampleRange(1000, 90000, AllChannels));
    EXPECT_TRUE(w->IsEnabled(CmdPlay));
    EXPECT_FALSE(w->IsEnabled(CmdStop));
}

TEST_F(WaveWinTest, AfterPlayingToTheEndByItselfTheButtonsShowTheIdleWindow) {
    TWaveWin* w = Open(MakeSound("short.wav", 2, 9000));
    auto buttonsAgree = [&] {
        for (TBVButton* button : w->Dialog->Buttons())
            EXPECT_EQ(button->isEnabled(), w->IsEnabled(button->Command()))
                << "button " << button->Command();
    };
    for (const TSampleRange& range : {TSampleRange(), TSampleRange(100, 5000, 1)}) {
        w->SetSelection(range);
        w->Command(CmdPlay);
        ASSERT_EQ(w->Engine.State(), TDeviceState::Playing);
        buttonsAgree();
        while (Card.OutputOpen() && Card.PlayBlocks(1) == 1)
            Deliver();
        ASSERT_EQ(w->Engine.State(), TDeviceState::Idle);
        // The notice of the end came while the engine was ending; the
        // buttons follow when the program is next idle, with no click.
        QCoreApplication::processEvents();
        buttonsAgree();
        for (int id : {CmdRecord, CmdFadeIn, CmdAddTrack, CmdMergeTracks, CmdClose, CmdPlay})
            EXPECT_TRUE(w->IsEnabled(id)) << id;
        EXPECT_FALSE(w->IsEnabled(CmdStop));
        EXPECT_FALSE(w->IsEnabled(CmdPause));
        EXPECT_EQ(w->Selected(), range);
    }
}

TEST_F(WaveWinTest, TheTransportGroupsTitlesAreNeverOverlapped) {
    TWaveWin* w = Open();
    const QFontMetrics metrics(ButtonFont());
    std::vector<QRect> places;
    for (QWidget* child : w->Dialog->findChildren<QWidget*>()) {
        auto* group = dynamic_cast<TBVGroup*>(child);
        if (!group)
            continue;
        const QRect title = group->TitleRoom();
        EXPECT_TRUE(group->rect().contains(title));
        for (QWidget* side : group->findChildren<QWidget*>()) {
            EXPECT_TRUE(group->rect().contains(side->geometry()));
            EXPECT_FALSE(side->geometry().intersects(title));
        }
        for (const QString& line : group->TitleText().split('\n'))
            EXPECT_LE(metrics.horizontalAdvance(line), title.width()) << line.toStdString();
        places.push_back(group->geometry());
    }
    ASSERT_EQ(places.size(), 2u);
    EXPECT_FALSE(places[0].intersects(places[1]));
    // Nothing else of the panel lies under them.
    for (int id : {2555, 2508})
        for (const QRect& place : places)
            EXPECT_FALSE(w->Dialog->Control(id)->geometry().intersects(place)) << id;
}
