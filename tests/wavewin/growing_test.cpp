// A long sound shown while it loads: the window is laid out at the length
// the file announces and draws what has arrived, only the view commands
// work, and stopping the load (Escape, closing) leaves things as before.

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <cstring>

#include "dlg/dlgbar.h"
#include "wave/file.h"
#include "wavewin/chanwin.h"
#include "wavewin/viewtest.h"
#include "wavewin/wavewintest.h"

using namespace NSWaveWin;
using NSWaveWinTest::WaveWinTest;

namespace {

constexpr uint32_t Length = 44100 * 30;

// Noise under a slow swell, so that neighbouring columns differ.
int32_t Noise(int c, uint32_t i) {
    const uint32_t h = (i * 2654435761u) ^ (uint32_t(c) * 40503u + (i >> 7));
    const int64_t swell = int64_t(i % 300000) * 7000 / 300000 + 300;
    return int32_t((int64_t(int16_t(h >> 12)) * swell / 7300) << 16);
}

// Counts the channel views' paint events.
class TPaints : public QObject {
public:
    int Count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && dynamic_cast<TChannelWin*>(watched))
            ++Count;
        return false;
    }
};

} // namespace

TEST_F(WaveWinTest, ALongSoundIsShownAsItArrivesAndEndsUpAsThePlainLoaderReadsIt) {
    const std::string path = MakeSound("long.wav", 2, Length, 44100, 2, Noise);
    TWaveWin* w = Open();
    TPaints paints;
    QCoreApplication::instance()->installEventFilter(&paints);

    bool seen = false;
    uint64_t seenFrames = 0;
    TViewState seenView;
    QImage shown[2];
    QRect visible[2];
    w->OnLoadArrived = [&](uint64_t frames) {
        if (seen || frames < Length / 3)
            return;
        seen = true;
        seenFrames = frames;
        EXPECT_TRUE(w->Loading());
        // Laid out for the whole sound from the start, both channels.
        EXPECT_EQ(w->ShownLength(), Length);
        ASSERT_EQ(w->Views().Count(), 2);
        EXPECT_DOUBLE_EQ(w->View().Zoom, w->FitZoom());
        // The format is the file's, not the empty window's before it.
        EXPECT_EQ(w->FormatButton->text(), QStringLiteral("16 bit/44.1 kHz"));
        // Editing, playing, saving and the format wait for the sound.
        for (int id : {CmdPlay, CmdRecord, CmdSave, CmdSaveAs, CmdRevert, CmdCut, CmdCopy, CmdPaste,
                       CmdDelete, CmdSelectAll, CmdSilence, CmdUndo, CmdAmplitude, CmdReverse,
                       CmdSoundFormat, CmdAddTrack, CmdPrint, CmdLevel0})
            EXPECT_FALSE(w->IsEnabled(id)) << id;
        for (int id : {CmdZoomIn, CmdFit, CmdHeightDown, CmdSpectrogram, CmdClose})
            EXPECT_TRUE(w->IsEnabled(id)) << id;

        // The screen, after the window's own repaints of what arrived,
        // holds the plain painting of those frames (checked below).
        w->ShowArrived();
        const int before = paints.Count;
        for (int c = 0; c < 2; ++c)
            shown[c] = NSWaveWinTest::OnScreen(*w->Views()[c], &visible[c]);
        EXPECT_GT(paints.Count, before);
        seenView = TWaveWinProbe::View(*w);

        // The view commands work; the others do nothing.
        w->Command(CmdZoomIn);
        EXPECT_GT(w->View().Zoom, seenView.Zoom);
        w->Command(CmdScrollEnd);
        EXPECT_GT(w->View().ScrollX, 0);
        w->Command(CmdSelectAll);
        EXPECT_FALSE(w->Selected().Valid);
    };
    w->LoadFile(path);
    QCoreApplication::instance()->removeEventFilter(&paints);
    ASSERT_TRUE(seen);
    EXPECT_FALSE(w->Loading());
    EXPECT_LT(seenFrames, Length);
    EXPECT_TRUE(Boxes.Shown.empty());

    // Sample for sample what the plain loader gives.
    NSWave::TFile plain;
    plain.Load(path);
    ASSERT_EQ(w->Document.ChannelCount(), 2);
    ASSERT_EQ(w->Document.GetLength(), Length);
    for (int c = 0; c < 2; ++c)
        EXPECT_EQ(std::memcmp(w->Document.Channel(c).Samples, plain.Channel(c).Samples,
                              Length * sizeof(int32_t)),
                  0);
    EXPECT_DOUBLE_EQ(w->View().Zoom, w->FitZoom());

    // What the screen showed mid-load: the frames that had arrived, drawn as
    // the whole sound draws them, and nothing after them.
    TWaveWinProbe::View(*w) = seenView;
    for (int c = 0; c < 2; ++c) {
        ASSERT_FALSE(visible[c].isEmpty());
        const QImage want =
            NSWaveWinTest::PlainView(*w, c, shown[c].width(), shown[c].height(), seenFrames);
        EXPECT_TRUE(NSWaveWinTest::SamePixels(shown[c], want, visible[c])) << c;
        // Past the boundary column only the zero line: something of the
        // sound is missing there.
        const int edge = int(w->PixelOf(double(seenFrames))) + 2;
        ASSERT_LT(edge, visible[c].right());
        EXPECT_FALSE(NSWaveWinTest::SamePixels(
            shown[c], NSWaveWinTest::PlainView(*w, c, shown[c].width(), shown[c].height()),
            QRect(edge, visible[c].top(), visible[c].right() - edge, visible[c].height())));
    }
}

TEST_F(WaveWinTest, EscapeOrClosingDuringALoadStopsItAndLeavesTheWindowAsItWas) {
    const std::string first = MakeSound("first.wav", 1, 100, 22050, 2);
    const std::string longer = MakeSound("longer.wav", 2, Length, 44100, 2, Noise);
    TWaveWin* w = Open(first);
    const double zoom = w->View().Zoom;
    bool pressed = false;
    w->OnLoadArrived = [&](uint64_t frames) {
        if (pressed || frames < Length / 4)
            return;
        pressed = true;
        // The key waits until the load next looks at the window's events.
        QCoreApplication::postEvent(
            w, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        w->StatusBar->PaintPending();
    };
    w->LoadFile(longer);
    EXPECT_TRUE(pressed);
    EXPECT_FALSE(w->Loading());
    EXPECT_TRUE(Boxes.Shown.empty());
    EXPECT_EQ(w->File(), first);
    EXPECT_EQ(w->Document.GetLength(), 100u);
    EXPECT_EQ(w->ShownLength(), 100u);
    EXPECT_EQ(w->Views().Count(), 1);
    EXPECT_DOUBLE_EQ(w->View().Zoom, zoom);
    EXPECT_TRUE(w->IsEnabled(CmdPlay));
    QRect visible;
    const QImage screen = NSWaveWinTest::OnScreen(*w->Views()[0], &visible);
    EXPECT_TRUE(
        NSWaveWinTest::SamePixels(screen, NSWaveWinTest::PlainView(*w->Views()[0]), visible));

    // Closing the window stops the load, then the window goes.
    TWaveWin* v = Open();
    QPointer<QMdiSubWindow> child = v->Child;
    bool closed = false;
    v->OnLoadArrived = [&](uint64_t frames) {
        if (closed || frames < Length / 4)
            return;
        closed = true;
        v->Command(CmdClose);
        EXPECT_TRUE(child);
    };
    v->LoadFile(longer);
    EXPECT_TRUE(closed);
    ASSERT_TRUE(child);
    EXPECT_EQ(v->Document.GetLength(), 0u);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(child);
    EXPECT_EQ(TWaveWin::Windows().size(), 1u);
    EXPECT_TRUE(Boxes.Shown.empty());
}
