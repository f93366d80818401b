// The spectrogram strips over a one-hour 44.1 kHz stereo document drawn
// offscreen in a channel area of 1,900 × 2 × 300 pixels, as view_bench draws
// the waveforms:
// - a full repaint of both strips from ready tiles at fit and at 0.00004,
//   0.01, 1 and 10 pixels per sample, next to the waveforms' repaint at the
//   same zoom (goal: 8 ms);
// - the first screen at fit zoom, from no tiles until every column on
//   screen is drawn from its tile (goal: 300 ms), and a page scroll at
//   0.01 pixels per sample until the screen is complete again (goal:
//   100 ms), with no tile kept (the whole new screen computed) and as it
//   comes after the last scroll (the pages beside the screen computed
//   ahead); next to the same columns' transforms computed one after another
//   on this thread (for the scroll: the three quarters it uncovers).
//
// Run: build/release/bench/spectro_bench [rounds] (medians; 9 rounds by
// default); QT_SCALE_FACTOR=2 in front draws a screen of twice the density,
// with a spectrum column for every device pixel across (twice the columns
// of the same screen) and the one thread's transforms as many. Needs about
// 1.5 GB of memory.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "../tests/wavewin/probe.h"
#include "benchwindow.h"
#include "machineload.h"
#include "threadtiming.h"
#include "wave/file.h"
#include "wave/spectro.h"
#include "wavewin/chanwin.h"
#include "wavewin/spectroview.h"
#include "wavewin/timeline.h"
#include "wavewin/wavewin.h"

using namespace NSWaveWin;
using NSWave::TSpectrogram;

namespace {

constexpr uint32_t HourSamples = 44100u * 3600u;

int Rounds = 9;

// The medians of `Rounds` timings of f; `before` runs untimed ahead of each.
TTiming Median(const std::function<void()>& f, const std::function<void()>& before = nullptr) {
    return MedianOf(Rounds, f, before);
}

// Noise whose loudness changes every few thousand samples, and a tone that
// climbs, so that the spectrogram is not flat.
void FillHour(NSWave::TFile& doc) {
    doc.SetSize(HourSamples, 2);
    for (int c = 0; c < 2; ++c) {
        int32_t* s = doc.Channel(c).MutableSamples(0);
        for (uint32_t i = 0; i < HourSamples; ++i)
            s[i] = (int32_t((i + uint32_t(c)) * 2654435761u) >> (4 + (i >> 12) % 8)) +
                   (((i * (1 + (i >> 20))) & 0x100) ? 1 << 28 : -(1 << 28));
    }
}

// Whether every column on screen of every strip has its tile.
bool ScreenComplete(TWaveWin& w) {
    for (TChannelWin* view : w.Views()) {
        if (!view->Spectro)
            return false;
        const TSpectroStrip& strip = *view->Spectro;
        const double zoom = strip.TileZoom();
        const int64_t count = w.Document.Channel(view->Channel).Count;
        const int64_t last = std::min<int64_t>(strip.FirstColumn() + strip.Columns(),
                                               int64_t(double(count) * zoom) + 1);
        for (int64_t t = strip.FirstColumn() / TSpectrogram::TileColumns;
             t * TSpectrogram::TileColumns < last; ++t)
            if (!strip.Tiles.Computed(zoom, t))
                return false;
    }
    return true;
}

// Runs the event loop until the screen is complete and drawn.
void Complete(TWaveWin& w) {
    QCoreApplication::processEvents();
    while (!ScreenComplete(w))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
}

// The transforms of the columns [from, to) of a strip's channel, one after
// another on this thread.
void PlainColumns(const TWaveWin& w, const TSpectroStrip& strip, int c, int64_t from, int64_t to) {
    const NSWave::TChannel& channel = w.Document.Channel(c);
    const int n = TSpectroStrip::WindowSize();
    const double zoom = strip.TileZoom();
    float sink = 0;
    for (int64_t x = from; x < to; ++x) {
        const int64_t start = int64_t((double(x) + 0.5) / zoom) - n / 2;
        sink += NSWave::FrameSpectrumDb(channel.Samples, channel.Count, start, n)[1];
    }
    benchmark::DoNotOptimize(sink);
}

} // namespace

int main(int argc, char** argv) {
    PrintMachineLoad("before");
    if (argc > 1)
        Rounds = std::max(1, std::atoi(argv[1]));
    // The window reads its colours from the settings: a private, empty set.
    const std::string settings = SetUpWindowBench("spectro_bench");
    QApplication app(argc, argv);

    TWaveWin window(nullptr);
    window.Document.Rate = 44100;
    FillHour(window.Document);
    TTimeLine timeLine(&window, nullptr);
    ShowStripWindow(window, timeLine);
    QCoreApplication::processEvents();
    std::printf("strips %d × %d, %d channels; window size %d; %u worker threads\n",
                window.Views()[0]->width(), window.Views()[0]->height(), window.Views().Count(),
                TSpectroStrip::WindowSize(),
                std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    const double dpr = window.Views()[0]->devicePixelRatioF();
    std::printf("device pixels per pixel %g\n", dpr);

    auto repaintBoth = [&] {
        for (TChannelWin* view : window.Views())
            view->repaint();
    };
    auto spectrogram = [&](bool on) {
        if (window.View().Spectrogram != on)
            window.Command(CmdSpectrogram);
    };
    // No tiles at all: the strips go and come back.
    auto forget = [&] {
        spectrogram(false);
        spectrogram(true);
    };
    auto plainScreen = [&] {
        for (TChannelWin* view : window.Views())
            PlainColumns(window, *view->Spectro, view->Channel, view->Spectro->FirstColumn(),
                         view->Spectro->FirstColumn() + view->Spectro->Columns());
    };

    std::printf("\nmedians in ms, wall time / this thread's processor time\n");
    std::printf("%-26s %19s %19s %15s\n", "full repaint, ready tiles", "spectrogram", "waveform",
                "ratio");
    struct {
        const char* name;
        double zoom; // 0: fit
    } const views[] = {{"fit", 0},
                       {"0.00004 px/sample", 0.00004},
                       {"0.01 px/sample", 0.01},
                       {"1 px/sample", 1},
                       {"10 px/sample", 10}};
    for (const auto& v : views) {
        spectrogram(false);
        if (v.zoom == 0) {
            window.ZoomToFit();
        } else {
            NSWaveWin::TWaveWinProbe::View(window).Zoom = v.zoom;
            window.UpdateView();
            window.ScrollHorizontally(TScroll::ThumbPosition, window.View().MaxScrollX / 2);
        }
        QCoreApplication::processEvents();
        repaintBoth();
        const TTiming wave = Median(repaintBoth);
        spectrogram(true);
        Complete(window);
        const TTiming spectro = Median(repaintBoth);
        std::printf("%-26s %9.3f / %7.3f %9.3f / %7.3f %7.3f / %.3f\n", v.name, spectro.Wall,
                    spectro.Cpu, wave.Wall, wave.Cpu, spectro.Wall / wave.Wall,
                    spectro.Cpu / wave.Cpu);
    }

    std::printf("\n%-26s %19s %19s %15s\n", "complete screen", "spectrogram", "one thread's FFTs",
                "ratio");
    spectrogram(true);
    window.ZoomToFit();
    Complete(window);
    const TTiming first = Median([&] { Complete(window); }, forget);
    const TTiming firstPlain = Median(plainScreen);
    std::printf("%-26s %9.3f / %7.3f %9.3f / %7.3f %7.3f / %.3f\n", "first screen, fit", first.Wall,
                first.Cpu, firstPlain.Wall, firstPlain.Cpu, first.Wall / firstPlain.Wall,
                first.Cpu / firstPlain.Cpu);

    NSWaveWin::TWaveWinProbe::View(window).Zoom = 0.01;
    window.UpdateView();
    window.ScrollHorizontally(TScroll::ThumbPosition, window.View().MaxScrollX / 2);
    Complete(window);
    bool forward = true;
    // Only the three quarters of a page the scroll uncovers are new.
    auto plainPage = [&] {
        for (TChannelWin* view : window.Views())
            PlainColumns(window, *view->Spectro, view->Channel, view->Spectro->FirstColumn(),
                         view->Spectro->FirstColumn() +
                             int64_t(window.View().ViewWidth * 3 / 4 * dpr));
    };
    auto scroll = [&] {
        window.ScrollHorizontally(forward ? TScroll::PageForward : TScroll::PageBack);
        forward = !forward;
        Complete(window);
    };
    // No tile kept: the whole screen the scroll shows is computed, the
    // columns it moved as well as the three quarters it uncovers.
    // The scroll repaints only what it uncovers, so the columns it moved are
    // asked for again by a repaint of their own.
    auto scrollAll = [&] {
        window.ScrollHorizontally(forward ? TScroll::PageForward : TScroll::PageBack);
        forward = !forward;
        for (TChannelWin* view : window.Views())
            view->update();
        Complete(window);
    };
    const TTiming pageCold = Median(scrollAll, [&] {
        for (TChannelWin* view : window.Views()) {
            view->Spectro->Tiles.Finish();
            view->Spectro->Tiles.Clear();
        }
    });
    const TTiming pagePlain = Median(plainPage);
    std::printf("%-26s %9.3f / %7.3f %9.3f / %7.3f %7.3f / %.3f\n", "page scroll, 0.01",
                pageCold.Wall, pageCold.Cpu, pagePlain.Wall, pagePlain.Cpu,
                pageCold.Wall / pagePlain.Wall, pageCold.Cpu / pagePlain.Cpu);
    const TTiming pageWarm = Median(scroll);
    std::printf("%-26s %9.3f / %7.3f   (the pages beside the screen computed ahead)\n",
                "page scroll, 0.01, warm", pageWarm.Wall, pageWarm.Cpu);
    PrintMachineLoad("after");
    if (!settings.empty())
        std::filesystem::remove_all(settings);
    return 0;
}
