// Selecting with the mouse, the selection read-out, the time line, and the
// zoom, height and scroll commands with their limits, also past two
// thousand million pixels.

#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <climits>

#include "wave/timefmt.h"
#include "wavewin/timeline.h"
#include "wavewin/viewtest.h"
#include "wavewin/wavewintest.h"

using namespace NSWaveWin;
using namespace NSWaveWinTest;

namespace {

TEST_F(WaveWinTest, MouseGesturesSelectOnOneChannelOrWidenTheSelection) {
    TWaveWin* w = Open(MakeSound("two.wav", 2, 100000));
    TWaveWinProbe::View(*w).Zoom = 0.05; // 20 samples a column
    w->UpdateView();
    w->ScrollHorizontally(TScroll::ThumbPosition, 50);
    TChannelWin* left = w->Views()[0];
    TChannelWin* right = w->Views()[1];
    auto at = [](int x) { return QPoint(x, 20); };
    auto under = [&](int x) { return uint32_t(w->SampleUnder(x)); };
    auto range = [&](int a, int b, int channel) {
        return TSampleRange(under(a), under(b), channel);
    };

    QTest::mouseClick(right, Qt::LeftButton, {}, at(100));
    EXPECT_EQ(w->Selected(), range(100, 100, 1)) << "a click places the cursor";

    QTest::mousePress(right, Qt::LeftButton, {}, at(200));
    QTest::mouseMove(right, at(201));
    QTest::mouseMove(right, at(198));
    EXPECT_EQ(w->Selected(), range(200, 200, 1)) << "moves of 1 and 2 pixels keep the cursor";
    QTest::mouseMove(right, at(203));
    EXPECT_EQ(w->Selected(), range(200, 203, 1)) << "3 pixels start the drag";
    QTest::mouseMove(right, at(201));
    EXPECT_EQ(w->Selected(), range(200, 201, 1)) << "once dragging, every move counts";
    QTest::mouseMove(right, at(150));
    EXPECT_EQ(w->Selected(), range(150, 200, 1)) << "the other way from the anchor";
    QTest::mouseMove(right, at(-40));
    EXPECT_EQ(w->Selected(), range(0, 200, 1)) << "the drag stops at the left edge";
    QTest::mouseRelease(right, Qt::LeftButton, {}, at(-40));
    EXPECT_EQ(w->Selected(), range(0, 200, 1));
    EXPECT_FALSE(w->Dragging(right));
    EXPECT_EQ(w->StartGadget->Text().toStdString(),
              NSWave::FormatSeconds(under(0) / double(w->Document.Rate)));

    // Control widens the selection to the click, on the channel it is on,
    // and starts no drag.
    QTest::mousePress(left, Qt::LeftButton, Qt::ControlModifier, at(400));
    QTest::mouseMove(left, at(500));
    QTest::mouseRelease(left, Qt::LeftButton, Qt::ControlModifier, at(500));
    EXPECT_EQ(w->Selected(), range(0, 400, 1));
    QTest::mouseClick(left, Qt::LeftButton, Qt::ControlModifier, at(300));
    EXPECT_EQ(w->Selected(), range(0, 400, 1)) << "a click inside changes nothing";

    // Shift does what All Channels does, and nothing else.
    const TSampleRange before = w->Selected();
    w->CmAllChannels();
    const TSampleRange allChannels = w->Selected();
    w->SetSelection(before);
    QTest::mousePress(left, Qt::LeftButton, Qt::ShiftModifier, at(600));
    QTest::mouseMove(left, at(700));
    QTest::mouseRelease(left, Qt::LeftButton, Qt::ShiftModifier, at(700));
    EXPECT_EQ(w->Selected(), allChannels);
    EXPECT_FALSE(w->Dragging(left));

    // What the screen shows is the last selection.
    QRect visible;
    for (TChannelWin* view : {left, right})
        EXPECT_TRUE(SamePixels(OnScreen(*view, &visible), PlainView(*view), visible));
}

TEST_F(WaveWinTest, TheReadOutShowsStartEndAndLength) {
    TWaveWin* w = Open();
    w->Document.Rate = 44100;
    auto texts = [&] {
        return w->StartGadget->Text().toStdString() + " " + w->EndGadget->Text().toStdString() +
               " " + w->LengthGadget->Text().toStdString();
    };
    EXPECT_EQ(texts(), "--- --- ---");
    w->SetSelection(TSampleRange(0, 22050));
    EXPECT_EQ(texts(), "0 0.500 0.500");
    w->SetSelection(TSampleRange(66150, 66150, 0));
    EXPECT_EQ(texts(), "1.50 --- ---");
    w->SetSelection(TSampleRange(44100, 44100 * 6125 / 100));
    EXPECT_EQ(texts(), "1.00 1:01.25 1:00.25");
    w->SetSelection(TSampleRange());
    EXPECT_EQ(texts(), "--- --- ---");
}

// The time line as its rules draw it: white, a grey base line in row 14,
// and for every tick from one left of the view to past its right edge a
// black tick in rows 4..13 with its label at (x + 2, 1).
QImage PlainTimeLine(const TTimeLine& line, int rate, double zoom, int64_t scrollX, double spacing,
                     int decimals, std::vector<std::string>* labels) {
    QImage image(line.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(QRect(0, 14, line.width(), 1), QColor(128, 128, 128));
    painter.setFont(line.font());
    painter.setPen(Qt::black);
    const double rightTime = double(int64_t((line.width() + scrollX) / zoom)) / rate;
    const double leftTime = double(int64_t(scrollX / zoom)) / rate;
    for (int64_t k = int64_t(leftTime / spacing - 1);; ++k) {
        const double t = k * spacing;
        const int64_t x = int64_t(double(int64_t(rate * t)) * zoom - scrollX);
        if (x > line.width() + 20)
            break;
        painter.fillRect(QRect(int(x), 4, 1, 10), Qt::black);
        const std::string label = NSWave::FormatSeconds(t, decimals, rightTime > 60);
        labels->push_back(label);
        painter.drawText(QPoint(int(x) + 2, 1 + painter.fontMetrics().ascent()),
                         QString::fromStdString(label));
    }
    return image;
}

TEST_F(WaveWinTest, TheTimeLineTicksAndLabelsFollowZoomAndScroll) {
    // At 44,100 samples a second and 60 pixels a second the first spacing
    // whose ticks are more than 50 pixels apart is the second.
    const TTimeLine::TTick* tick = TTimeLine::ChooseTick(44100, 60.0 / 44100);
    ASSERT_TRUE(tick);
    EXPECT_EQ(tick->Spacing, 1);
    EXPECT_EQ(tick->Decimals, 0);
    tick = TTimeLine::ChooseTick(44100, 1.0);
    EXPECT_EQ(tick->Spacing, 0.002);
    EXPECT_EQ(tick->Decimals, 3);
    EXPECT_EQ(TTimeLine::ChooseTick(1, 0.00004), nullptr);

    TWaveWin* w = Open();
    w->Document.Rate = 44100;
    w->Document.SetSize(44100 * 200, 1);
    TTimeLine* line = w->TimeLine;
    struct {
        double zoom;
        int64_t scrollX;
        const char* label; // one of the labels shown
    } const views[] = {
        {60.0 / 44100, 0, "1"},        // whole seconds
        {60.0 / 44100, 3630, "1:01"},  // beyond 60 seconds: minutes
        {1.0 / 4096, 0, "0:05"},       // right edge beyond 60 seconds
        {1.0, 44100 * 3 + 7, "3.002"}, // milliseconds
        {0.3, 100, "0.010"},
    };
    for (const auto& v : views) {
        TWaveWinProbe::View(*w).Zoom = v.zoom;
        w->UpdateView();
        w->ScrollHorizontally(TScroll::ThumbPosition, v.scrollX);
        const TTimeLine::TTick* t = TTimeLine::ChooseTick(44100, v.zoom);
        ASSERT_TRUE(t);
        std::vector<std::string> labels;
        const QImage want = PlainTimeLine(*line, 44100, w->View().Zoom, w->View().ScrollX,
                                          t->Spacing, t->Decimals, &labels);
        EXPECT_NE(std::find(labels.begin(), labels.end(), v.label), labels.end()) << v.label;
        EXPECT_TRUE(SamePixels(line->grab().toImage().convertToFormat(QImage::Format_RGB32), want,
                               line->rect()))
            << "zoom " << v.zoom << ", scroll " << v.scrollX;
    }
}

TEST_F(WaveWinTest, ZoomKeepsItsPointInViewAndStopsAtItsLimits) {
    TWaveWin* w = Open();
    EXPECT_EQ(w->View().Zoom, 0.01) << "an empty sound fits at 0.01";
    w->LoadFile(MakeSound("long.wav", 1, 400000));
    EXPECT_DOUBLE_EQ(w->View().Zoom, w->View().ViewWidth / 400000.0 * 0.9)
        << "the sound fills 90 %";

    // Zoom In without a selection in view keeps the left edge's sample.
    TWaveWinProbe::View(*w).Zoom = 0.05;
    w->UpdateView();
    w->ScrollHorizontally(TScroll::ThumbPosition, 7001);
    const int64_t left = w->SampleUnder(0);
    w->Command(CmdZoomIn);
    EXPECT_NEAR(double(w->SampleUnder(0)), double(left), 1 / w->View().Zoom);
    // With the selection's start in view it comes to the middle, also when
    // the zoom stops at its limit.
    for (double zoom : {0.1, 9.0}) {
        TWaveWinProbe::View(*w).Zoom = zoom;
        w->UpdateView();
        w->ScrollHorizontally(TScroll::ThumbPosition, int64_t(zoom * 150000));
        w->SetSelection(TSampleRange(uint32_t(w->SampleUnder(30)), 390000));
        w->Command(CmdZoomIn);
        EXPECT_DOUBLE_EQ(w->View().Zoom, std::min(zoom * 1.5, 10.0));
        EXPECT_EQ(w->PixelOf(w->Selected().Start), w->width() / 2) << zoom;
    }
    EXPECT_FALSE(w->IsEnabled(CmdZoomIn));
    EXPECT_TRUE(w->IsEnabled(CmdZoomOut));

    // Fitting a selection too short for the largest zoom starts the view at
    // the selection.
    w->SetSelection(TSampleRange(200000, 200010));
    w->Command(CmdFit);
    EXPECT_EQ(w->View().Zoom, TWaveWin::ZoomMax);
    EXPECT_EQ(w->PixelOf(200000), 0);

    // Scrolled to the end: the last sample, then 40 columns of green zero
    // line.
    w->SetSelection(TSampleRange());
    TWaveWinProbe::View(*w).Zoom = 0.5;
    w->UpdateView();
    w->Command(CmdScrollEnd);
    EXPECT_EQ(w->View().ScrollX, w->View().MaxScrollX);
    EXPECT_EQ(w->View().MaxScrollX, int64_t(400000 * 0.5 - w->View().ViewWidth + 40));
    EXPECT_FALSE(w->IsEnabled(CmdScrollEnd));
    TChannelWin* view = w->Views()[0];
    const QImage shown = view->grab().toImage();
    const QRgb green = qRgb(0, 255, 0);
    int greenColumns = 0;
    for (int x = view->width() - 1; x >= 0 && shown.pixel(x, w->View().CentreY) == green; --x)
        ++greenColumns;
    EXPECT_EQ(greenColumns, view->width() - w->PixelOf(399999));
    EXPECT_GE(greenColumns, 40);

    // Zoom Out at the lower limit keeps the left edge's sample too (a long
    // sound of silence, memory never touched).
    w->Document.Channel(0).SetSize(10000000);
    TWaveWinProbe::View(*w).Zoom = 0.00005;
    w->UpdateView();
    w->ScrollHorizontally(TScroll::ThumbPosition, 1000);
    const int64_t leftSample = w->SampleUnder(0);
    w->Command(CmdZoomOut);
    EXPECT_EQ(w->View().Zoom, TWaveWin::ZoomMin);
    EXPECT_NEAR(double(w->SampleUnder(0)), double(leftSample), 1 / TWaveWin::ZoomMin);
    EXPECT_FALSE(w->IsEnabled(CmdZoomOut));
}

TEST_F(WaveWinTest, HeightCommandsAndVerticalScrollingStayWithinTheLayout) {
    TWaveWin* w = Open(MakeSound("one.wav", 1, 1000));
    EXPECT_EQ(w->View().ChannelHeight, w->height() - 6) << "one channel fills the window";
    while (w->IsEnabled(CmdHeightUp))
        w->Command(CmdHeightUp);
    EXPECT_EQ(w->View().ChannelHeight, TWaveWin::MaxChannelHeight);
    while (w->IsEnabled(CmdHeightDown))
        w->Command(CmdHeightDown);
    EXPECT_EQ(w->View().ChannelHeight, TWaveWin::MinChannelHeight);

    // Ten channels in a short window: 50 pixels each, and the vertical bar
    // scrolls; to the bottom shows the last channel at the bottom.
    w->Document.SetChannelCount(10);
    Area->resize(1000, 450);
    QCoreApplication::processEvents();
    w->FitHeight();
    EXPECT_EQ(w->View().ChannelHeight, TWaveWin::MinChannelHeight);
    EXPECT_EQ(w->View().MaxScrollY, 56 * 10 - w->height() - 6);
    ASSERT_GT(w->View().MaxScrollY, 0);
    EXPECT_TRUE(w->VScroll->isEnabled());
    w->Command(CmdScrollBottom);
    EXPECT_EQ(w->View().ScrollY, w->View().MaxScrollY);
    EXPECT_EQ(w->Views()[9]->geometry().bottom(), w->height() - 1);
    EXPECT_FALSE(w->IsEnabled(CmdScrollDown));
    EXPECT_TRUE(w->IsEnabled(CmdScrollUp));
    EXPECT_EQ(w->VScroll->value(), w->VScroll->maximum());
    w->Command(CmdScrollUp);
    EXPECT_EQ(w->View().ScrollY, std::max<int64_t>(0, w->View().MaxScrollY - w->height() * 4 / 5));

    // A window tall enough for all of them: nothing to scroll.
    Area->resize(1000, 1200);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->View().MaxScrollY, 0);
    EXPECT_EQ(w->View().ScrollY, 0);
    EXPECT_FALSE(w->VScroll->isEnabled());
    EXPECT_FALSE(w->IsEnabled(CmdScrollDown));
}

TEST_F(WaveWinTest, ScrollingPastTwoThousandMillionPixels) {
    TWaveWin* w = Open();
    // 250 million samples at ten pixels each; only the end holds sound, the
    // rest is memory never touched.
    const uint32_t n = 250000000;
    w->Document.Rate = 44100;
    NSWave::TChannel& channel = w->Document.Channel(0);
    channel.SetSize(n);
    int32_t* end = channel.MutableSamples(n - 4000);
    for (int i = 0; i < 4000; ++i)
        end[i] = (i % 40 - 20) * (1 << 26);
    TWaveWinProbe::View(*w).Zoom = 10;
    w->UpdateView();
    ASSERT_GT(w->View().MaxScrollX, int64_t(INT_MAX));

    QScrollBar* bar = w->HScroll;
    w->Command(CmdScrollEnd);
    EXPECT_EQ(w->View().ScrollX, w->View().MaxScrollX);
    EXPECT_EQ(bar->value(), bar->maximum());
    bar->setSliderPosition(bar->maximum() / 2);
    EXPECT_NEAR(double(w->View().ScrollX), double(w->View().MaxScrollX) / 2,
                double(w->View().MaxScrollX) / (1 << 29));
    bar->setSliderPosition(bar->maximum());
    EXPECT_EQ(w->View().ScrollX, w->View().MaxScrollX);

    // The end of the sound and a cursor near it show where they should.
    w->SetSelection(TSampleRange(n - 20, n - 20, 0));
    TChannelWin* view = w->Views()[0];
    QRect visible;
    EXPECT_TRUE(SamePixels(OnScreen(*view, &visible), PlainView(*view), visible));
    EXPECT_EQ(w->PixelOf(n - 20), w->View().ViewWidth - 40 - 200);
    QCoreApplication::processEvents();
}

} // namespace

TEST_F(WaveWinTest, AnHourCanBeSeenWholeAndAFittedSoundFollowsTheWindowsWidth) {
    TWaveWin* w = Open();
    w->Document.Rate = 44100;
    // An hour of silence, memory never touched.
    w->Document.Channel(0).SetSize(44100u * 3600u);
    w->AnnounceChanges();
    w->ResetView();
    const auto whole = [&] { return w->PixelOf(w->Document.GetLength()) <= w->View().ViewWidth; };
    ASSERT_LT(w->FitZoom(), TWaveWin::ZoomMin);
    EXPECT_TRUE(whole());
    EXPECT_FALSE(w->IsEnabled(CmdZoomOut));
    // In and out again: Zoom Out goes as far as the whole sound, no further.
    for (int k = 0; k < 6; ++k)
        w->Command(CmdZoomIn);
    EXPECT_FALSE(whole());
    int outs = 0;
    while (w->IsEnabled(CmdZoomOut) && outs < 100) {
        w->Command(CmdZoomOut);
        ++outs;
    }
    EXPECT_DOUBLE_EQ(w->View().Zoom, w->MinZoom());
    EXPECT_TRUE(whole());
    w->Command(CmdZoomIn);
    w->Command(CmdFit);
    EXPECT_TRUE(whole());

    // A fitted sound is fitted again when the window widens or narrows (as
    // a window maximised by the desktop after it was laid out)...
    for (int width : {1400, 700}) {
        Area->resize(width, 700);
        QCoreApplication::processEvents();
        EXPECT_DOUBLE_EQ(w->View().Zoom, w->FitZoom()) << width;
        EXPECT_TRUE(whole()) << width;
    }
    // ... but a zoom the user chose stays.
    w->Command(CmdZoomIn);
    const double chosen = w->View().Zoom;
    Area->resize(1000, 700);
    QCoreApplication::processEvents();
    EXPECT_EQ(w->View().Zoom, chosen);

    // A short sound keeps the fixed lower limit.
    TWaveWin* s = Open(MakeSound("short.wav", 1, 1000));
    EXPECT_EQ(s->MinZoom(), TWaveWin::ZoomMin);
}
