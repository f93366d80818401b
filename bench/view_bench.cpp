// The waveform views over a one-hour 44.1 kHz stereo document (about
// 1.3 GB of samples), drawn offscreen in a channel area of 1,900 × 2 × 300
// pixels:
// - a full repaint of both channel views at fit and at 0.00004, 0.01, 1 and
//   10 pixels per sample, next to the same picture painted by a plain scan
//   that reads every sample the columns cover;
// - a page scroll (Right, then Left, in turns) until its pixels are drawn;
// - one second deleted, put in, pasted or amplified at the start, in the middle and
//   at the end, from the edit done to the views painted, next to one plain
//   min/max pass over the samples behind the edit;
// - the summary's memory as a percentage of the sample bytes.
//
// Run: build/release/bench/view_bench [rounds] (medians; 15 rounds by
// default); QT_SCALE_FACTOR=2 in front draws a screen of twice the density,
// the plain scan then filling as many device pixels. Needs about 1.5 GB of
// memory.

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <vector>

#include "../tests/wavewin/probe.h"
#include "benchwindow.h"
#include "machineload.h"
#include "threadtiming.h"
#include "wave/file.h"
#include "wave/peaks.h"
#include "wavewin/chanwin.h"
#include "wavewin/timeline.h"
#include "wavewin/wavewin.h"

using namespace NSWaveWin;

namespace {

constexpr uint32_t HourSamples = 44100u * 3600u; // 158,760,000 per channel
constexpr uint32_t Middle = HourSamples / 2;
constexpr uint32_t Second = 44100;

int Rounds = 15;

// The medians of `Rounds` timings of f; `before` runs untimed ahead of each.
TTiming Median(const std::function<void()>& f, const std::function<void()>& before = nullptr) {
    return MedianOf(Rounds, f, before);
}

// The channel view's picture painted the plain way: every column's extremes
// from a scan over all its samples, drawn with the same fills, in the
// screen's device pixels (QT_SCALE_FACTOR=2: twice as many each way).
void PlainPaint(const TChannelWin& view, QImage& image) {
    const TWaveWin& w = *view.Owner;
    const NSWave::TChannel& channel = w.Document.Channel(view.Channel);
    const double dpr = view.devicePixelRatioF();
    const double zoom = w.View().Zoom * dpr, scrollX = double(w.View().ScrollX) * dpr;
    const int centre = int(std::lround(w.View().CentreY * dpr));
    const int half = int(std::lround(w.View().HalfHeight * dpr));
    QPainter painter(&image);
    const QColor back(0, 0, 128), wave(255, 255, 0);
    painter.fillRect(image.rect(), back);
    painter.fillRect(QRect(0, centre, image.width(), 1), wave);
    uint64_t i = uint64_t(scrollX / zoom);
    int x = 0;
    for (; x < image.width(); ++x) {
        const uint64_t next = uint64_t((scrollX + x + 1) / zoom);
        const NSWave::TPeak peak = NSWave::PlainExtremes(channel, i, next);
        i = next;
        const int y1 = centre + (((peak.Min >> 16) * half) >> 15);
        const int y2 = centre + (((peak.Max >> 16) * half) >> 15);
        painter.fillRect(QRect(x, y1, 1, std::max(1, y2 - y1)), wave);
        if (next >= channel.Count)
            break;
    }
    if (x < image.width())
        painter.fillRect(QRect(x, centre, image.width() - x, 1), QColor(0, 255, 0));
}

void FillHour(NSWave::TFile& doc) {
    doc.SetSize(HourSamples, 2);
    for (int c = 0; c < 2; ++c) {
        // Noise whose loudness changes every few thousand samples.
        int32_t* s = doc.Channel(c).MutableSamples(0);
        for (uint32_t i = 0; i < HourSamples; ++i)
            s[i] = int32_t((i + uint32_t(c)) * 2654435761u) >> ((i >> 12) % 8);
    }
}

} // namespace

int main(int argc, char** argv) {
    PrintMachineLoad("before");
    if (argc > 1)
        Rounds = std::max(1, std::atoi(argv[1]));
    // The window reads its colours from the settings: a private, empty set.
    const std::string settings = SetUpWindowBench("view_bench");
    QApplication app(argc, argv);

    TWaveWin window(nullptr);
    window.Document.Rate = 44100;
    FillHour(window.Document);
    TTimeLine timeLine(&window, nullptr);
    ShowStripWindow(window, timeLine);
    QCoreApplication::processEvents();
    std::printf("channel views %d × %d, %d channels; view width %d\n", window.Views()[0]->width(),
                window.Views()[0]->height(), window.Views().Count(), window.View().ViewWidth);

    auto repaintBoth = [&] {
        for (TChannelWin* view : window.Views())
            view->repaint();
    };
    const double dpr = window.Views()[0]->devicePixelRatioF();
    std::printf("device pixels per pixel %g\n", dpr);
    QImage plain(window.Views()[0]->size() * dpr, QImage::Format_RGB32);
    auto plainBoth = [&] {
        for (TChannelWin* view : window.Views())
            PlainPaint(*view, plain);
    };

    std::printf("\nmedians in ms, wall time / this thread's processor time\n");
    std::printf("%-28s %19s %19s %15s\n", "full repaint of both views", "views", "plain scan",
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
        if (v.zoom == 0) {
            window.ZoomToFit();
        } else {
            NSWaveWin::TWaveWinProbe::View(window).Zoom = v.zoom;
            window.UpdateView();
            window.ScrollHorizontally(TScroll::ThumbPosition, window.View().MaxScrollX / 2);
        }
        QCoreApplication::processEvents();
        repaintBoth(); // the summary is built
        const TTiming views = Median(repaintBoth);
        const TTiming plainScan = Median(plainBoth);
        std::printf("%-28s %9.3f / %7.3f %9.3f / %7.3f %7.4f / %.4f  (%g samples a column)\n",
                    v.name, views.Wall, views.Cpu, plainScan.Wall, plainScan.Cpu,
                    views.Wall / plainScan.Wall, views.Cpu / plainScan.Cpu, 1 / window.View().Zoom);
    }

    NSWaveWin::TWaveWinProbe::View(window).Zoom = 0.00004;
    window.UpdateView();
    window.ScrollHorizontally(TScroll::ThumbPosition, window.View().MaxScrollX / 2);
    QCoreApplication::processEvents();
    bool forward = true;
    const TTiming scroll = Median([&] {
        window.ScrollHorizontally(forward ? TScroll::PageForward : TScroll::PageBack);
        forward = !forward;
        QCoreApplication::processEvents();
    });
    std::printf("\npage scroll at 0.00004 px/sample, drawn: %.3f / %.3f\n", scroll.Wall,
                scroll.Cpu);

    // One second deleted, put in, pasted or amplified in both channels at the start,
    // in the middle and at the end, the views fitted: from the edit done to
    // the views painted (the edit itself untimed), next to one plain min/max
    // pass over the samples behind the edit.
    window.ZoomToFit();
    QCoreApplication::processEvents();
    auto painted = [&] {
        window.AnnounceChanges();
        QCoreApplication::processEvents();
    };
    std::printf("\none second edited in both channels at fit, from the edit done to the views "
                "painted\n%-22s %19s %19s %15s\n",
                "", "painted", "plain pass behind", "ratio");
    struct {
        const char* name;
        uint32_t at;
    } const places[] = {{"start", 0}, {"middle", Middle}, {"end", HourSamples - Second}};
    enum TKind { Delete, Insert, Paste, Amplify };
    const char* const kinds[] = {"delete", "insert", "paste", "Amplify"};
    // One second of the sound itself, to paste.
    NSWave::TFile clip(44100, 2, 2, 2);
    clip.SetSize(Second, 2);
    for (int c = 0; c < 2; ++c)
        clip.Channel(c).CopyIn(TSampleRange(0, Second), window.Document.Channel(c).Samples);
    for (const auto& place : places) {
        for (TKind kind : {Delete, Insert, Paste, Amplify}) {
            const TSampleRange second(place.at, place.at + Second, AllChannels);
            bool due = false; // the length is to be put back
            auto putBack = [&] {
                if (!due)
                    return;
                if (kind == Delete)
                    window.Document.InsertSilence(second);
                else
                    window.Document.DeleteRange(second, true);
                painted();
                due = false;
            };
            auto edit = [&] {
                putBack();
                if (kind == Delete)
                    window.Document.DeleteRange(second, true);
                else if (kind == Insert)
                    window.Document.InsertSilence(second);
                else if (kind == Paste)
                    window.Document.Paste(clip, TSampleRange(place.at, place.at, AllChannels));
                else
                    window.Document.Amplify(second, 1.0, 1.0);
                due = kind != Amplify;
            };
            auto plainBehind = [&] {
                for (int c = 0; c < 2; ++c) {
                    const NSWave::TChannel& channel = window.Document.Channel(c);
                    volatile NSWave::TPeak peak =
                        NSWave::PlainExtremes(channel, place.at, channel.Count - 1);
                    (void)peak;
                }
            };
            const TTiming paint = Median(painted, edit);
            const TTiming plainPass = Median(plainBehind, edit);
            putBack();
            char name[32];
            std::snprintf(name, sizeof name, "%s, %s", kinds[kind], place.name);
            std::printf("%-22s %9.3f / %7.3f %9.3f / %7.3f %7.3f / %.3f\n", name, paint.Wall,
                        paint.Cpu, plainPass.Wall, plainPass.Cpu, paint.Wall / plainPass.Wall,
                        paint.Cpu / plainPass.Cpu);
        }
    }

    const NSWave::TChannel& channel = window.Document.Channel(0);
    std::printf("summary memory: %.3f %% of the sample bytes\n",
                100.0 * double(channel.SummaryBytes()) / (double(channel.Count) * 4.0));
    window.TimeLine = nullptr;
    PrintMachineLoad("after");
    if (!settings.empty())
        std::filesystem::remove_all(settings);
    return 0;
}
