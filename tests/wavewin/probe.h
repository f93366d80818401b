#pragma once
// Sets a window's view state or file name directly, as no command does: a
// test's way to put the window where a case needs it.

#include "wavewin/wavewin.h"

namespace NSWaveWin {

struct TWaveWinProbe {
    static TViewState& View(TWaveWin& w) { return w; }
    // Names the window's file without loading or saving it.
    static std::string& FileName(TWaveWin& w) { return w.FileName; }
};

} // namespace NSWaveWin
