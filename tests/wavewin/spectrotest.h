#pragma once
// Spectrogram strips under test: a channel's spectrogram painted the plain
// way, from tiles made afresh from a copy of the channel, and a wait for a
// window's own tiles and the repaints they bring.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <algorithm>
#include <cstdint>

#include "wave/spectro.h"
#include "wavewin/chanwin.h"
#include "wavewin/spectroview.h"
#include "wavewin/viewtest.h"
#include "wavewin/wavewin.h"

namespace NSWaveWinTest {

// Channel c of window w as its spectrogram strip shows it right of the
// ruler, `scale` pixels of the painting to each of the view's pixels (the
// zoom, the scroll, width and height in those pixels).
inline QImage PlainSpectrogram(NSWaveWin::TWaveWin& w, int c, int width, int height,
                               int scale = 1) {
    using NSWave::TSpectrogram;
    using NSWave::TSpectrumScale;
    const NSWave::TChannel& source = w.Document.Channel(c);
    NSWave::TChannel copy(source, TSampleRange(0, source.Count, c));
    TSpectrogram fresh(NSWaveWin::TSpectroStrip::WindowSize());
    fresh.Follow(copy, w.Document.Rate);
    const int64_t count = source.Count;
    const double zoom = w.View().Zoom * scale;
    const int64_t scrollX = w.View().ScrollX * scale;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(RgbOf(w.View().BackColor));
    const TSampleRange& s = w.Selected();
    const bool shows = s.Valid && (s.Channel == c || s.Channel == AllChannels);
    const int64_t a = shows ? int64_t(s.Start * zoom - double(scrollX)) : 0;
    const int64_t b = shows ? int64_t(s.End * zoom - double(scrollX)) : 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (int x = 0; x < width; ++x) {
            if (int64_t(double(x + scrollX) / zoom) >= count)
                break;
            const int64_t column = scrollX + x;
            const uint8_t* levels = fresh.Tile(zoom, column / TSpectrogram::TileColumns);
            if (pass == 0)
                continue;
            for (int y = 0; y < height; ++y) {
                const int row = TSpectrumScale::Rows - 1 -
                                std::min(int(int64_t(y) * TSpectrumScale::Rows / height),
                                         TSpectrumScale::Rows - 1);
                QRgb colour = NSWave::SpectrumPalette()[levels[row * TSpectrogram::TileColumns +
                                                               column % TSpectrogram::TileColumns]];
                if (shows && a < width && b >= 0 && x >= a && x < (a == b ? b + 1 : b))
                    colour ^= 0x00ffffffu;
                image.setPixel(x, y, colour);
            }
        }
        fresh.Finish();
    }
    return image;
}

// Lets the tiles asked for arrive and the repaints they bring run, until a
// paint asks for nothing more.
inline void SettleSpectrograms(NSWaveWin::TWaveWin* w) {
    for (int turn = 0; turn < 20; ++turn) {
        QCoreApplication::processEvents();
        bool waiting = false;
        for (NSWaveWin::TChannelWin* view : w->Views())
            if (view->Spectro && view->Spectro->Tiles.Pending()) {
                waiting = true;
                view->Spectro->Tiles.Finish();
            }
        if (!waiting)
            return;
    }
    FAIL() << "the tiles never settled";
}

} // namespace NSWaveWinTest
