#pragma once
// A channel view's spectrogram: its tiles, and what repaints the view when
// they arrive or when the channel changes under them.

#include <QObject>

#include "wave/spectro.h"

namespace NSWaveWin {

class TChannelWin;

class TSpectroStrip : public QObject {
public:
    explicit TSpectroStrip(TChannelWin* view);

    // The window size of the spectrograms: the setting "View\SpectrogramWindow"
    // (2048 samples; outside 64 to 65536, 2048).
    static int WindowSize();

    // Width of the frequency ruler at the view's left edge.
    static constexpr int RulerWidth = 44;

    // The strip has a spectrum column for every device pixel across (two
    // for each of the view's pixels on a screen of twice the density): its
    // tiles are those of the zoom in device pixels. The column at the
    // view's left edge, and the columns across.
    double TileZoom() const;
    int64_t FirstColumn() const;
    int Columns() const;

    NSWave::TSpectrogram Tiles;

private:
    TChannelWin* View;
};

} // namespace NSWaveWin
