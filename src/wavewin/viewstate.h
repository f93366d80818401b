#pragma once
// What the channel views, the time line and the printout read of their
// window's view: colours, zoom, scroll positions and strip geometry. The
// window alone changes it; they see it through TWaveWin::View().

#include <cstdint>

namespace NSWaveWin {

struct TViewState {
    // Colours as the settings give them, red in the low byte.
    uint32_t BackColor = 0, WaveColor = 0, LegendColor = 0, SelColor = 0;
    // View geometry: pixels per sample, scroll positions in pixels (64-bit:
    // an hour at ten pixels per sample is past two thousand million pixels).
    int ChannelHeight = 100;
    int64_t ScrollY = 0;
    int64_t MaxScrollY = 0;
    double Zoom = 1.0;
    int64_t ScrollX = 0;
    int64_t MaxScrollX = 0;
    int ViewWidth = 0;
    int CentreY = 48;
    int HalfHeight = 48;
    // The channel strips show spectrograms instead of waveforms.
    bool Spectrogram = false;

    // Sample ↔ pixel in a channel view at the current zoom and scroll.
    int64_t PixelOf(double sample) const { return int64_t(sample * Zoom - double(ScrollX)); }
    int64_t SampleUnder(int64_t x) const { return int64_t(double(x + ScrollX) / Zoom); }
};

} // namespace NSWaveWin
