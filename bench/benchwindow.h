#pragma once
// What the benchmarks that time a document window share: settings of their
// own, the virtual card and offscreen drawing, and one window holding a
// stereo 16-bit sound.

#include <QMdiArea>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "wave/file.h"
#include "wavewin/timeline.h"
#include "wavewin/wavewin.h"

// Call before the QApplication exists. Returns the settings folder, for the
// bench to remove when done; empty when none could be made.
inline std::string SetUpWindowBench(const std::string& name) {
    std::string dir = "/tmp/" + name + "-XXXXXX";
    if (!mkdtemp(dir.data()))
        return std::string();
    setenv("BRIMVALE_CONFIG_DIR", dir.c_str(), 1);
    setenv("BRIMVALE_AUDIO", "virtual", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return dir;
}

// A window in `area` whose sound is `length` frames of stereo at `rate`,
// sample i of channel c being sample(i, c).
template <class F>
NSWaveWin::TWaveWin* OpenFilledWindow(QMdiArea& area, int rate, uint32_t length, F&& sample) {
    area.resize(1000, 700);
    area.show();
    NSWaveWin::TWaveWin* w = NSWaveWin::TWaveWin::Open(&area, std::string(), true);
    NSWave::TFile& doc = w->Document;
    doc.Rate = rate;
    doc.Size = 2;
    doc.SetSize(length, 2);
    for (int c = 0; c < 2; ++c) {
        int32_t* s = doc.Channel(c).MutableSamples(0);
        for (uint32_t i = 0; i < length; ++i)
            s[i] = sample(i, c);
    }
    w->UpdateTitle();
    w->ResetView();
    return w;
}

// The window of the strip benchmarks, on screen with its time line: 1900
// pixels wide, two channels of 300 pixels with their 6-pixel gaps.
inline void ShowStripWindow(NSWaveWin::TWaveWin& window, NSWaveWin::TTimeLine& timeLine) {
    timeLine.resize(1900, 30);
    window.TimeLine = &timeLine;
    window.resize(1900, 612);
    window.show();
    timeLine.show();
    window.SetupWindow();
}
