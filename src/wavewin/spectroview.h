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

    NSWave::TSpectrogram Tiles;

private:
    TChannelWin* View;
};

} // namespace NSWaveWin
